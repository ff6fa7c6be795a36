#include "engine/WhoisPool.h"

#include "app/DataFile.h"
#include "app/ProgramFolder.h"
#include "engine/ResultLists.h"

#include <QDir>
#include <QTcpSocket>
#include <algorithm>

struct WhoisPool::Slot {
    int index = 0;
    QTcpSocket socket;
    QTimer timer;
    Lookup lookup;
    QString name;        // the prepared name: what is asked and classified
    QByteArray reply;
    int ticks = 0;
    bool active = false;  // a lookup is open on this slot
};

WhoisPool::WhoisPool(ResultLists &results, QObject *parent)
    : QObject(parent)
    , m_results(results)
    , m_server(Whois::ConfiguredServer())
{
    for (int i = 0; i < Slots; ++i) {
        auto slot = std::make_unique<Slot>();
        slot->index = i;
        connect(&slot->socket, &QTcpSocket::connected, this, [this, i] { onConnected(i); });
        connect(&slot->socket, &QTcpSocket::readyRead, this, [this, i] { onReadyRead(i); });
        connect(&slot->socket, &QTcpSocket::disconnected, this, [this, i] { onDisconnected(i); });
        connect(&slot->socket, &QTcpSocket::errorOccurred, this, [this, i] { onError(i); });
        connect(&slot->timer, &QTimer::timeout, this, [this, i] { onSlotTick(i); });
        m_slots[size_t(i)] = std::move(slot);
    }
    connect(&m_overall, &QTimer::timeout, this, &WhoisPool::onWatchdogTick);
}

WhoisPool::~WhoisPool()
{
    for (auto &slot : m_slots)
        Whois::CloseQuietly(slot->socket);
}

QString WhoisPool::uncheckedPath() const
{
    return ProgramFolder::path() + QStringLiteral("/Unchecked") + m_results.runStamp() + QStringLiteral(".txt");
}

void WhoisPool::BeginRun()
{
    m_stopped = false;
    m_retries.clear();
    m_told.clear();
}

void WhoisPool::BeginBatch()
{
    ++m_batch;
    m_lookupsDone = 0;
    m_started = 0;
    m_batchTicks = 0;
    m_filling = true;
    m_endScheduled = false;
    m_overall.start(m_tickMs);
}

void WhoisPool::StartLookup(const Lookup &lookup, int index)
{
    if (m_stopped || index < 0 || index >= Slots)
        return;
    Slot &slot = *m_slots[size_t(index)];
    slot.lookup = lookup;
    slot.name = Whois::PrepareLookupName(lookup.candidate);
    slot.reply.clear();
    slot.active = true;
    ++m_started;
    connectSlot(slot);
}

void WhoisPool::connectSlot(Slot &slot)
{
    slot.ticks = 0;
    slot.timer.start(m_tickMs);
    Whois::CloseQuietly(slot.socket);
    slot.socket.connectToHost(m_server.host, m_server.port);
}

// Once every slot of the batch has been handed its name: a short batch may already be complete.
void WhoisPool::FinishFilling()
{
    m_filling = false;
    if (m_lookupsDone >= std::min(m_started, Slots - 1))
        scheduleBatchEnd();
}

void WhoisPool::onConnected(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    if (m_stopped || !slot.active) {
        Whois::CloseQuietly(slot.socket);
        return;
    }
    emit connectionStatus(QStringLiteral("connecting(%1): - Search String: %2").arg(index).arg(slot.name));
    slot.ticks = 0;
    const QByteArray request = Whois::Request(slot.name);
    if (slot.socket.write(request) != request.size())
        connectSlot(slot);   // the next connect sends again
}

void WhoisPool::onReadyRead(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    if (m_stopped || !slot.active) {
        Whois::CloseQuietly(slot.socket);
        return;
    }
    slot.reply += Whois::ReadUpToCap(slot.socket, slot.reply.size());
    m_peakReply = std::max(m_peakReply, slot.reply.size());
    if (slot.reply.size() >= Whois::ReplyCap)
        finishWithVerdict(slot);   // enough to decide; the rest is not read
}

void WhoisPool::onDisconnected(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    if (m_stopped || !slot.active)
        return;
    slot.reply += Whois::ReadUpToCap(slot.socket, slot.reply.size());
    finishWithVerdict(slot);
}

