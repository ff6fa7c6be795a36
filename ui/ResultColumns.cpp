#include "ui/ResultColumns.h"

#include "run/CheckSession.h"
#include "shell/Branding.h"
#include "ui/MainControls.h"
#include "ui/PendingUpdates.h"
#include "ui/ResultListWidgets.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QToolTip>

namespace {

// "Copied 3 names", as the status bar says it.
QString copiedText(qsizetype count)
{
    return QStringLiteral("Copied %1 %2").arg(count).arg(count == 1 ? QStringLiteral("name") : QStringLiteral("names"));
}

QStringList selectedNames(const QListWidget *list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            names << list->item(row)->text();
    }
    return names;
}

}   // namespace

ResultColumns::ResultColumns(Window &window, CheckSession &session, PendingUpdates &updates)
    : m_window(window)
    , m_session(session)
    , m_updates(updates)
{ }

void ResultColumns::connectResults()
{
    connect(&m_session.results(), &ResultLists::itemsAdded, this, [this](ResultList which, const QStringList &names) {
        m_updates.addItems(m_window.resultList(int(which)), names);
    });
    connect(&m_session.results(), &ResultLists::listCleared, this,
        [this](ResultList which) { m_updates.clear(m_window.resultList(int(which))); });
    connect(&m_session.results(), &ResultLists::droppingAdded, this,
        [this](const QString &name, const QString &state, const QString &release, const QString &why) {
            m_updates.markItem(
                m_window.resultList(int(ResultList::Registered)), name, droppingTip(state, release, why));
        });
    // A premium name is free at the registry's own price: marked as a dropping one is, and told why.
    connect(&m_session, &CheckSession::verdict, this,
        [this](const QString &asked, bool unregistered, qint64, const NameState &state) {
            if (const QString name = Names::unicodeForm(asked); unregistered && state.premium)
                m_updates.markItem(m_window.resultList(int(ResultLists::profileOf(name))), name,
                    QStringLiteral("Premium: the registry sells this name at a price of its own"));
        });
    connect(&m_session.results(), &ResultLists::captionChanged, this, [this](ResultList which, const QString &caption) {
        m_updates.setText(m_window.resultCaption(int(which)), caption);
    });
    connect(&m_session.results(), &ResultLists::capReached, this, [this] { m_window.showNotice(); });
    connect(&m_session.results(), &ResultLists::fileProblem, this,
        [this](const QString &message) { m_window.showFileProblem(message); });
    // Said once, where the user looks while a run goes on.
    connect(&m_session.results(), &ResultLists::clearedFileKept, this,
        [this](const QString &text) { m_window.mainWindow()->statusBar()->showMessage(text, 15000); });
}

// "Dropping: in redemption, to be released about 2026-12-25 (listed in Dropping.txt)".
void ResultColumns::attach(const MainControls &controls)
{
    for (int number = 1; number <= 5; ++number) {
        connect(controls.cmdCopy[size_t(number)], &QPushButton::clicked, this, [this, number] { copyList(number); });
        connect(controls.cmdClear[size_t(number)], &QPushButton::clicked, this, [this, number] { clearList(number); });
        QListWidget *shown = controls.list(number);
        connect(shown, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { m_window.openDomain(item->text()); });
        shown->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(shown, &QWidget::customContextMenuRequested, this,
            [this, number](const QPoint &where) { showMenu(number, where); });
        auto *copy = new QShortcut(QKeySequence::Copy, shown, nullptr, nullptr, Qt::WidgetShortcut);
        connect(copy, &QShortcut::activated, this, [this, number] { copySelected(number); });
    }
    auto *remove = new QShortcut(QKeySequence::Delete, controls.List5, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this] { removeSelectedSaved(); });
    for (ProfileListWidget *profile : {controls.List1, controls.List3, controls.List4})
        connect(profile, &ProfileListWidget::pressed, this, [this](int number) { m_dragSourceMarker = number; });
    connect(controls.List5, &SavedListWidget::textDropped, this, [this](const QString &text, bool fromProfileList) {
        QMimeData payload;
        payload.setText(text);
        dropOnSaved(&payload, fromProfileList);
        if (!fromProfileList)
            tellDragRefused(QStringLiteral("Only names dragged from the High, Mid and Low Profile lists are saved by a "
                                           "drop: text from elsewhere is not read as names."));
    });
    connect(static_cast<RegisteredListWidget *>(controls.List2), &RegisteredListWidget::dragRefused, this, [this] {
        tellDragRefused(QStringLiteral("Registered names are not dragged to Saved Domains: right-click them and "
                                       "choose Add to Saved Domains."));
    });
}

