#pragma once
#include <QSet>
#include <QString>

// What a service's replies without a verdict add up to in a run: a silence, refusals, replies we
// cannot read, connections that fail. A pure class: the pool tells it each event and each tick, and
// acts on what it says (waits, gives way to the next service, writes names off, stops the run).
class ServiceTrouble
{
public:
    static constexpr int QuietTicks = 5;         // no verdict for this long: waiting for the server
    static constexpr int GiveUpTicks = 120;      // only refusals for this long: the server refuses all
    static constexpr int FallOverTicks = 60;     // only refusals for this long: "auto" leaves WHOIS
    static constexpr int UnreadableNames = 50;   // different names in a row without a reply we can read

    // What a tick asks of the pool.
    enum class Step {
        Nothing,
        Quiet,      // no verdict for QuietTicks: say that the pool waits for the server
        FallOver,   // give way to the next service, if there is one
        GiveUp,     // give way, or stop the run: the service refuses everything
        WriteOff,   // the service answered the rest of the list: the names it refuses are unchecked
    };

    // A new run: nothing is known of the service.
    void reset() { *this = ServiceTrouble(); }
    // The next service of the run: what the last one did is forgotten, its verdicts are not.
    void newService();
    void lookupStarted() { ++m_started; }
    void connected() { m_anyConnected = true; }
    void verdict();
    // A reply without a verdict, or no answer in time; `said` is what it said, for the message.
    void refused(const QString &said);
    // A reply we cannot read about `name`. True once UnreadableNames different names in a row had one.
    bool unreadable(const QString &name, const QString &said);
    // A connection failed. True when the service cannot be reached at all: its host is unknown, or
    // every connection of the run failed so far (up to one per slot).
    bool unreachable(bool hostNotFound, int slotCount);
    // Nothing is open or waiting: the silence and the refusals it cost are forgotten.
    void idle() { m_ticks = m_refusals = 0; }
    // A tick while names are open or waiting; feedEnded: the list has no more names for this service.
    Step tick(bool feedEnded);

    quint64 verdicts() const { return m_verdicts; }
    bool isQuiet() const { return m_ticks >= QuietTicks; }
    int ticksWithoutVerdict() const { return m_ticks; }
    int refusalsWithoutVerdict() const { return m_refusals; }
    qsizetype unreadableNames() const { return m_unreadable.size(); }
    const QString &lastReply() const { return m_lastReply; }

private:
    int m_ticks = 0;      // without a verdict
    int m_refusals = 0;   // replies without a verdict since the last verdict
    QString m_lastReply;
    QSet<QString> m_unreadable;   // since the last verdict, names whose replies we could not read
    quint64 m_verdicts = 0;
    bool m_anyConnected = false;
    int m_failedConnections = 0;
    int m_started = 0;
};
