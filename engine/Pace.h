#pragma once
#include <QList>
#include <QString>
#include <QtGlobal>

// The pace of new queries, learnt from a server's refusals. There is no limit until the server
// first refuses a query; then the queries wait a tick (or as long as the server asks), and when the
// wait ends the rate is a little under what the server granted before the refusal. While nothing is
// refused the rate creeps up to just under that grant and stays there, where it costs no refusal;
// only after a minute without one does it probe above, so that a server that allows more is
// followed at the cost of a refusal or two a minute.
//
// A pure class: the caller tells the time (ms on its own clock) with every event and runs the
// timers the answers ask for, so the rules can be checked event by event.
class Pace
{
public:
    static constexpr int PauseTicks = 1;                    // the wait after a refusal
    static constexpr int RateWindowTicks = 1;               // the verdicts of this long tell the rate granted
    static constexpr double RateMargin = 0.9;               // the rate learnt, of the rate granted
    static constexpr int CreepTicks = 5;                    // without a refusal the rate rises every this long,
    static constexpr double CreepFactor = 1.05;             // by this much
    static constexpr double CeilingMargin = 0.97;           // up to this much of the rate last granted,
    static constexpr int ProbeTicks = 60;                   // and past it once no refusal came for this long
    static constexpr double MinimumRatePerTick = 1;         // the slowest pace: a name a tick
    static constexpr qint64 MaxAskedWaitMs = 3600 * 1000;   // a longer Retry-After stops the run

    // What a refusal asks of the caller.
    enum class Refusal {
        Counted,       // one of a burst already waited for: nothing to do
        Wait,          // wait waitLeft() ms, then call endWait()
        TooLongWait,   // the server asks for a wait longer than MaxAskedWaitMs
    };

    explicit Pace(int tickMs = 1000)
        : m_tickMs(tickMs)
    { }

    void setTickInterval(int milliseconds) { m_tickMs = milliseconds; }
    // The limit a service publishes, in names per second: each run starts at it, as if learnt, and
    // goes past it only as a probe does. 0: none known, no limit until the first refusal.
    void setStartingRate(double namesPerSecond) { m_startingRate = namesPerSecond; }
    // A new run, or a new service: no limit known.
    void reset(qint64 now);
    // A verdict came. True when the rate crept up.
    bool verdict(qint64 now);
    // A reply without a verdict; retryAfterMs is the wait the server asked for, -1 when none.
    Refusal refusal(qint64 now, qint64 retryAfterMs = -1);
    // The wait is over: the rate is learnt from what the server granted.
    void endWait(qint64 now);
    // The wait is dropped without learning anything (the names it concerned are gone).
    void cancelWait();
    // Whether a query may start now; a start allowed is counted.
    bool allowsStart(qint64 now);
    // When the rate lets the next query start, once allowsStart() has said no.
    qint64 nextStartMs() const;

    // The rate learnt, in names per second; 0 while no limit has been met.
    double rate() const { return m_rate; }
    bool isWaiting() const { return m_waiting; }
    // Whether the wait is the one the server asked for (Retry-After).
    bool waitAsked() const { return m_waiting && m_waitAsked; }
    qint64 waitLeft(qint64 now) const { return m_waiting ? std::max<qint64>(0, m_waitEndsMs - now) : 0; }
    // "3:01", "1:00:00": a wait as a person reads it.
    static QString waitText(qint64 milliseconds);

private:
    double learntRate(qint64 refusedMs, qint64 now) const;
    void startWait(qint64 now, qint64 milliseconds, bool asked);

    int m_tickMs;
    double m_startingRate = 0;
    double m_rate = 0;
    double m_granted = 0;   // the rate the server granted before its last refusal
    double m_nextStartMs = 0;
    qint64 m_lastDecreaseMs = 0;
    qint64 m_lastRefusalMs = 0;
    qint64 m_lastCreepMs = 0;
    qint64 m_askingSinceMs = 0;     // the run began, or its last wait ended
    QList<qint64> m_verdictTimes;   // the last few ticks' worth
    bool m_waiting = false;
    bool m_waitAsked = false;
    qint64 m_waitEndsMs = 0;
};
