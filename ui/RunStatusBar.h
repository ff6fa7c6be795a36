#pragma once
#include <QObject>
#include <QString>
#include <array>

class CheckSession;
class PendingUpdates;
class QLabel;
class QStatusBar;
class RunProgressBar;

// The main window's status bar: the entry status, the open connections and the connection status
// panels, the count of unchecked names (shown once there is one), and the run's progress. It
// follows the session, and at rest shows the panels' names.
class RunStatusBar : public QObject
{
    Q_OBJECT

public:
    RunStatusBar(QStatusBar *bar, CheckSession &session, PendingUpdates &updates, QObject *parent = nullptr);

    // Panels 1 to 3, and 4 for the unchecked count.
    QLabel *panel(int number) const { return m_panels[size_t(number - 1)]; }
    static constexpr int PanelCount = 4;
    void showResting();
    // The run's length so far, in ms, and the free names it found.
    qint64 runElapsedMs() const;
    qint64 freeThisRun() const { return m_freeThisRun; }

private:
    QStatusBar *m_bar = nullptr;
    std::array<QLabel *, PanelCount> m_panels {};
    RunProgressBar *m_progress = nullptr;
    qint64 m_freeThisRun = 0;
};
