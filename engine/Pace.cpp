#include "engine/Pace.h"

#include <QString>

#include <algorithm>
#include <cmath>

void Pace::reset(qint64 now)
{
    m_rate = m_startingRate;
    m_granted = m_startingRate / CeilingMargin;   // the creep stops at the published limit
    m_nextStartMs = double(now);
    m_lastDecreaseMs = m_lastRefusalMs = m_lastCreepMs = now - qint64(m_tickMs) * CreepTicks;
    m_askingSinceMs = now;
    m_verdictTimes.clear();
    cancelWait();
}

// Without refusals the rate rises a little now and then, up to just under what the server granted;
// past that only once it has refused nothing for a while.
bool Pace::verdict(qint64 now)
{
    m_verdictTimes.append(now);
    const qint64 kept = qint64(m_tickMs) * (RateWindowTicks + PauseTicks + 1);
    while (!m_verdictTimes.isEmpty() && m_verdictTimes.constFirst() <= now - kept)
        m_verdictTimes.removeFirst();
    const qint64 creep = qint64(m_tickMs) * CreepTicks;
    if (m_rate <= 0 || now - m_lastRefusalMs < creep || now - m_lastCreepMs < creep)
        return false;
    const double ceiling = CeilingMargin * m_granted;
    const bool probing = now - m_lastRefusalMs >= qint64(m_tickMs) * ProbeTicks;
    if (m_rate >= ceiling && !probing)
        return false;
    m_rate = probing ? m_rate * CreepFactor : std::min(m_rate * CreepFactor, ceiling);
    m_lastCreepMs = now;
    return true;
}

// A refusal: the server's limit is a little above what it granted. The refusals of one burst are
// one signal: the queries wait a tick, or as long as the server asked, and when the wait ends (the
// answers of the burst are in by then) the rate drops once.
Pace::Refusal Pace::refusal(qint64 now, qint64 retryAfterMs)
{
    m_lastRefusalMs = now;
    if (retryAfterMs > MaxAskedWaitMs)
        return Refusal::TooLongWait;
    if (retryAfterMs >= 0 && retryAfterMs > waitLeft(now)) {
        if (!m_waiting)
            m_lastDecreaseMs = now;
        startWait(now, retryAfterMs, true);
        return Refusal::Wait;
    }
    if (m_waiting || now - m_lastDecreaseMs < m_tickMs)
        return Refusal::Counted;
    m_lastDecreaseMs = now;
    startWait(now, qint64(m_tickMs) * PauseTicks, false);
    return Refusal::Wait;
}

void Pace::startWait(qint64 now, qint64 milliseconds, bool asked)
{
    m_waiting = true;
    m_waitAsked = asked;
    m_waitEndsMs = now + milliseconds;
}

void Pace::endWait(qint64 now)
{
    cancelWait();
    const double learnt = learntRate(m_lastDecreaseMs, now);
    if (learnt > 0)
        m_granted = learnt / RateMargin;
    if (learnt > 0 && (m_rate <= 0 || learnt < m_rate))
        m_rate = std::max(MinimumRatePerTick * 1000.0 / m_tickMs, learnt);
    m_askingSinceMs = now;
    m_nextStartMs = double(now);
}

void Pace::cancelWait()
{
    m_waiting = false;
    m_waitAsked = false;
}

// A little under the verdicts per second the server granted in the window before the refusal,
// counting the answers that came in during the wait. A window that reaches back into the wait
// before would tell less than the server grants: the rate then only steps down.
double Pace::learntRate(qint64 refusedMs, qint64 now) const
{
    const qint64 window = qint64(m_tickMs) * RateWindowTicks;
    if (m_rate > 0 && refusedMs - m_askingSinceMs < window)
        return RateMargin * m_rate;
    const auto granted = std::count_if(
        m_verdictTimes.cbegin(), m_verdictTimes.cend(), [&](qint64 t) { return t > refusedMs - window && t <= now; });
    if (granted == 0)   // nothing granted tells nothing of the limit (a server refusing all is given up on)
        return m_rate > 0 ? RateMargin * m_rate : 0;
    return RateMargin * double(granted) * 1000.0 / double(window);
}

// A short burst may catch up on a moment the caller was busy, no more.
bool Pace::allowsStart(qint64 now)
{
    if (m_rate <= 0)
        return true;
    if (double(now) < m_nextStartMs)
        return false;
    const double interval = 1000.0 / m_rate;
    m_nextStartMs = std::max(m_nextStartMs, double(now) - interval) + interval;
    return true;
}

qint64 Pace::nextStartMs() const
{
    return qint64(std::ceil(m_nextStartMs));
}

QString Pace::waitText(qint64 milliseconds)
{
    const qint64 seconds = (milliseconds + 999) / 1000;
    if (seconds >= 86400 * 2)
        return QStringLiteral("%1 days").arg(seconds / 86400);
    const QString minutesAndSeconds = QStringLiteral("%1:%2")
                                          .arg(seconds / 60 % 60, seconds >= 3600 ? 2 : 1, 10, QLatin1Char('0'))
                                          .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return seconds >= 3600 ? QStringLiteral("%1:%2").arg(seconds / 3600).arg(minutesAndSeconds) : minutesAndSeconds;
}
