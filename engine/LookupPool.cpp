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
    m_pace.reset(now());
    m_trouble.reset();
    arm(m_poolTimer, m_tickMs);
    fillSlots();
}

void LookupPool::arm(QTimer &timer, int milliseconds)
{
    if (!m_manualClock)
        return timer.start(milliseconds);
    const qint64 due = now() + std::max(1, milliseconds);   // time moves on between two fires
    if (&timer == &m_pauseTimer)
        m_pauseDue = due;
    else if (&timer == &m_paceTimer)
        m_paceDue = due;
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

qint64 LookupPool::nextDue() const
{
    if (m_pauseDue < 0 || m_paceDue < 0)
        return std::max(m_pauseDue, m_paceDue);
    return std::min(m_pauseDue, m_paceDue);
}

// The waits that have run out on the manual clock end, as their timers would.
void LookupPool::fireDue()
{
    const qint64 time = now();
    if (m_pauseDue >= 0 && m_pauseDue <= time) {
        m_pauseDue = -1;
        if (!m_stopped && isPaused())
            endWait();
    }
    if (m_paceDue >= 0 && m_paceDue <= time) {
        m_paceDue = -1;
        fillSlots();
    }
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
    const auto due = std::find_if(m_retries.begin(), m_retries.end(),
        [this](const Lookup &lookup) { return lookup.verdictsSeen < m_trouble.verdicts(); });
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
    m_trouble.lookupStarted();
    arm(slot.timer, m_tickMs);
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

// Whether the learnt rate lets a query start now; when not, the pool wakes when it does.
bool LookupPool::paceAllowsStart()
{
    const qint64 time = now();
    if (m_pace.allowsStart(time))
        return true;
    if (!m_paceTimer.isActive())
        arm(m_paceTimer, int(std::max<qint64>(0, m_pace.nextStartMs() - time)));
    return false;
}

// A refusal: the pool waits as the pace says, or stops the run when the server asks for more
// than an hour.
void LookupPool::learnLimit(qint64 retryAfterMs)
{
    if (m_stopped)
        return;
    const qint64 time = now();
    switch (m_pace.refusal(time, retryAfterMs)) {
    case Pace::Refusal::Counted: return;
    case Pace::Refusal::TooLongWait:
        // Its owner says what follows: the run stops, or only this service's names go unchecked.
        refuseRun(QStringLiteral("%1 asks to wait %2 before the next query (Retry-After), more than an hour.")
                      .arg(m_backend->serviceText(), Pace::waitText(retryAfterMs)));
        return;
    case Pace::Refusal::Wait:
        arm(m_pauseTimer, int(m_pace.waitLeft(time)));
        emit paceChanged();
        return;
    }
}

void LookupPool::endWait()
{
    m_pace.endWait(now());
    emit paceChanged();
    fillSlots();
}

void LookupPool::dropWait()
{
    m_pauseTimer.stop();
    m_pace.cancelWait();
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
