#include "engine/LookupPool.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

LookupPool::LookupPool(int slotCount, QObject *parent)
    : QObject(parent)
{
    for (int i = 0; i < slotCount; ++i) {
        auto slot = std::make_unique<Slot>();
        slot->index = i;
        connect(&slot->timer, &QTimer::timeout, this, [this, i] { onSlotTick(i); });
        m_slots.push_back(std::move(slot));
    }
    connect(&m_pace, &PoolPace::waitEnded, this, [this] {
        if (!m_stopped && isPaused())
            endWait();
    });
    connect(&m_pace, &PoolPace::startAllowed, this, &LookupPool::fillSlots);
    connect(&m_poolTimer, &QTimer::timeout, this, &LookupPool::onPoolTick);
}

LookupPool::~LookupPool() = default;

void LookupPool::setBackend(LookupBackend *backend)
{
    if (m_backend == backend)
        return;
    if (m_backend)
        m_backend->disconnect(this);
    m_backend = backend;
    connect(m_backend, &LookupBackend::reached, this, &LookupPool::onReached);
    connect(m_backend, &LookupBackend::answered, this, &LookupPool::onAnswered);
}

void LookupPool::start()
{
    stop();
    ++m_run;
    m_stopped = false;
    m_queue.reopenFeed();
    m_fallOverReason.clear();
    m_backend->newRun();
    m_pace.reset(true);
    m_trouble.reset();
    m_pace.startTicks(m_poolTimer, m_tickMs);
    fillSlots();
}

// One tick on a clock stepped by hand: the open lookups age, and the pool counts its silence.
void LookupPool::tick()
{
    for (auto &slot : m_slots) {
        if (slot->active)
            onSlotTick(slot->index);
    }
    onPoolTick();
}

// Takes the place of a batch: every free slot, up to the pace, takes the next name.
void LookupPool::fillSlots()
{
    m_fillScheduled = false;
    if (m_stopped)
        return;
    if (isPaused()) {
        emit paceChanged();   // the count of open lookups fell
        return;
    }
    std::vector<Slot *> starts;
    bool retried = false;
    for (auto &slot : m_slots) {
        if (slot->active)
            continue;
        // A start the pace allows is spent only on a name there is.
        if (m_queue.carried().isEmpty() && m_queue.feedIsBehind())
            break;
        if (!m_pace.allowsStart())
            break;
        std::optional<Lookup> next = m_queue.next(m_trouble.verdicts(), qsizetype(m_slots.size()), &retried);
        if (m_stopped)
            return;   // reading the feed stopped the run
        if (!next)
            break;
        // On its slot at once: the resume position keeps it while the next names are read (a
        // position saved meanwhile, for a name the feed settles, must not pass it).
        occupy(*next, *slot);
        starts.push_back(slot.get());
    }
    // Carried-over names are asked at a random place among the others, so that a server that
    // refuses every n-th connection cannot refuse the same name each time.
    if (retried && starts.size() > 1)
        std::rotate(
            starts.begin(), starts.begin() + QRandomGenerator::global()->bounded(int(starts.size())), starts.end());
    // Every name taken is on its slot before any is asked, so that a stop while they start (a
    // server that cannot be found) finds each of them open, and the resume position keeps them.
    for (Slot *slot : starts) {
        if (m_stopped)
            return;
        if (slot->active)
            m_backend->ask(slot->index, slot->lookup.name);
    }
    emit paceChanged();
    if (!m_stopped && (m_queue.feedEnded() || !m_queue.hasFeed()) && m_queue.carried().isEmpty() && m_inFlight == 0)
        QMetaObject::invokeMethod(
            this,
            [this, run = m_run] {
                if (run == m_run && !m_stopped)
                    emit finished();
            },
            Qt::QueuedConnection);
}

void LookupPool::occupy(const Lookup &lookup, Slot &slot)
{
    slot.lookup = lookup;
    slot.active = true;
    slot.age = 0;
    ++m_inFlight;
    m_trouble.lookupStarted();
    m_pace.startTicks(slot.timer, m_tickMs);
}

