#include "engine/WhoisFetch.h"
#include "engine/ReplyCap.h"

WhoisFetch::WhoisFetch(QObject *parent)
    : QObject(parent)
{
    m_timeout.setSingleShot(true);
    connect(
        &m_timeout, &QTimer::timeout, this, [this] { finish(QStringLiteral("the server did not answer in time")); });
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        emit connected();
        if (!m_active)
            return;   // cancelled by whoever heard of the connection
        if (m_socket.write(m_request) != m_request.size()) {
            m_reply.clear();   // asked again on a new connection, from the start
            Whois::closeQuietly(m_socket);
            m_socket.connectToHost(m_server.host, m_server.port);
        }
    });
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
        if (!m_active)
            return Whois::closeQuietly(m_socket);
        m_reply += Reply::readUpToCap(m_socket, m_reply.size());
        emit received();
        if (m_active && m_reply.size() >= Reply::Cap)
            finish({});   // enough has come to decide; the rest is not read
    });
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        m_reply += Reply::readUpToCap(m_socket, m_reply.size());
        finish({});
    });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError)   // a close after the reply ends the reply
            finish(m_socket.errorString());
    });
}

WhoisFetch::~WhoisFetch()
{
    cancel();
}

void WhoisFetch::start(const Whois::Server &server, const QString &query, int timeoutMs)
{
    cancel();
    m_server = server;
    m_request = Whois::request(query);
    m_active = true;
    if (timeoutMs > 0)
        m_timeout.start(timeoutMs);
    m_socket.connectToHost(server.host, server.port);
}

void WhoisFetch::cancel()
{
    m_active = false;
    m_timeout.stop();
    m_reply.clear();
    Whois::closeQuietly(m_socket);
}

void WhoisFetch::finish(const QString &error)
{
    if (!m_active)
        return;
    Result result;
    result.reply = m_reply;
    result.error = error;
    result.connected = m_socket.state() == QAbstractSocket::ConnectedState;
    result.hostNotFound = m_socket.error() == QAbstractSocket::HostNotFoundError;
    result.capped = m_reply.size() >= Reply::Cap;
    cancel();
    emit finished(result);
}

LookupAnswer WhoisFetch::Result::answerFor(const QString &name, const WhoisRules &rules) const
{
    if (!error.isEmpty())
        return answerFor(name, QByteArray());   // unreachable, as for any server
    if (capped) {
        LookupAnswer answer;
        answer.oversized = true;
        answer.said = QStringLiteral("a reply longer than %1 bytes, as no record is").arg(Reply::Cap);
        return answer;
    }
    return rules.read(reply, name);
}

LookupAnswer WhoisFetch::Result::answerFor(const QString &name, const QByteArray &marker) const
{
    LookupAnswer answer;
    if (!error.isEmpty()) {
        answer.kind = LookupAnswer::Kind::Unreachable;
        answer.hostNotFound = hostNotFound;
        answer.said = error;
        return answer;
    }
    answer.setVerdict(Whois::replyVerdict(reply, marker, name));
    if (answer.verdict() == Verdict::Registered)
        answer.state = NameStates::fromWhois(name, reply);
    if (answer.kind == LookupAnswer::Kind::Verdict)
        return answer;
    const QString notice = QString::fromLatin1(reply.left(200).trimmed().split('\n').constFirst()).trimmed();
    answer.said = notice.isEmpty() ? QStringLiteral("the connection closed without a reply")
                                   : QLatin1Char('"') + notice + QLatin1Char('"');
    answer.oversized = capped;
    answer.throttled = Whois::isThrottleNotice(reply);
    return answer;
}
