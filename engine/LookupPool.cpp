#include "engine/LookupPool.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

struct LookupPool::Slot {
    int index = 0;
    QTimer timer;
    Lookup lookup;
    int age = 0;           // ticks since the lookup began
    bool active = false;   // a lookup is open on this slot
};

LookupPool::LookupPool(int slotCount, QObject *parent)
    : QObject(parent)
{
    for (int i = 0; i < slotCount; ++i) {
        auto slot = std::make_unique<Slot>();
        slot->index = i;
        connect(&slot->timer, &QTimer::timeout, this, [this, i] { onSlotTick(i); });
        m_slots.push_back(std::move(slot));
    }
    m_pauseTimer.setSingleShot(true);
    m_pauseTimer.setTimerType(Qt::PreciseTimer);   // a wait of minutes is told to the second
    connect(&m_pauseTimer, &QTimer::timeout, this, &LookupPool::endWait);
    connect(&m_poolTimer, &QTimer::timeout, this, &LookupPool::onPoolTick);
    m_paceTimer.setSingleShot(true);
    connect(&m_paceTimer, &QTimer::timeout, this, &LookupPool::fillSlots);
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
    m_feedEnded = false;
    m_fallOverReason.clear();
    m_backend->newRun();
    m_clock.start();
    m_pace.reset(0);
    m_ticksWithoutVerdict = 0;
    m_refusalsWithoutVerdict = 0;
    m_unreadableNames.clear();
    m_verdicts = 0;
    m_anyConnected = false;
    m_failedConnections = 0;
    m_started = 0;
    m_poolTimer.start(m_tickMs);
    fillSlots();
}

