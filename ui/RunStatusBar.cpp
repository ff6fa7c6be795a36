#include "ui/RunStatusBar.h"

#include "run/CheckSession.h"
#include "ui/PendingUpdates.h"
#include "ui/RunProgressBar.h"

#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>

RunStatusBar::RunStatusBar(QStatusBar *bar, CheckSession &session, PendingUpdates &updates, QObject *parent)
    : QObject(parent)
    , m_bar(bar)
{
    bar->setSizeGripEnabled(false);
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setFont(bar->font());
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        bar->addWidget(m_panels[i]);
    }
    showResting();
    m_panels[3]->hide();   // shown once a name is left unchecked
    m_progress = new RunProgressBar(session, bar);
    bar->addPermanentWidget(m_progress);

    RunControl &run = session.run();
    connect(&run, &RunControl::entryStatus, this,
        [this, &updates](const QString &text) { updates.setText(panel(1), text); });
    connect(&run, &RunControl::openConnections, this,
        [this, &updates](const QString &text) { updates.setText(panel(2), text); });
    connect(&session.registry(), &RegistryStage::connectionStatus, this,
        [this, &updates](const QString &text) { updates.setText(panel(3), text); });
    connect(&session, &CheckSession::unchecked, this, [this, &session](const QString &, int total) {
        m_panels[3]->setText(QStringLiteral("Unchecked: %1 (see %2)")
                                 .arg(total)
                                 .arg(QFileInfo(session.results().uncheckedPath()).fileName()));
        m_panels[3]->show();
    });
    connect(&session, &CheckSession::verdict, this,
        [this](const QString &, bool unregistered) { m_freeThisRun += unregistered ? 1 : 0; });
    connect(&run, &RunControl::started, this, [this] {
        m_bar->clearMessage();
        m_freeThisRun = 0;
        m_panels[3]->hide();   // the unchecked count belongs to the run
    });
}

void RunStatusBar::showResting()
{
    panel(1)->setText(QStringLiteral("Entry Status"));
    panel(2)->setText(QStringLiteral("Open Connections"));
    panel(3)->setText(QStringLiteral("Connection Status"));
    for (int number = 1; number <= 3; ++number)
        panel(number)->setToolTip({});   // the run's texts are gone
}

qint64 RunStatusBar::runElapsedMs() const
{
    return m_progress->elapsed();
}