void WhoisPool::onError(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    const QAbstractSocket::SocketError error = slot.socket.error();
    if (m_stopped || !slot.active || error == QAbstractSocket::RemoteHostClosedError)
        return;   // a close after the reply is handled as the end of the reply
    if (slot.socket.state() == QAbstractSocket::ConnectedState)
        return;   // trouble after the query was sent: the timer asks again
    tell(QStringLiteral("The WHOIS server %1 cannot be reached: %2.").arg(m_server.text(), slot.socket.errorString()));
    finishWithoutVerdict(slot);
}

void WhoisPool::onSlotTick(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    ++slot.ticks;
    if (m_stopped || !slot.active) {
        slot.timer.stop();
        return;
    }
    if (slot.ticks >= ReconnectTicks)
        connectSlot(slot);   // ask again; the reply so far is kept
}

void WhoisPool::onWatchdogTick()
{
    if (m_stopped) {
        m_overall.stop();
        return;
    }
    if (++m_batchTicks >= WatchdogTicks) {
        m_overall.stop();
        m_lookupsDone = Slots;
        scheduleBatchEnd();
    }
}

void WhoisPool::finishWithVerdict(Slot &slot)
{
    slot.timer.stop();
    slot.active = false;
    Whois::CloseQuietly(slot.socket);
    const bool unregistered = Whois::IsUnregisteredReply(slot.reply);
    slot.reply.clear();
    if (unregistered)
        m_results.AddUnregistered(slot.name);
    else
        m_results.AddRegistered(slot.name);
    emit verdict(slot.name, unregistered);
    m_results.ApplyCap();
    LookupDone();
}

void WhoisPool::finishWithoutVerdict(Slot &slot)
{
    slot.timer.stop();
    slot.active = false;
    Whois::CloseQuietly(slot.socket);
    slot.reply.clear();
    carryOver(slot.lookup);
    LookupDone();
}

void WhoisPool::carryOver(Lookup lookup)
{
    if (++lookup.attempts < MaxAttempts) {
        m_retries.append(lookup);
        return;
    }
    const QString name = Whois::PrepareLookupName(lookup.candidate);
    QString error;
    if (!DataFile::append(uncheckedPath(), {name}, &error))
        tell(QStringLiteral("The file %1 could not be written: %2.").arg(QDir::toNativeSeparators(uncheckedPath()), error));
    emit unchecked(name, ++m_uncheckedCount);
}

void WhoisPool::LookupDone()
{
    if (m_stopped)
        return;
    ++m_lookupsDone;
    if (!m_filling && m_lookupsDone >= std::min(m_started, Slots - 1))
        scheduleBatchEnd();
}

// The batch is closed from the event loop, never inside a socket's own signal.
void WhoisPool::scheduleBatchEnd()
{
    if (m_endScheduled || m_stopped)
        return;
    m_endScheduled = true;
    // A batch that was stopped, and a new one begun, before this runs is not this batch.
    QMetaObject::invokeMethod(this, [this, batch = m_batch] {
        if (batch == m_batch)
            endBatch();
    }, Qt::QueuedConnection);
}

void WhoisPool::endBatch()
{
    if (m_stopped)
        return;
    for (auto &slot : m_slots) {
        slot->timer.stop();
        Whois::CloseQuietly(slot->socket);
        if (slot->active) {
            slot->active = false;
            slot->reply.clear();
            carryOver(slot->lookup);
        }
    }
    m_overall.stop();
    m_batchTicks = 0;
    emit batchEnded();
}

qint64 WhoisPool::Stop()
{
    qint64 earliest = 0;
    auto consider = [&earliest](const Lookup &lookup) {
        if (lookup.entry > 0 && (earliest == 0 || lookup.entry < earliest))
            earliest = lookup.entry;
    };
    m_stopped = true;
    m_lookupsDone = Slots;
    m_overall.stop();
    m_batchTicks = 0;
    for (auto &slot : m_slots) {
        Whois::CloseQuietly(slot->socket);
        slot->timer.stop();
        slot->ticks = 0;
        if (slot->active)
            consider(slot->lookup);
        slot->active = false;
    }
    for (const Lookup &lookup : std::as_const(m_retries))
        consider(lookup);
    m_retries.clear();
    return earliest;
}

void WhoisPool::tell(const QString &message)
{
    if (m_told.contains(message))
        return;
    m_told.append(message);
    emit problem(message);
}