// Takes the place of a batch: every free slot, up to the pace, takes the next name.
void LookupPool::fillSlots()
{
    m_fillScheduled = false;
    if (m_stopped || isPaused())
        return;
    std::vector<Slot *> starts;
    bool retried = false;
    for (auto &slot : m_slots) {
        if (slot->active)
            continue;
        // A start the pace allows is spent only on a name there is.
        if (m_retries.isEmpty() && feedIsBehind())
            break;
        if (!paceAllowsStart())
            break;
        std::optional<Lookup> next = nextLookup(&retried);
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
    if (!m_stopped && (m_feedEnded || !m_feed) && m_retries.isEmpty() && m_inFlight == 0)
        QMetaObject::invokeMethod(
            this,
            [this, run = m_run] {
                if (run == m_run && !m_stopped)
                    emit finished();
            },
            Qt::QueuedConnection);
}

// A carried-over name once the server has answered anything since it was refused, else the feed
// (while few names wait), else any carried-over name. A name refused at once, again and again, would otherwise take
// every start the pace allows, and the others none. The order is partly left to chance, so that a server that refuses
// every n-th connection cannot refuse the same name each time.
std::optional<Lookup> LookupPool::nextLookup(bool *retried)
{
    const auto due = std::find_if(
        m_retries.begin(), m_retries.end(), [this](const Lookup &lookup) { return lookup.verdictsSeen < m_verdicts; });
    if (due != m_retries.end() && QRandomGenerator::global()->bounded(2) == 0) {
        const Lookup lookup = *due;
        m_retries.erase(due);
        *retried = true;
        return lookup;
    }
    // While a slot's worth of names wait, the server refuses more than one name: they go first,
    // and the list is not walked through under a refusal.
    if (!m_feedEnded && m_feed && refusedWaiting() < qsizetype(m_slots.size())) {
        if (std::optional<Lookup> next = m_feed())
            return next;
        m_feedEnded = !feedIsBehind();
    }
    if (m_retries.isEmpty())
        return std::nullopt;
    *retried = true;
    return m_retries.takeAt(QRandomGenerator::global()->bounded(int(m_retries.size())));
}

// The names waiting to be asked again because the service refused them; those whose replies we
// could not read are no sign that it refuses.
qsizetype LookupPool::refusedWaiting() const
{
    return std::count_if(m_retries.cbegin(), m_retries.cend(), [](const Lookup &lookup) { return !lookup.unread; });
}

bool LookupPool::feedIsBehind() const
{
    return !m_feedEnded && m_feedBehind && m_feedBehind();
}

void LookupPool::occupy(const Lookup &lookup, Slot &slot)
{
    slot.lookup = lookup;
    slot.active = true;
    slot.age = 0;
    ++m_inFlight;
    ++m_started;
    slot.timer.start(m_tickMs);
}

void LookupPool::onReached(int index)
{
    const Slot &slot = *m_slots[size_t(index)];
    if (m_stopped || !slot.active)
        return;
    m_anyConnected = true;
    emit connectionStatus(QStringLiteral("connecting(%1): - Search String: %2").arg(index).arg(slot.lookup.name));
}

void LookupPool::onAnswered(int index, const LookupAnswer &answer)
{
    Slot &slot = *m_slots[size_t(index)];
    if (m_stopped || !slot.active)
        return;
    switch (answer.kind) {
    case LookupAnswer::Kind::Verdict: return finishWithVerdict(slot, answer.unregistered);
    case LookupAnswer::Kind::NoVerdict:
        if (answer.reserved || answer.oversized)
            return writeOffAtOnce(slot, answer.reserved);
        if (!answer.throttled)
            return finishUnreadable(slot, answer);
        return finishRefused(slot, answer);
    case LookupAnswer::Kind::Unreachable: return onUnreachable(slot, answer);
    }
}

// An answer that asking again would only repeat: a name the registry reserves, or a reply longer
// than any record (each try of it costs the cap's worth of traffic).
void LookupPool::writeOffAtOnce(Slot &slot, bool reserved)
{
    const Lookup lookup = slot.lookup;
    lookupEnded(slot);
    if (reserved)
        emit this->reserved(lookup.name, lookup.entry);
    else
        writeOff(lookup);
}

void LookupPool::onUnreachable(Slot &slot, const LookupAnswer &answer)
{
    const QString why = QStringLiteral("%1 cannot be reached: %2.").arg(m_backend->serviceText(), answer.said);
    // An unknown host, or a server that refused every connection of the run so far, will not
    // answer the next name either.
    ++m_failedConnections;
    if (answer.hostNotFound
        || (!m_anyConnected && m_verdicts == 0 && m_failedConnections >= std::min(m_started, int(m_slots.size())))) {
        if (!fallOver(why))
            refuseRun(why);
        return;
    }
    finishRefused(slot, answer);
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

void LookupPool::onPoolTick()
{
    if (m_stopped || askedWaitLeft() > 0)
        return;   // nothing is asked while the server's own wait lasts: no silence to count
    if (m_inFlight == 0 && m_retries.isEmpty())
        return;   // nothing to ask (DNS settles the names): the server is idle, not silent
    ++m_ticksWithoutVerdict;
    if (m_ticksWithoutVerdict == QuietTicks)
        emit paceChanged();
    if (m_refusalsWithoutVerdict == 0)
        return;
    if (m_ticksWithoutVerdict >= FallOverTicks && !(m_feedEnded && m_verdicts > 0)
        && fallOver(QStringLiteral("%1 gave no verdict for %2 seconds (last reply: %3).")
                        .arg(m_backend->serviceText(), QString::number(m_ticksWithoutVerdict * m_tickMs / 1000),
                            m_lastRefusal)))
        return;
    if (m_ticksWithoutVerdict < GiveUpTicks)
        return;
    if (m_feedEnded && m_verdicts > 0) {
        // The server answered the rest of the list but keeps refusing these: they are written off.
        writeOffOpenNames();
        return;
    }
    refuseRun(QStringLiteral("%1 refuses every query: %2 replies without an answer and "
                             "no verdict for %3 seconds (last reply: %4).")
                  .arg(m_backend->serviceText(), QString::number(m_refusalsWithoutVerdict),
                      QString::number(m_ticksWithoutVerdict * m_tickMs / 1000), m_lastRefusal));
}

void LookupPool::finishWithVerdict(Slot &slot, bool unregistered)
{
    const Lookup lookup = slot.lookup;
    lookupEnded(slot);
    ++m_verdicts;
    m_ticksWithoutVerdict = 0;
    m_refusalsWithoutVerdict = 0;
    m_unreadableNames.clear();
    if (m_pace.verdict(m_clock.elapsed()))
        emit paceChanged();
    emit verdict(lookup.name, unregistered, lookup.entry);
}

// A reply without a verdict: the server is refusing, most likely because we ask too fast.
void LookupPool::finishRefused(Slot &slot, const LookupAnswer &answer)
{
    Lookup lookup = slot.lookup;
    lookupEnded(slot);
    ++m_refusalsWithoutVerdict;
    m_lastRefusal = answer.said;
    lookup.unread = false;
    const bool writtenOff = lookup.refused(m_verdicts, isLastOpenName());
    if (!writtenOff)
        m_retries.prepend(lookup);
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
    ++m_refusalsWithoutVerdict;
    m_lastRefusal = answer.said;
    m_unreadableNames.insert(lookup.name);
    if (m_unreadableNames.size() >= UnreadableNames) {
        m_retries.prepend(lookup);
        const QString why = QStringLiteral("%1 gives no verdict: %2 different names in a row got replies it "
                                           "cannot read (last reply: %3).")
                                .arg(m_backend->serviceText(), QString::number(m_unreadableNames.size()), answer.said);
        if (!fallOver(why))
            refuseRun(why);
        return;
    }
    if (lookup.unreadable(m_verdicts, isLastOpenName()))
        return writeOff(lookup);
    lookup.unread = true;
    m_retries.append(lookup);
}

// A name's last attempt: it is told as unchecked; once nothing else is open, the silence and the
// refusals it cost are forgotten with it.
void LookupPool::writeOff(const Lookup &lookup)
{
    if (m_inFlight == 0 && m_retries.isEmpty()) {
        m_ticksWithoutVerdict = 0;
        m_refusalsWithoutVerdict = 0;
    }
    emit unchecked(lookup.name, lookup.entry);
}

// Whether no other name is open or waiting, and none is there to be asked (the source has ended, or
// is behind while DNS settles a stretch): a service that has answered others refuses this one.
bool LookupPool::isLastOpenName() const
{
    return m_verdicts > 0 && m_inFlight == 0 && m_retries.isEmpty() && (m_feedEnded || feedIsBehind());
}

// No verdict in time. While the server answers other names (or this is the last name of the
// list) this is the name's own trouble and costs an attempt; while it answers none, it is a
// refusal like any other, and the give-up rule stops the run with the name still open, so that a
// resumed run asks it again.
void LookupPool::finishTimedOut(Slot &slot)
{
    Lookup lookup = slot.lookup;
    lookupEnded(slot);
    ++m_refusalsWithoutVerdict;
    m_lastRefusal = QStringLiteral("no answer within %1 seconds").arg(LookupTicks * m_tickMs / 1000.0);
    lookup.unread = false;
    if (lookup.timedOut(m_verdicts, isLastOpenName()))
        writeOff(lookup);
    else
        m_retries.append(lookup);
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

// Whether the learnt rate lets a query start now; when not, the pool wakes when it does.
bool LookupPool::paceAllowsStart()
{
    const qint64 now = m_clock.elapsed();
    if (m_pace.allowsStart(now))
        return true;
    if (!m_paceTimer.isActive())
        m_paceTimer.start(int(std::max<qint64>(0, m_pace.nextStartMs() - now)));
    return false;
}

// A refusal: the pool waits as the pace says, or stops the run when the server asks for more
// than an hour.
void LookupPool::learnLimit(qint64 retryAfterMs)
{
    if (m_stopped)
        return;
    const qint64 now = m_clock.elapsed();
    switch (m_pace.refusal(now, retryAfterMs)) {
    case Pace::Refusal::Counted: return;
    case Pace::Refusal::TooLongWait:
        // Its owner says what follows: the run stops, or only this service's names go unchecked.
        refuseRun(QStringLiteral("%1 asks to wait %2 before the next query (Retry-After), more than an hour.")
                      .arg(m_backend->serviceText(), Pace::waitText(retryAfterMs)));
        return;
    case Pace::Refusal::Wait:
        m_pauseTimer.start(int(m_pace.waitLeft(now)));
        emit paceChanged();
        return;
    }
}

void LookupPool::endWait()
{
    m_pace.endWait(m_clock.elapsed());
    emit paceChanged();
    fillSlots();
}

void LookupPool::dropWait()
{
    m_pauseTimer.stop();
    m_pace.cancelWait();
}

// Each name is told while it still counts as open: when its outcome cannot be saved (a full disk),
// the run stops with a resume position that keeps it and every name not yet told.
void LookupPool::writeOffOpenNames()
{
    const quint64 run = m_run;
    const auto goesOn = [this, run] { return run == m_run && !m_stopped; };
    while (!m_retries.isEmpty()) {
        const Lookup lookup = m_retries.constFirst();
        emit unchecked(lookup.name, lookup.entry);
        if (!goesOn())
            return;
        m_retries.removeFirst();
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
    m_ticksWithoutVerdict = 0;
    m_refusalsWithoutVerdict = 0;
    dropWait();
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
            m_retries.prepend(slot->lookup);
            lookupEnded(*slot);
        }
    }
    for (Lookup &lookup : m_retries)
        lookup.refusals = lookup.singledOut = 0;
    m_backend->giveWay();
    m_fallOverReason = why;
    m_pace.reset(m_clock.elapsed());
    m_pauseTimer.stop();
    m_ticksWithoutVerdict = 0;
    m_refusalsWithoutVerdict = 0;
    m_unreadableNames.clear();
    m_anyConnected = false;
    m_failedConnections = 0;
    m_started = 0;
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

QList<Lookup> LookupPool::openLookups() const
{
    QList<Lookup> open;
    for (const auto &slot : m_slots) {
        if (slot->active)
            open.append(slot->lookup);
    }
    return open + m_retries;
}

void LookupPool::stop()
{
    m_stopped = true;
    ++m_run;   // a fill or pause of this run never reaches the next one
    dropWait();
    m_paceTimer.stop();
    m_poolTimer.stop();
    for (auto &slot : m_slots) {
        if (slot->active)
            m_backend->cancel(slot->index);
        slot->timer.stop();
        slot->active = false;
    }
    m_inFlight = 0;
    m_retries.clear();
    m_fillScheduled = false;
}