void LookupPool::onReached(int index)
{
    const Slot &slot = *m_slots[size_t(index)];
    if (m_stopped || !slot.active)
        return;
    m_trouble.connected();
    emit connectionStatus(QStringLiteral("connecting(%1): - Search String: %2").arg(index).arg(slot.lookup.name));
}

void LookupPool::onSlotTick(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    if (m_stopped || !slot.active) {
        slot.timer.stop();
        return;
    }
    if (++slot.age >= LookupTicks)
        finishTimedOut(slot);
    else
        m_backend->tick(index);
}

// Takes the place of the end of a batch: the slot is free, and the next fill gives it a name. The
// fill runs from the event loop, never inside the socket's own signal.
void LookupPool::lookupEnded(Slot &slot)
{
    slot.timer.stop();
    slot.active = false;
    m_backend->cancel(slot.index);
    --m_inFlight;
    scheduleFill();
}

void LookupPool::scheduleFill()
{
    if (m_fillScheduled || m_stopped)
        return;
    m_fillScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this, run = m_run] {
            if (run == m_run)
                fillSlots();
        },
        Qt::QueuedConnection);
}

// A refusal: the pool waits as the pace says, or stops the run when the server asks for more
// than an hour.
void LookupPool::learnLimit(qint64 retryAfterMs)
{
    if (m_stopped)
        return;
    switch (m_pace.refusal(retryAfterMs)) {
    case Pace::Refusal::Counted: return;
    case Pace::Refusal::TooLongWait:
        // Its owner says what follows: the run stops, or only this service's names go unchecked.
        refuseRun(QStringLiteral("%1 asks to wait %2 before the next query (Retry-After), more than an hour.")
                      .arg(m_backend->serviceText(), Pace::waitText(retryAfterMs)));
        return;
    case Pace::Refusal::Wait: emit paceChanged(); return;
    }
}

void LookupPool::endWait()
{
    m_pace.endWait();
    emit paceChanged();
    fillSlots();
}

QList<Lookup> LookupPool::openLookups() const
{
    QList<Lookup> open;
    for (const auto &slot : m_slots) {
        if (slot->active)
            open.append(slot->lookup);
    }
    return open + m_queue.carried();
}

void LookupPool::stop()
{
    m_stopped = true;
    ++m_run;   // a fill or pause of this run never reaches the next one
    m_pace.stop();
    m_poolTimer.stop();
    for (auto &slot : m_slots) {
        if (slot->active)
            m_backend->cancel(slot->index);
        slot->timer.stop();
        slot->active = false;
    }
    m_inFlight = 0;
    m_queue.clear();
    m_fillScheduled = false;
}

// How a lookup ends: a verdict, a refusal, a reply that cannot be read, no answer in time, a
// service that cannot be reached; and what the pool does when a service fails it as a whole.

void LookupPool::onAnswered(int index, const LookupAnswer &answer)
{
    Slot &slot = *m_slots[size_t(index)];
    if (m_stopped || !slot.active)
        return;
    switch (answer.kind) {
    case LookupAnswer::Kind::Verdict: return finishWithVerdict(slot, answer);
    case LookupAnswer::Kind::NoVerdict:
        if (answer.reserved || answer.oversized)
            return writeOffAtOnce(slot, answer);
        if (!answer.throttled)
            return finishUnreadable(slot, answer);
        return finishRefused(slot, answer);
    case LookupAnswer::Kind::Unreachable: return onUnreachable(slot, answer);
    }
}

// An answer that asking again would only repeat: a name the registry reserves, or a reply longer
// than any record (each try of it costs the cap's worth of traffic).
void LookupPool::writeOffAtOnce(Slot &slot, const LookupAnswer &answer)
{
    const Lookup lookup = slot.lookup;
    lookupEnded(slot);
    if (answer.reserved)
        emit reserved(lookup.name, lookup.entry,
            answer.reason.isEmpty() ? QStringLiteral("reserved by the registry") : answer.reason);
    else
        writeOff(lookup);
}

