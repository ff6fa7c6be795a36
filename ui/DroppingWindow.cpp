#include "ui/DroppingWindow.h"

#include "results/ResultLists.h"
#include "shell/WindowKeys.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

DroppingWindow::DroppingWindow(const ResultLists &results, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_results(results)
{
    setObjectName(QStringLiteral("DroppingWindow"));
    setWindowTitle(QStringLiteral("Dropping Names"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(520, 420);
    m_caption = new QLabel(this);
    m_caption->setWordWrap(true);
    m_table = new QTableWidget(0, 3, this);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("State"), QStringLiteral("Release")});
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_table);
    for (const ResultLists::Dropping &name : results.dropping())
        add(name.name, name.state, name.release);
    // ISO dates sort as text; "unknown" comes after them.
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(2, Qt::AscendingOrder);
    showCount();
    connect(&results, &ResultLists::droppingAdded, this,
        [this](const QString &name, const QString &state, const QString &release) {
            m_table->setSortingEnabled(false);
            add(name, state, release);
            m_table->setSortingEnabled(true);
            showCount();
        });
    connect(m_table, &QTableWidget::cellDoubleClicked, this,
        [this](int row) { emit showRecord(m_table->item(row, 0)->text()); });
    closeOnEscape(this);
}

void DroppingWindow::add(const QString &name, const QString &state, const QString &release)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    const QString phase =
        state == QLatin1String("pendingDelete") ? QStringLiteral("pending delete") : QStringLiteral("redemption");
    int column = 0;
    for (const QString &text : {name, phase, release})
        m_table->setItem(row, column++, new QTableWidgetItem(text));
}

void DroppingWindow::showCount()
{
    const int count = m_table->rowCount();
    m_caption->setText(count == 0
            ? QStringLiteral("No name about to drop has been found since the program started.")
            : QStringLiteral("%1 about to drop, found since the program started; the soonest release first. "
                             "The release of a .com or .net name is estimated from the day its state was set; "
                             "the run's names are also in %2.")
                  .arg(count == 1 ? QStringLiteral("1 name") : QStringLiteral("%1 names").arg(count),
                      QFileInfo(m_results.droppingPath()).fileName()));
}
