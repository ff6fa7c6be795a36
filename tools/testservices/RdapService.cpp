#include "tools/testservices/RdapService.h"

#include "tools/testservices/HostileAnswers.h"
#include "tools/testservices/Replay.h"
#include "tools/testservices/Replies.h"

#include <QPointer>
#include <QSslServer>
#include <QTcpSocket>

namespace {
const QByteArray RdapJson = "application/rdap+json";
}   // namespace

RdapService::RdapService(Registry &registry)
    : m_registry(registry)
{ }

bool RdapService::listen(quint16 port, const std::optional<QSslConfiguration> &tls)
{
    if (tls) {
        auto server = std::make_unique<QSslServer>();
        server->setSslConfiguration(*tls);
        m_server = std::move(server);
    } else {
        m_server = std::make_unique<QTcpServer>();
    }
    m_server->setMaxPendingConnections(1000);
    connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, this, &RdapService::accept);
    return m_server->listen(QHostAddress::LocalHost, port);
}

void RdapService::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
    }
}

void RdapService::readRequest(QTcpSocket *socket)
{
    if (socket->property("busy").toBool())
        return;   // the answer of the last request is still on its way
    QByteArray buffered = socket->property("buffer").toByteArray() + socket->readAll();
    const qsizetype end = buffered.indexOf("\r\n\r\n");
    if (end < 0) {
        if (buffered.size() > 16384)
            socket->abort();
        else
            socket->setProperty("buffer", buffered);
        return;
    }
    const QByteArray head = buffered.left(end);
    socket->setProperty("buffer", buffered.mid(end + 4));
    const QByteArray path = head.split(' ').value(1);
    const QByteArray query = path.mid(path.lastIndexOf('/') + 1);
    m_registry.logQuery(query);
    if (misbehaves(socket, path, query))
        return;
    const quint64 number = m_registry.countQuery();
    socket->setProperty("busy", true);
    QPointer<QTcpSocket> guarded(socket);
    const auto reply = [this, guarded, query] {
        if (!guarded)
            return;
        guarded->setProperty("busy", false);
        answer(guarded, query);
        if (!guarded->property("buffer").toByteArray().isEmpty() || guarded->bytesAvailable() > 0)
            readRequest(guarded);
    };
    if (m_registry.hold().holds(number))
        m_registry.hold().hold(reply);
    else
        QTimer::singleShot(m_registry.delayOf(number), this, reply);
}

bool RdapService::misbehaves(QTcpSocket *socket, const QByteArray &path, const QByteArray &query)
{
    const Options &options = m_registry.options();
    const QByteArray lower = query.toLower();
    if (options.silentNames.contains(lower))
        return true;   // never answered
    if (!options.redirectTo.isEmpty() && !path.startsWith("/redirected/")) {
        const QByteArray to = QByteArray(options.redirectTo).replace("{port}", QByteArray::number(port()));
        Replies::sendHttp(socket, 302, "text/html", {}, "Location: " + to + "redirected" + path + "\r\n");
        return true;
    }
    if (const std::optional<QByteArray> captured = m_registry.replayed("rdap/" + lower + ".http")) {
        Replay::sendHttp(socket, *captured);
        return true;
    }
    if (options.hostile && HostileAnswers::overRdap(socket, lower))
        return true;
    if (options.refusedNames.contains(lower)) {
        Replies::sendHttp(socket, 503, "text/plain", "busy\n");
        return true;
    }
    if (m_registry.overLimit()) {
        m_registry.countRefusal();
        Replies::sendHttp(socket, 429, RdapJson, R"({"errorCode":429,"title":"Too Many Requests"})",
            "Retry-After: " + options.retryAfter + "\r\n");
        return true;
    }
    return false;
}

void RdapService::answer(QTcpSocket *socket, const QByteArray &query)
{
    const Options &options = m_registry.options();
    const QByteArray name = query.toLower();
    if (options.reservedNames.contains(name))
        return Replies::sendHttp(socket, 404, RdapJson,
            R"({"errorCode":404,"title":"Not Found","description":["The name is reserved by the registry."]})");
    if (m_registry.answersFree(name)) {
        if (options.html404)
            return Replies::sendHttp(socket, 404, "text/html", "<html><body>Not Found</body></html>");
        // The .com and .net registry's own answer: the status and the type, and nothing else.
        return Replies::sendHttp(socket, 404, RdapJson, {});
    }
    const QByteArray shown = options.otherLdhName ? "OTHER-" + name.toUpper() : name.toUpper();
    Replies::sendHttp(socket, 200, RdapJson, Replies::rdapRecord(name, shown, m_registry.rules().droppingPhase(name)));
}
