#pragma once
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>

class CheckSession;

// A run's progress in the status bar: the entries done of the list, names a second and the time
// left, a few times a second; hidden while no run goes on.
class RunProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    static constexpr int UpdateMs = 250;

    RunProgressBar(CheckSession &session, QWidget *parent = nullptr);
    // The run's length so far, in ms.
    qint64 elapsed() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }

private:
    void begin();
    void refresh();

    CheckSession &m_session;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_names = 0;   // outcomes of the run so far
};
