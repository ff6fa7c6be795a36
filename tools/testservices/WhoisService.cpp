#include "tools/testservices/WhoisService.h"

#include "tools/testservices/HostileAnswers.h"
#include "tools/testservices/Replay.h"
#include "tools/testservices/Replies.h"

#include <QPointer>
#include <QTcpSocket>

namespace {
const QByteArray LimitNotice = "Your connection limit exceeded. Please slow down and try again later.\r\n";
}   // namespace

WhoisService::WhoisService(Registry &registry)
    : m_registry(registry)
{
    m_server.setMaxPendingConnections(1000);
    connect(&m_server, &QTcpServer::newConnection, this, &WhoisService::accept);
}

bool WhoisService::listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

void WhoisService::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        const quint64 number = ++m_connections;
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, number] { readQuery(socket, number); });
    }
}

void WhoisService::readQuery(QTcpSocket *socket, quint64 connection)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > 4096)
            socket->abort();   // no line in sight: not a WHOIS client
        return;
    }
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    const QByteArray query = socket->readLine().trimmed();
    m_registry.logQuery(query);
    if (misbehaves(socket, query, connection))
        return;
    const quint64 number = m_registry.countQuery();
    const int delay = m_registry.delayOf(number);
    const Options &options = m_registry.options();
    const QByteArray reply = Replies::whoisReply(
        query, m_registry.answersFree(query), m_registry.rules().droppingPhase(query), options.replyBytes);
    QPointer<QTcpSocket> guarded(socket);
    const auto send = [guarded, reply] {
        if (guarded)
            Replies::sendWhois(guarded, reply);
    };
    if (m_registry.hold().holds(number))
        m_registry.hold().hold(send);
    else if (delay <= 0)
        send();
    else
        QTimer::singleShot(delay, this, send);
}

bool WhoisService::misbehaves(QTcpSocket *socket, const QByteArray &query, quint64 connection)
{
    const Options &options = m_registry.options();
    const QByteArray lower = query.toLower();
    const auto every = [connection](int k) { return k > 0 && connection % quint64(k) == 0; };
    if (every(options.silentEvery) || options.silentNames.contains(lower))
        return true;   // accepted and never answered
    if (const std::optional<QByteArray> captured = m_registry.replayed("whois/" + Replay::queriedName(query))) {
        Replies::sendWhois(socket, *captured);
        return true;
    }
    if (options.hostile && HostileAnswers::overWhois(socket, lower))
        return true;
    if (options.refusedNames.contains(lower)) {
        Replies::sendWhois(socket, LimitNotice);
        return true;
    }
    if (every(options.emptyEvery) || every(options.noticeEvery)) {
        Replies::sendWhois(socket, every(options.emptyEvery) ? QByteArray() : LimitNotice);
        return true;
    }
    if (m_registry.overLimit()) {
        // A registry's throttle: alternately a close without a word and a one-line notice.
        Replies::sendWhois(socket, m_registry.countRefusal() % 2 == 0 ? LimitNotice : QByteArray());
        return true;
    }
    return false;
}
