// A WHOIS server on 127.0.0.1 for tests and benchmarks: one query per connection, the reply, then
// the connection is closed. Replies are shaped like the .com registry's.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QQueue>
#include <QSaveFile>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>

namespace {

struct Options {
    QSet<QByteArray> registered;
    bool useRegisteredList = false;
    double freeRatio = 0.5;
    int latencyMs = 0;
    int slowEvery = 0;
    int slowMs = 0;
    int silentEvery = 0;
    QSet<QByteArray> silentNames;   // lower case
    int emptyEvery = 0;
    int noticeEvery = 0;
    qint64 replyBytes = 0;
    int limitPerSecond = 0;
};

const QByteArray LimitNotice = "Your connection limit exceeded. Please slow down and try again later.\r\n";

const QByteArray Notice = "NOTICE: The expiration date displayed in this record is the date the\r\n"
                          "registrar's sponsorship of the domain name registration in the registry is\r\n"
                          "currently set to expire. This date does not necessarily reflect the expiration\r\n"
                          "date of the domain name registrant's agreement with the sponsoring\r\n"
                          "registrar.\r\n";

quint32 stableHash(const QByteArray &text)
{
    quint32 hash = 2166136261u;   // FNV-1a
    for (char c : text)
        hash = (hash ^ quint8(c)) * 16777619u;
    return hash;
}

class WhoisTestServer : public QObject
{
public:
    WhoisTestServer(Options options, const QString &logPath)
        : m_options(std::move(options))
    {
        if (!logPath.isEmpty()) {
            m_log.setFileName(logPath);
            if (!m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
                std::fprintf(stderr, "whois-test-server: cannot write %s\n", qPrintable(logPath));
        }
        m_server.setMaxPendingConnections(1000);
        m_clock.start();
        connect(&m_server, &QTcpServer::newConnection, this, &WhoisTestServer::accept);
    }

    // Writes the queries answered and those refused over the limit to the file, a few times a
    // second, so that a benchmark reads the server's own count whenever it stops.
    void writeStats(const QString &path)
    {
        m_statsPath = path;
        connect(&m_statsTimer, &QTimer::timeout, this, &WhoisTestServer::saveStats);
        m_statsTimer.start(200);
        saveStats();
    }

    bool listen(quint16 port) { return m_server.listen(QHostAddress::LocalHost, port); }
    quint16 port() const { return m_server.serverPort(); }

private:
    void saveStats()
    {
        QSaveFile file(m_statsPath);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(QByteArray("answered ") + QByteArray::number(m_queries) + "\nover-limit "
                + QByteArray::number(m_refusals) + '\n');
            file.commit();
        }
    }

    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            const quint64 number = ++m_connections;
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, number] { readQuery(socket, number); });
        }
    }

    void readQuery(QTcpSocket *socket, quint64 connection)
    {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > 4096)
                socket->abort();   // no line in sight: not a WHOIS client
            return;
        }
        disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
        const QByteArray query = socket->readLine().trimmed();
        if (m_log.isOpen())
            m_log.write(query + '\n');
        if ((m_options.silentEvery > 0 && connection % quint64(m_options.silentEvery) == 0)
            || m_options.silentNames.contains(query.toLower()))
            return;   // accepted and never answered
        if (m_options.emptyEvery > 0 && connection % quint64(m_options.emptyEvery) == 0) {
            socket->disconnectFromHost();
            return;
        }
        if (m_options.noticeEvery > 0 && connection % quint64(m_options.noticeEvery) == 0) {
            socket->write(LimitNotice);
            socket->disconnectFromHost();
            return;
        }
        if (overLimit()) {
            // A registry's throttle: alternately a close without a word and a one-line notice.
            if (++m_refusals % 2 == 0)
                socket->write(LimitNotice);
            socket->disconnectFromHost();
            return;
        }
        const quint64 number = ++m_queries;
        int delay = m_options.latencyMs;
        if (m_options.slowEvery > 0 && number % quint64(m_options.slowEvery) == 0)
            delay = m_options.slowMs;
        const QByteArray reply = replyFor(query);
        if (delay <= 0) {
            answer(socket, reply);
            return;
        }
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(delay, this, [guarded, reply] {
            if (guarded)
                answer(guarded, reply);
        });
    }

    // Beyond the limit of answered queries in the last second; an answered one is counted.
    bool overLimit()
    {
        if (m_options.limitPerSecond <= 0)
            return false;
        const qint64 now = m_clock.elapsed();
        while (!m_answered.isEmpty() && m_answered.head() <= now - 1000)
            m_answered.dequeue();
        if (m_answered.size() >= m_options.limitPerSecond)
            return true;
        m_answered.enqueue(now);
        return false;
    }

    static void answer(QTcpSocket *socket, const QByteArray &reply)
    {
        socket->write(reply);
        socket->disconnectFromHost();   // after the reply has gone out
    }

    bool isFree(const QByteArray &name) const
    {
        const QByteArray key = name.toLower();
        if (m_options.useRegisteredList)
            return !m_options.registered.contains(key);
        return stableHash(key) % 100000u < quint32(m_options.freeRatio * 100000.0);
    }

    QByteArray replyFor(const QByteArray &name) const
    {
        const QByteArray updated = lastUpdate();
        const QByteArray upper = name.toUpper();
        QByteArray reply;
        if (isFree(name)) {
            reply = "No match for \"" + upper + "\".\r\n>>> Last update of whois database: " + updated + " <<<\r\n\r\n"
                + Notice;
        } else {
            const QByteArray id = QByteArray::number(stableHash(name) % 100000000u);
            reply = "   Domain Name: " + upper
                + "\r\n"
                  "   Registry Domain ID: "
                + id
                + "_DOMAIN_COM-VRSN\r\n"
                  "   Registrar WHOIS Server: whois.registrar.test\r\n"
                  "   Registrar URL: http://www.registrar.test\r\n"
                  "   Updated Date: 2025-06-01T10:00:00Z\r\n"
                  "   Creation Date: 2001-03-14T09:26:53Z\r\n"
                  "   Registry Expiry Date: 2027-03-14T09:26:53Z\r\n"
                  "   Registrar: Example Registrar, Inc.\r\n"
                  "   Registrar IANA ID: 9999\r\n"
                  "   Domain Status: clientTransferProhibited https://icann.org/epp#clientTransferProhibited\r\n"
                  "   Name Server: NS1.REGISTRAR.TEST\r\n"
                  "   Name Server: NS2.REGISTRAR.TEST\r\n"
                  "   DNSSEC: unsigned\r\n"
                  "   URL of the ICANN Whois Inaccuracy Complaint Form: https://www.icann.org/wicf/\r\n"
                  ">>> Last update of whois database: "
                + updated + " <<<\r\n\r\n" + Notice;
        }
        while (reply.size() < m_options.replyBytes)
            reply += Notice;
        if (m_options.replyBytes > 0)
            reply.truncate(std::max<qint64>(m_options.replyBytes, 1));
        return reply;
    }

    // The time stamp of the replies, made once a second rather than once a reply.
    QByteArray lastUpdate() const
    {
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        if (now != m_stampSecond) {
            m_stampSecond = now;
            m_stamp = QDateTime::fromSecsSinceEpoch(now, Qt::UTC).toString(Qt::ISODate).toLatin1();
        }
        return m_stamp;
    }

    mutable qint64 m_stampSecond = -1;
    mutable QByteArray m_stamp;
    Options m_options;
    QTcpServer m_server;
    QFile m_log;
    quint64 m_connections = 0;
    quint64 m_queries = 0;
    quint64 m_refusals = 0;   // refused over the limit
    QString m_statsPath;
    QTimer m_statsTimer;
    QElapsedTimer m_clock;
    QQueue<qint64> m_answered;   // when each query of the last second was answered
};

