#include "engine/WhoisBackend.h"

WhoisBackend::WhoisBackend(int slotCount, QObject *parent)
    : LookupBackend(parent)
    , m_marker(Whois::configuredMarker())
{
    for (int i = 0; i < slotCount; ++i) {
        auto slot = std::make_unique<Slot>();
        connect(&slot->socket, &QTcpSocket::connected, this, [this, i] { onConnected(i); });
        connect(&slot->socket, &QTcpSocket::readyRead, this, [this, i] { onReadyRead(i); });
        connect(&slot->socket, &QTcpSocket::disconnected, this, [this, i] { onDisconnected(i); });
        connect(&slot->socket, &QTcpSocket::errorOccurred, this, [this, i] { onError(i); });
        m_slots.push_back(std::move(slot));
    }
}

WhoisBackend::~WhoisBackend()
{
    for (auto &slot : m_slots)
        Whois::closeQuietly(slot->socket);
}

QString WhoisBackend::serviceText() const
{
    return QStringLiteral("The WHOIS server %1").arg(m_server.text());
}

void WhoisBackend::ask(int index, const QString &name)
{
    Slot &slot = *m_slots[size_t(index)];
    slot.name = name;
    slot.reply.clear();
    slot.active = true;
    connectSlot(slot);
}

void WhoisBackend::tick(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    if (slot.active && ++slot.sinceConnect >= ReconnectTicks)
        connectSlot(slot);   // ask again, from the start
}

void WhoisBackend::cancel(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    slot.active = false;
    Whois::closeQuietly(slot.socket);
    slot.reply.clear();
}

void WhoisBackend::connectSlot(Slot &slot)
{
    slot.sinceConnect = 0;
    slot.reply.clear();   // half a reply glued to the next would read as one
    Whois::closeQuietly(slot.socket);
    slot.socket.connectToHost(m_server.host, m_server.port);
}

void WhoisBackend::onConnected(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    if (!slot.active) {
        Whois::closeQuietly(slot.socket);
        return;
    }
    slot.sinceConnect = 0;
    emit reached(index);
    if (!slot.active)
        return;
    const QByteArray request = Whois::request(slot.name);
    if (slot.socket.write(request) != request.size())
        connectSlot(slot);   // the next connect sends again
}

void WhoisBackend::onReadyRead(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    if (!slot.active) {
        Whois::closeQuietly(slot.socket);
        return;
    }
    slot.reply += Whois::readUpToCap(slot.socket, slot.reply.size());
    slot.sinceConnect = 0;   // a reply still coming is no silent server
    m_peakReply = std::max(m_peakReply, slot.reply.size());
    if (slot.reply.size() >= Whois::ReplyCap)
        finishWithReply(index);   // enough has come to decide; the rest is not read
}

void WhoisBackend::onDisconnected(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    if (!slot.active)
        return;
    slot.reply += Whois::readUpToCap(slot.socket, slot.reply.size());
    finishWithReply(index);
}

void WhoisBackend::onError(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    const QAbstractSocket::SocketError error = slot.socket.error();
    if (!slot.active || error == QAbstractSocket::RemoteHostClosedError)
        return;   // a close after the reply is handled as the end of the reply
    if (slot.socket.state() == QAbstractSocket::ConnectedState)
        return;   // trouble after the query was sent: the pool's timer asks again
    LookupAnswer answer;
    answer.kind = LookupAnswer::Kind::Unreachable;
    answer.hostNotFound = error == QAbstractSocket::HostNotFoundError;
    answer.said = slot.socket.errorString();
    finish(index, answer);
}

void WhoisBackend::finishWithReply(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    LookupAnswer answer;
    const Whois::Verdict verdict = Whois::replyVerdict(slot.reply, m_marker, slot.name);
    if (verdict == Whois::Verdict::None) {
        const QString notice = QString::fromLatin1(slot.reply.left(200).trimmed().split('\n').constFirst()).trimmed();
        answer.said = notice.isEmpty() ? QStringLiteral("the connection closed without a reply")
                                       : QLatin1Char('"') + notice + QLatin1Char('"');
        answer.oversized = slot.reply.size() >= Whois::ReplyCap;
    } else {
        answer.kind = LookupAnswer::Kind::Verdict;
        answer.unregistered = verdict == Whois::Verdict::Free;
    }
    finish(index, answer);
}

void WhoisBackend::finish(int index, const LookupAnswer &answer)
{
    cancel(index);
    emit answered(index, answer);
}