QString ResultColumns::droppingTip(const QString &state, const QString &release, const QString &why) const
{
    const QString phase = state == QLatin1String("pendingDelete") ? QStringLiteral("pending delete")
        : state == QLatin1String("quarantine")                    ? QStringLiteral("in quarantine")
                                                                  : QStringLiteral("in redemption");
    const QString unknown = why.isEmpty() ? QStringLiteral("release date unknown for this ending")
                                          : QStringLiteral("release date unknown: %1").arg(why);
    const QString when =
        release == QLatin1String("unknown") ? unknown : QStringLiteral("to be released about %1").arg(release);
    return QStringLiteral("Dropping: %1, %2 (listed in %3)")
        .arg(phase, when, QFileInfo(m_session.results().droppingPath()).fileName());
}

void ResultColumns::showMenu(int number, const QPoint &where)
{
    QListWidget *shown = m_window.resultList(number);
    QListWidgetItem *item = shown->itemAt(where);
    if (item && !item->isSelected()) {
        shown->clearSelection();
        item->setSelected(true);
    }
    const QString name = item ? item->text() : QString();
    QMenu menu(m_window.mainWindow());
    QAction *purchase =
        menu.addAction(QStringLiteral("Open purchase page"), [this, name] { m_window.openPurchasePage(name); });
    purchase->setEnabled(item && branding().purchaseLinksOn);
    menu.addAction(QStringLiteral("Show record"), [this, name] { m_window.showRecord(name); })
        ->setEnabled(item != nullptr);
    menu.addSeparator();
    QAction *copy = menu.addAction(QStringLiteral("Copy"), [this, number] { copySelected(number); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(shown->count() > 0);
    if (number != int(ResultList::Saved)) {
        menu.addAction(QStringLiteral("Add to Saved Domains"),
                [this, shown] {
                    QStringList names;
                    for (const QListWidgetItem *selected : shown->selectedItems())
                        names << selected->text();
                    const int added = m_session.results().addSaved(names);
                    m_window.mainWindow()->statusBar()->showMessage(
                        QStringLiteral("%1 %2 added to Saved Domains.")
                            .arg(added)
                            .arg(added == 1 ? QStringLiteral("name") : QStringLiteral("names")),
                        5000);
                })
            ->setEnabled(item != nullptr);
    }
    if (number == int(ResultList::Saved)) {
        QAction *remove =
            menu.addAction(QStringLiteral("Remove from Saved Domains"), [this] { removeSelectedSaved(); });
        remove->setShortcut(QKeySequence::Delete);
        remove->setEnabled(item != nullptr);
        menu.addAction(QStringLiteral("Check Again"), this, [this] { m_window.checkSavedAgain(); })
            ->setEnabled(shown->count() > 0);
    }
    menu.exec(shown->viewport()->mapToGlobal(where));
}

void ResultColumns::copySelected(int number)
{
    const QStringList names = selectedNames(m_window.resultList(number));
    if (names.isEmpty())
        return copyList(number);
    QGuiApplication::clipboard()->setText(ResultLists::copyText(names));
    m_window.mainWindow()->statusBar()->showMessage(copiedText(names.size()) + QLatin1Char('.'), 5000);
}

void ResultColumns::copyList(int index)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_session.results().copyText(ResultList(index)));
    m_window.mainWindow()->statusBar()->showMessage(copiedText(m_session.results().items(ResultList(index)).size())
            + QStringLiteral(" of %1.").arg(plainCaption(ResultList(index))),
        5000);
}

void ResultColumns::clearList(int index)
{
    m_session.results().clear(ResultList(index), true);
}

void ResultColumns::editMenuItem(int index)
{
    switch (index) {
    case 0:
        for (ResultList which : {ResultList::High, ResultList::Mid, ResultList::Low})
            m_session.results().clear(which, false);
        break;
    case 1: m_session.results().clear(ResultList::High, false); break;
    case 2: m_session.results().clear(ResultList::Mid, false); break;
    case 3: m_session.results().clear(ResultList::Low, false); break;
    case 4: m_session.results().clear(ResultList::Registered, false); break;
    case 5: m_session.results().clear(ResultList::Saved, false); break;
    case 6: copyList(3); break;
    case 7: copyList(4); break;
    case 8: copyList(1); break;
    case 9: copyList(5); break;
    }
}

void ResultColumns::removeSelectedSaved()
{
    const QStringList names = selectedNames(m_window.resultList(int(ResultList::Saved)));
    if (!names.isEmpty() && !m_session.results().removeSaved(names))
        m_window.showFileProblem(
            QStringLiteral("Saved Domains could not be written: the names removed are back when the "
                           "program starts again."));
}

void ResultColumns::dropOnSaved(const QMimeData *payload, bool fromProfileList)
{
    // Text from a text box or another program carries no positions of ours.
    m_session.results().dropPositions(fromProfileList ? payload->text() : QString(), m_dragSourceMarker);
}

void ResultColumns::tellDragRefused(const QString &why)
{
    m_window.mainWindow()->statusBar()->showMessage(why, 10000);
    QToolTip::showText(QCursor::pos(), why, m_window.mainWindow());
}