int fail(const QString &message)
{
    std::fprintf(stderr, "whois-test-server: %s\n", qPrintable(message));
    return 2;
}

}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A WHOIS server on 127.0.0.1 for tests and benchmarks."));
    parser.addHelpOption();
    const QCommandLineOption port(
        QStringLiteral("port"), QStringLiteral("Port; 0 picks a free one."), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption registered(QStringLiteral("registered"),
        QStringLiteral("Names that are registered, one per line; every other name is free."), QStringLiteral("FILE"));
    const QCommandLineOption freeRatio(QStringLiteral("free-ratio"),
        QStringLiteral("Without --registered: about this share of names is free (default 0.5)."), QStringLiteral("R"));
    const QCommandLineOption latency(
        QStringLiteral("latency-ms"), QStringLiteral("Delay before each reply."), QStringLiteral("N"));
    const QCommandLineOption slowEvery(
        QStringLiteral("slow-every"), QStringLiteral("Every K-th query waits --slow-ms instead."), QStringLiteral("K"));
    const QCommandLineOption slowMs(
        QStringLiteral("slow-ms"), QStringLiteral("Delay of the slow queries."), QStringLiteral("M"));
    const QCommandLineOption silentEvery(QStringLiteral("silent-every"),
        QStringLiteral("Every K-th connection is never answered."), QStringLiteral("K"));
    const QCommandLineOption silentName(QStringLiteral("silent-name"),
        QStringLiteral("Queries for NAME are never answered (may be given more than once)."), QStringLiteral("NAME"));
    const QCommandLineOption emptyEvery(QStringLiteral("empty-every"),
        QStringLiteral("Every K-th connection is closed without a reply."), QStringLiteral("K"));
    const QCommandLineOption noticeEvery(QStringLiteral("notice-every"),
        QStringLiteral("Every K-th connection gets only the limit notice."), QStringLiteral("K"));
    const QCommandLineOption replyBytes(
        QStringLiteral("reply-bytes"), QStringLiteral("Pad every reply to N bytes."), QStringLiteral("N"));
    const QCommandLineOption limit(QStringLiteral("limit-per-s"),
        QStringLiteral(
            "Beyond R answered queries in the last second, answer with an empty close or a limit notice, alternately."),
        QStringLiteral("R"));
    const QCommandLineOption stats(QStringLiteral("stats"),
        QStringLiteral("Keep FILE up to date with the queries answered and those refused over the limit."),
        QStringLiteral("FILE"));
    const QCommandLineOption log(
        QStringLiteral("log"), QStringLiteral("Append each query as received to FILE."), QStringLiteral("FILE"));
    parser.addOptions({port, registered, freeRatio, latency, slowEvery, slowMs, silentEvery, silentName, emptyEvery,
        noticeEvery, replyBytes, limit, stats, log});
    parser.process(app);

    auto number = [&parser](const QCommandLineOption &option, bool *ok) {
        return parser.isSet(option) ? parser.value(option).toLongLong(ok) : (*ok = true, 0LL);
    };
    Options options;
    bool ok = true;
    bool all = true;
    const qint64 portNumber = number(port, &ok);
    all &= ok && portNumber >= 0 && portNumber <= 65535;
    options.latencyMs = int(number(latency, &ok));
    all &= ok;
    options.slowEvery = int(number(slowEvery, &ok));
    all &= ok;
    options.slowMs = int(number(slowMs, &ok));
    all &= ok;
    options.silentEvery = int(number(silentEvery, &ok));
    all &= ok;
    options.emptyEvery = int(number(emptyEvery, &ok));
    all &= ok;
    options.noticeEvery = int(number(noticeEvery, &ok));
    all &= ok;
    options.replyBytes = number(replyBytes, &ok);
    all &= ok;
    options.limitPerSecond = int(number(limit, &ok));
    all &= ok;
    if (parser.isSet(freeRatio))
        options.freeRatio = parser.value(freeRatio).toDouble(&ok), all &= ok;
    if (!all)
        return fail(QStringLiteral("every number option takes a number; see --help"));
    for (const QString &name : parser.values(silentName))
        options.silentNames.insert(name.toLower().toLatin1());
    if (parser.isSet(registered)) {
        QFile file(parser.value(registered));
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1").arg(file.fileName()));
        options.useRegisteredList = true;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QByteArray name = line.trimmed().toLower();
            if (!name.isEmpty())
                options.registered.insert(name);
        }
    }

    WhoisTestServer server(options, parser.value(log));
    if (!server.listen(quint16(portNumber)))
        return fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(portNumber));
    if (parser.isSet(stats))
        server.writeStats(parser.value(stats));
    std::printf("listening on 127.0.0.1:%u\n", unsigned(server.port()));
    std::fflush(stdout);
    return app.exec();
}
