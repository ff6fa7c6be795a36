#pragma once
#include "engine/Pace.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

// When a lookup pool may start its next query, on its clock: the pace learnt from the server's
// refusals, the wait after a refusal, and the clock itself. The clock is the wall clock with its
// timers, or one the pool's owner steps by hand (tests), on which a timer is only a due time that
// fireDue() ends as the timer would.
class PoolPace : public QObject
{
    Q_OBJECT

public:
    explicit PoolPace(int tickMs, QObject *parent = nullptr);

    void setManualClock(std::function<qint64()> clock) { m_manualClock = std::move(clock); }
    void setTickInterval(int milliseconds) { m_pace.setTickInterval(milliseconds); }
    void setStartingRate(double namesPerSecond) { m_pace.setStartingRate(namesPerSecond); }
    qint64 now() const { return m_manualClock ? m_manualClock() : m_clock.elapsed(); }
    // A timer of the pool's ticks: started on the wall clock; on a manual clock its owner ticks.
    void startTicks(QTimer &timer, int milliseconds);

    // A new run, or a new service within it: the pace starts afresh and no wait goes on.
    void reset(bool restartClock);
    void stop();
    // Whether a query may start now; when not, startAllowed() comes when one may.
    bool allowsStart();
    // A refusal: Wait has started a wait (waitEnded() comes at its end); TooLongWait is a wait the
    // server asks for that is longer than any run waits.
    Pace::Refusal refusal(qint64 retryAfterMs);
    // A verdict; true when the rate rose.
    bool verdict() { return m_pace.verdict(now()); }
    void endWait() { m_pace.endWait(now()); }
    void cancelWait();

    double rate() const { return m_pace.rate(); }
    bool isWaiting() const { return m_pace.isWaiting(); }
    qint64 waitLeft() const { return m_pace.waitLeft(now()); }
    bool waitAsked() const { return m_pace.waitAsked(); }

    // On a manual clock: the next due time (-1 when none), and the waits that are due end.
    qint64 nextDue() const;
    void fireDue();

signals:
    void waitEnded();
    void startAllowed();

private:
    void arm(QTimer &timer, qint64 &due, int milliseconds);

    Pace m_pace;
    QElapsedTimer m_clock;
    std::function<qint64()> m_manualClock;
    QTimer m_waitTimer;      // the wait after a refusal
    QTimer m_startTimer;     // the next start the rate allows
    qint64 m_waitDue = -1;   // their due times on a manual clock
    qint64 m_startDue = -1;
};