void LookupPool::onUnreachable(Slot &slot, const LookupAnswer &answer)
{
    const QString why = QStringLiteral("%1 cannot be reached: %2.").arg(m_backend->serviceText(), answer.said);
    // An unknown host, or a server that refused every connection of the run so far, will not
    // answer the next name either.
    if (m_trouble.unreachable(answer.hostNotFound, int(m_slots.size()))) {
        if (!fallOver(why))
            refuseRun(why);
        return;
    }
    finishRefused(slot, answer);
}

void LookupPool::onPoolTick()
{
    if (m_stopped || askedWaitLeft() > 0)
        return;   // nothing is asked while the server's own wait lasts: no silence to count
    if (m_inFlight == 0 && m_queue.carried().isEmpty())
        return;   // nothing to ask (DNS settles the names): the server is idle, not silent
    switch (m_trouble.tick(m_queue.feedEnded())) {
    case ServiceTrouble::Step::Nothing: return;
    case ServiceTrouble::Step::Quiet: emit paceChanged(); return;
    case ServiceTrouble::Step::FallOver: fallOver(silenceText()); return;
    case ServiceTrouble::Step::WriteOff: writeOffOpenNames(); return;
    case ServiceTrouble::Step::GiveUp:
        if (!fallOver(silenceText()))
            refuseRun(
                QStringLiteral("%1 refuses every query: %2 replies without an answer and "
                               "no verdict for %3 seconds (last reply: %4).")
                    .arg(m_backend->serviceText(), QString::number(m_trouble.refusalsWithoutVerdict()),
                        QString::number(m_trouble.ticksWithoutVerdict() * m_tickMs / 1000), m_trouble.lastReply()));
        return;
    }
}

QString LookupPool::silenceText() const
{
    return QStringLiteral("%1 gave no verdict for %2 seconds (last reply: %3).")
        .arg(m_backend->serviceText(), QString::number(m_trouble.ticksWithoutVerdict() * m_tickMs / 1000),
            m_trouble.lastReply());
}

void LookupPool::finishWithVerdict(Slot &slot, const LookupAnswer &answer)
{
    const Lookup lookup = slot.lookup;
    lookupEnded(slot);
    m_trouble.verdict();
    if (m_pace.verdict())
        emit paceChanged();
    emit verdict(lookup.name, answer.unregistered, lookup.entry, answer.state);
}

// A reply without a verdict: the server is refusing, most likely because we ask too fast.
void LookupPool::finishRefused(Slot &slot, const LookupAnswer &answer)
{
    Lookup lookup = slot.lookup;
    lookupEnded(slot);
    m_trouble.refused(answer.said);
    lookup.unread = false;
    const bool writtenOff = lookup.refused(m_trouble.verdicts(), isLastOpenName());
    if (!writtenOff)
        m_queue.carryFirst(lookup);
    // A name's own trouble neither lowers the rate nor makes the others wait.
    if (!lookup.isSingledOut())
        learnLimit(answer.retryAfterMs);
    if (writtenOff)
        writeOff(lookup);
}

// A reply that is an answer, but one we cannot read (a 400, a body of another kind): the name's
// trouble, which costs it an attempt and leaves the pace alone. A service that answers many
// different names in a row this way is the wrong service, or behind a broken proxy: the run stops
// there and keeps its place.
void LookupPool::finishUnreadable(Slot &slot, const LookupAnswer &answer)
{
    Lookup lookup = slot.lookup;
    lookupEnded(slot);
    if (m_trouble.unreadable(lookup.name, answer.said)) {
        m_queue.carryFirst(lookup);
        const QString why =
            QStringLiteral("%1 gives no verdict: %2 different names in a row got replies it "
                           "cannot read (last reply: %3).")
                .arg(m_backend->serviceText(), QString::number(m_trouble.unreadableNames()), answer.said);
        if (!fallOver(why))
            refuseRun(why);
        return;
    }
    if (lookup.unreadable(m_trouble.verdicts(), isLastOpenName()))
        return writeOff(lookup);
    lookup.unread = true;
    m_queue.carryLast(lookup);
}

