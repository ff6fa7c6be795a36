#include "engine/Whois.h"

#include "app/SettingsStore.h"
#include "app/TextUtils.h"

#include <QSignalBlocker>
#include <QTcpSocket>

namespace Whois {

Server Server::parse(const QString &text)
{
    Server server;
    const QString trimmed = text.trimmed();
    const qsizetype colon = trimmed.lastIndexOf(':');
    if (colon < 0 || trimmed.count(':') > 1) {   // a bare IPv6 address has several colons
        server.host = trimmed;
        return server;
    }
    bool ok = false;
    const uint port = trimmed.mid(colon + 1).toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return {};
    server.host = trimmed.left(colon);
    server.port = quint16(port);
    return server;
}

QString Server::text() const
{
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

Server ConfiguredServer()
{
    QString text = qEnvironmentVariable("TAMARIND_WHOIS_SERVER");
    if (text.isEmpty())
        text = SettingsStore::get(SettingsStore::ProductKey, SettingsStore::NetworkSection,
                                  QStringLiteral("WhoisServer"), QStringLiteral("whois.verisign-grs.com:43"));
    return Server::parse(text);
}

QString PrepareLookupName(const QString &candidate)
{
    const qsizetype colon = candidate.indexOf(':');
    QString name = URLDecode(colon < 0 ? candidate : candidate.mid(colon + 1));
    CorrectName(name);
    if (!name.contains(QLatin1String(".com"), Qt::CaseInsensitive)
        && !name.contains(QLatin1String(".net"), Qt::CaseInsensitive))
        name += QLatin1String(".com");
    name.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    return name;
}

QByteArray Request(const QString &query)
{
    return query.toLatin1() + "\r\n";
}

void CloseQuietly(QTcpSocket &socket)
{
    const QSignalBlocker quiet(socket);
    socket.abort();
}

QByteArray ReadUpToCap(QIODevice &socket, qsizetype kept)
{
    // Only what is waiting: read(n) would reserve all n bytes first.
    if (!socket.isOpen())
        return {};
    return socket.read(std::min<qint64>(ReplyCap - kept, socket.bytesAvailable()));
}

bool IsUnregisteredReply(const QByteArray &reply)
{
    static const QByteArray marker("no match for");
    return reply.toLower().contains(marker);
}

} // namespace Whois

WhoisQuery::WhoisQuery(QObject *parent)
    : QObject(parent)
    , m_socket(new QTcpSocket(this))
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] { finish(QStringLiteral("the server did not answer in time")); });
    connect(m_socket, &QTcpSocket::connected, this, [this] { m_socket->write(m_request); });
    connect(m_socket, &QTcpSocket::readyRead, this, [this] {
        m_reply += Whois::ReadUpToCap(*m_socket, m_reply.size());
        if (m_reply.size() >= Whois::ReplyCap)
            finish(QString());
    });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        m_reply += Whois::ReadUpToCap(*m_socket, m_reply.size());
        finish(QString());
    });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError)
            finish(m_socket->errorString());
    });
}

WhoisQuery::~WhoisQuery() = default;


void WhoisQuery::start(const Whois::Server &server, const QString &name, int timeoutMs)
{
    Whois::CloseQuietly(*m_socket);
    m_done = false;
    m_reply.clear();
    m_request = Whois::Request(name);
    m_timeout.start(timeoutMs);
    m_socket->connectToHost(server.host, server.port);
}

void WhoisQuery::finish(const QString &error)
{
    if (m_done)
        return;
    m_done = true;
    m_timeout.stop();
    Whois::CloseQuietly(*m_socket);
    emit finished(m_reply, error);
}
