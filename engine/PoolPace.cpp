#include "engine/PoolPace.h"

#include <algorithm>

PoolPace::PoolPace(int tickMs, QObject *parent)
    : QObject(parent)
    , m_pace(tickMs)
{
    m_waitTimer.setSingleShot(true);
    m_waitTimer.setTimerType(Qt::PreciseTimer);   // a wait of minutes is told to the second
    connect(&m_waitTimer, &QTimer::timeout, this, &PoolPace::waitEnded);
    m_startTimer.setSingleShot(true);
    connect(&m_startTimer, &QTimer::timeout, this, &PoolPace::startAllowed);
}

void PoolPace::startTicks(QTimer &timer, int milliseconds)
{
    if (!m_manualClock)
        timer.start(milliseconds);
}

void PoolPace::arm(QTimer &timer, qint64 &due, int milliseconds)
{
    if (!m_manualClock)
        return timer.start(milliseconds);
    due = now() + std::max(1, milliseconds);   // time moves on between two fires
}

void PoolPace::reset(bool restartClock)
{
    if (restartClock)
        m_clock.start();
    m_pace.reset(now());
    m_waitTimer.stop();
    m_waitDue = -1;
}

void PoolPace::stop()
{
    cancelWait();
    m_startTimer.stop();
    m_startDue = -1;
}

bool PoolPace::allowsStart()
{
    const qint64 time = now();
    if (m_pace.allowsStart(time))
        return true;
    if (!m_startTimer.isActive())
        arm(m_startTimer, m_startDue, int(std::max<qint64>(0, m_pace.nextStartMs() - time)));
    return false;
}

Pace::Refusal PoolPace::refusal(qint64 retryAfterMs)
{
    const qint64 time = now();
    const Pace::Refusal refusal = m_pace.refusal(time, retryAfterMs);
    if (refusal == Pace::Refusal::Wait)
        arm(m_waitTimer, m_waitDue, int(m_pace.waitLeft(time)));
    return refusal;
}

void PoolPace::cancelWait()
{
    m_waitTimer.stop();
    m_waitDue = -1;
    m_pace.cancelWait();
}

qint64 PoolPace::nextDue() const
{
    if (m_waitDue < 0 || m_startDue < 0)
        return std::max(m_waitDue, m_startDue);
    return std::min(m_waitDue, m_startDue);
}

void PoolPace::fireDue()
{
    const qint64 time = now();
    if (m_waitDue >= 0 && m_waitDue <= time) {
        m_waitDue = -1;
        emit waitEnded();
    }
    if (m_startDue >= 0 && m_startDue <= time) {
        m_startDue = -1;
        emit startAllowed();
    }
}