// A name's last attempt: it is told as unchecked; once nothing else is open, the silence and the
// refusals it cost are forgotten with it.
void LookupPool::writeOff(const Lookup &lookup)
{
    if (m_inFlight == 0 && m_queue.carried().isEmpty())
        m_trouble.idle();
    emit unchecked(lookup.name, lookup.entry);
}

// Whether no other name is open or waiting, and none is there to be asked (the source has ended, or
// is behind while DNS settles a stretch): a service that has answered others refuses this one.
bool LookupPool::isLastOpenName() const
{
    return m_trouble.verdicts() > 0 && m_inFlight == 0 && m_queue.carried().isEmpty()
        && (m_queue.feedEnded() || m_queue.feedIsBehind());
}

// No verdict in time. While the server answers other names (or this is the last name of the
// list) this is the name's own trouble and costs an attempt; while it answers none, it is a
// refusal like any other, and the give-up rule stops the run with the name still open, so that a
// resumed run asks it again.
void LookupPool::finishTimedOut(Slot &slot)
{
    Lookup lookup = slot.lookup;
    lookupEnded(slot);
    m_trouble.refused(QStringLiteral("no answer within %1 seconds").arg(LookupTicks * m_tickMs / 1000.0));
    lookup.unread = false;
    if (lookup.timedOut(m_trouble.verdicts(), isLastOpenName()))
        writeOff(lookup);
    else
        m_queue.carryLast(lookup);
}
// Each name is told while it still counts as open: when its outcome cannot be saved (a full disk),
// the run stops with a resume position that keeps it and every name not yet told.
void LookupPool::writeOffOpenNames()
{
    const quint64 run = m_run;
    const auto goesOn = [this, run] { return run == m_run && !m_stopped; };
    while (!m_queue.carried().isEmpty()) {
        const Lookup lookup = m_queue.carried().constFirst();
        emit unchecked(lookup.name, lookup.entry);
        if (!goesOn())
            return;
        m_queue.carried().removeFirst();
    }
    for (auto &slot : m_slots) {
        if (!slot->active)
            continue;
        const Lookup lookup = slot->lookup;
        emit unchecked(lookup.name, lookup.entry);
        if (!goesOn())
            return;
        lookupEnded(*slot);
    }
    m_trouble.idle();
    m_pace.cancelWait();
    scheduleFill();
}

// The failing service gives way to the next one for the rest of the run ("auto": WHOIS to RDAP):
// the open names are asked again there, and the pace starts afresh. False when it has none.
bool LookupPool::fallOver(const QString &why)
{
    if (!m_backend->canGiveWay())
        return false;
    for (auto &slot : m_slots) {
        if (slot->active) {
            m_queue.carryFirst(slot->lookup);
            lookupEnded(*slot);
        }
    }
    for (Lookup &lookup : m_queue.carried())
        lookup.refusals = lookup.singledOut = 0;
    m_backend->giveWay();
    m_fallOverReason = why;
    m_pace.reset(false);
    m_trouble.newService();
    emit connectionStatus(QStringLiteral("WHOIS failed: asking RDAP for the rest of the run"));
    emit fellOverToRdap(why);
    emit paceChanged();
    scheduleFill();
    return true;
}

// The run's owner stops it; the open names stay open, so that the resume position keeps them.
void LookupPool::refuseRun(const QString &message)
{
    emit serverRefuses(m_fallOverReason.isEmpty() ? message : m_fallOverReason + QLatin1Char(' ') + message);
    if (!m_stopped)
        stop();
}
