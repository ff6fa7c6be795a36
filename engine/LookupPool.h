#pragma once
#include "engine/Lookup.h"
#include "engine/LookupBackend.h"
#include "engine/LookupQueue.h"
#include "engine/PoolPace.h"
#include "engine/ServiceTrouble.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// The lookups of a run, over the backend it is given. Up to 25 lookups are in flight: when
// one ends, its slot takes the next name at once, carried-over names first, then the feed. A lookup
// without a verdict after 30 ticks is carried over, as is a reply without a verdict; a name is
// written off as unchecked after 3 attempts. The pace follows the server: no limit on the rate of
// new queries until the server first refuses one; then the rate is a little under what the server
// granted, the pool waits a tick (or as long as the server asks), and the rate creeps up slowly while
// nothing is refused, so that the queries stay under the server's limit and follow it when it rises.
// When the service cannot be reached or refuses every query for a minute, a backend that can
// ("auto": WHOIS, then RDAP) gives way to its next service for the rest of the run. The pool
// reports; it writes no file.
class LookupPool : public QObject
{
    Q_OBJECT

public:
    static constexpr int Slots = 25;
    static constexpr int LookupTicks = 30;   // a lookup without a verdict ends after these
    static constexpr int MaxAttempts = Lookup::MaxAttempts;
    static constexpr int RefusalsPerAttempt = Lookup::RefusalsPerAttempt;
    static constexpr int QuietTicks = ServiceTrouble::QuietTicks;
    static constexpr int GiveUpTicks = ServiceTrouble::GiveUpTicks;
    static constexpr int FallOverTicks = ServiceTrouble::FallOverTicks;
    static constexpr int UnreadableNames = ServiceTrouble::UnreadableNames;

    using Feed = LookupQueue::Feed;
    // Whether a feed that gave nothing is only behind: more names come, and feedReady() tells when.
    using FeedBehind = LookupQueue::FeedBehind;

    // slotCount: how many lookups may be in flight at once.
    explicit LookupPool(int slotCount = Slots, QObject *parent = nullptr);
    ~LookupPool() override;

    // The service asked; it is kept by its owner. Set between runs.
    void setBackend(LookupBackend *backend);
    // The pace a run starts at, in names per second (a limit the registry publishes); 0: none.
    void setStartingRate(double namesPerSecond) { m_pace.setStartingRate(namesPerSecond); }
    // The backend gave way to its next service in this run.
    bool fellOver() const { return !m_fallOverReason.isEmpty(); }
    // The length of one tick; 1000 ms unless tests make it shorter.
    int tickInterval() const { return m_tickMs; }
    void setTickInterval(int milliseconds)
    {
        m_tickMs = milliseconds;
        m_pace.setTickInterval(milliseconds);
    }
    void setFeed(Feed feed, FeedBehind behind = {}) { m_queue.setFeed(std::move(feed), std::move(behind)); }
    // Names came into a feed that was behind, or it ended.
    void feedReady() { scheduleFill(); }
    // A feed that had ended has a name again (a control its owner asks).
    void feedResumed()
    {
        m_queue.reopenFeed();
        scheduleFill();
    }
    // Time on a clock of the owner's (ms), stepped by hand: no timer runs. Each call of tick()
    // stands for one tick of the lookups and the pool; the waits of the pace end when the owner
    // calls fireDue() at or after nextDue(). Tests count ticks this way, whatever the machine's speed.
    void setManualClock(std::function<qint64()> clock) { m_pace.setManualClock(std::move(clock)); }
    void tick();
    qint64 nextDue() const { return m_pace.nextDue(); }   // -1 when no wait is pending
    void fireDue() { m_pace.fireDue(); }

    // A new run: fills the slots from the feed at full pace.
    void start();
    // Stops every slot and forgets the carried-over names; the run's owner keeps their entries open.
    void stop();

    bool isStopped() const { return m_stopped; }
    int inFlight() const { return m_inFlight; }
    // The rate of new queries learnt from the server's refusals, in names per second; 0 while no
    // limit has been met.
    double rate() const { return m_pace.rate(); }
    bool isPaused() const { return m_pace.isWaiting(); }
    // How long the wait after a refusal still lasts, in ms; 0 when the pool is not waiting.
    int waitLeft() const { return int(m_pace.waitLeft()); }
    // How long the wait the server asked for (Retry-After) still lasts, in ms; 0 when there is none.
    int askedWaitLeft() const { return m_pace.waitAsked() ? waitLeft() : 0; }
    bool waitingForServer() const { return m_trouble.isQuiet(); }
    // The names without a verdict yet: open on a slot, or carried over.
    QList<Lookup> openLookups() const;

signals:
    // entry: the name's entry number in its source (0 when it has none).
    // With a registered verdict, `state` is what the registry's record says beyond it.
    void verdict(const QString &name, bool unregistered, qint64 entry, const NameState &state);
    void unchecked(const QString &name, qint64 entry);
    // The registry says the name is reserved or blocked: it has no verdict, and is not asked again.
    void reserved(const QString &name, qint64 entry, const QString &why);
    // The feed has ended and every name has its outcome.
    void finished();
    // The server refuses every query or cannot be found: the run cannot go on.
    void serverRefuses(const QString &message);
    void connectionStatus(const QString &text);
    // Under "auto" the run has left WHOIS for RDAP; the text says why.
    void fellOverToRdap(const QString &why);
    // The number in flight or the pace changed.
    void paceChanged();

private:
    struct Slot {
        int index = 0;
        QTimer timer;
        Lookup lookup;
        int age = 0;           // ticks since the lookup began
        bool active = false;   // a lookup is open on this slot
    };

    void onReached(int slot);
    void onAnswered(int slot, const LookupAnswer &answer);
    void writeOffAtOnce(Slot &slot, const LookupAnswer &answer);
    void onUnreachable(Slot &slot, const LookupAnswer &answer);
    void onSlotTick(int slot);
    void onPoolTick();
    void occupy(const Lookup &lookup, Slot &slot);
    void fillSlots();
    void lookupEnded(Slot &slot);
    void scheduleFill();
    void finishWithVerdict(Slot &slot, const LookupAnswer &answer);
    void finishRefused(Slot &slot, const LookupAnswer &answer);
    void finishUnreadable(Slot &slot, const LookupAnswer &answer);
    void writeOff(const Lookup &lookup);
    void finishTimedOut(Slot &slot);
    bool isLastOpenName() const;
    void learnLimit(qint64 retryAfterMs = -1);
    void endWait();
    void refuseRun(const QString &message);
    bool fallOver(const QString &why);
    void writeOffOpenNames();
    QString silenceText() const;

    LookupBackend *m_backend = nullptr;
    QString m_fallOverReason;   // why the run left WHOIS, if it did
    int m_tickMs = 1000;
    LookupQueue m_queue;
    std::vector<std::unique_ptr<Slot>> m_slots;
    QTimer m_poolTimer;
    bool m_stopped = true;
    bool m_fillScheduled = false;
    quint64 m_run = 0;
    int m_inFlight = 0;
    PoolPace m_pace {m_tickMs};
    ServiceTrouble m_trouble;
};
