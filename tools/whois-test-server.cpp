// A WHOIS server on 127.0.0.1 for tests and benchmarks: one query per connection, the reply, then
// the connection is closed. Replies are shaped like the .com registry's. With --rdap-port it also
// answers RDAP over HTTP/1.1 (HTTPS with a certificate), connections kept alive, with the same
// rule of free and registered names, the same delays and the same limit (429 with Retry-After).
// With --dns-port it answers DNS over UDP and TCP as a resolver would for the same names: NS records
// for a registered name, NXDOMAIN for a free one. With --replay it answers the names of a folder of
// captured answers with those answers, as the registries sent them.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QQueue>
#include <QSaveFile>
#include <QSet>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

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
    QSet<QByteArray> refusedNames;            // lower case; always a limit notice (WHOIS) or a 503 (RDAP)
    bool refuseAll = false;                   // every query is over the limit
    QByteArray retryAfter = "1";              // of an RDAP 429, as sent
    QSet<QByteArray> reservedNames;           // lower case; RDAP says "reserved"
    bool html404 = false;                     // RDAP's 404 is a web page, as a proxy's would be
    bool otherLdhName = false;                // RDAP's records name another name
    QByteArray redirectTo;                    // RDAP sends every request there once ("{port}": its own port)
    bool hostile = false;                     // names tell which hostile reply they get (see hostileWhois, hostileRdap)
    double heldRatio = 0;                     // of the registered names, absent from the zone
    double droppingRatio = 0;                 // of the registered names, in redemption or pending delete
    QHash<QByteArray, QByteArray> dropping;   // lower case name: "redemptionPeriod" or "pendingDelete"
    int dnsLimitPerSecond = 0;                // DNS answers REFUSED beyond it
    bool hijack = false;                      // DNS makes up an address for every name, as some ISPs' resolvers do
    bool dnsTruncate = false;                 // over UDP every delegation comes truncated: only TCP brings it
    bool dnsMismatch = false;                 // DNS answers name another question than the one asked
    int dnsLatencyMs = 0;                     // before each DNS answer over UDP
    int dnsSlowFirst = 0;                     // the first this many DNS questions over UDP are answered last
    double servfailRatio = 0;                 // of the registered names, lame: SERVFAIL every time they are asked
    int servfailEvery = 0;                    // every K-th DNS question gets SERVFAIL
    int dnsSilentAfter = 0;                   // DNS answers this many questions, then none
    int dnsSilentNames = 0;                   // DNS never answers the first this many names it is asked about
    bool dnsRefuseAll = false;                // DNS answers every question with REFUSED
    bool dnsChaos = false;                    // NS records come in class CH, not IN
    bool dnsFabricate = false;                // NS records for every name, as a resolver that makes things up
    quint64 freeAfter = 0;                    // the registry answers every name free after this many queries
    bool dnsDenyAll = false;                  // NXDOMAIN for every name, the endings too, as a filter's
    bool dnsEmptyAll = false;                 // NOERROR without records for every name (NODATA)
    QString replay;                           // a folder of captured answers: whois/NAME, rdap/NAME.http
    QString holdFile;                         // while it exists, replies wait...
    quint64 holdAfter = 0;                    // ...once this many queries have been answered
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

// A throttle: at most `perSecond` answers in any second (none set: no limit). An answer allowed is counted.
class RateLimit
{
public:
    explicit RateLimit(int perSecond)
        : m_perSecond(perSecond)
    {
        m_clock.start();
    }

    bool exceeded()
    {
        if (m_perSecond <= 0)
            return false;
        const qint64 now = m_clock.elapsed();
        while (!m_answered.isEmpty() && m_answered.head() <= now - 1000)
            m_answered.dequeue();
        if (m_answered.size() >= m_perSecond)
            return true;
        m_answered.enqueue(now);
        return false;
    }

private:
    int m_perSecond;
    QElapsedTimer m_clock;
    QQueue<qint64> m_answered;   // when each answer of the last second went
};

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

    // RDAP on the port, over TLS when a configuration is given.
    bool listenRdap(quint16 port, const std::optional<QSslConfiguration> &tls)
    {
        if (tls) {
            auto server = std::make_unique<QSslServer>();
            server->setSslConfiguration(*tls);
            m_rdap = std::move(server);
        } else {
            m_rdap = std::make_unique<QTcpServer>();
        }
        m_rdap->setMaxPendingConnections(1000);
        connect(m_rdap.get(), &QTcpServer::pendingConnectionAvailable, this, &WhoisTestServer::acceptRdap);
        return m_rdap->listen(QHostAddress::LocalHost, port);
    }
    quint16 rdapPort() const { return m_rdap ? m_rdap->serverPort() : 0; }

    bool isFree(const QByteArray &name) const
    {
        const QByteArray key = name.toLower();
        if (m_options.useRegisteredList)
            return !m_options.registered.contains(key) && !m_options.dropping.contains(key);
        if (key.indexOf('.') > 40)
            return true;   // a label this long is nobody's name: the names a client asks to test its resolver
        return stableHash(key) % 100000u < quint32(m_options.freeRatio * 100000.0);
    }

    // What the registry says: the rule of free names, unless it has gone wrong (--free-after).
    bool answersFree(const QByteArray &name) const
    {
        return isFree(name) || (m_options.freeAfter > 0 && m_queries > m_options.freeAfter);
    }

    // A registered name on its way out: "redemptionPeriod" (half of them) or "pendingDelete"; empty
    // for any other name. Such names are out of the zone.
    QByteArray droppingPhase(const QByteArray &name) const
    {
        const QByteArray key = name.toLower();
        if (const auto listed = m_options.dropping.constFind(key); listed != m_options.dropping.cend())
            return *listed;
        if (m_options.droppingRatio <= 0 || isFree(key)
            || stableHash("drop:" + key) % 100000u >= quint32(m_options.droppingRatio * 100000.0))
            return {};
        return stableHash("phase:" + key) % 2 ? "redemptionPeriod" : "pendingDelete";
    }
    // The day the registry set the phase: 35 and 5 days before the releases the client estimates.
    static QByteArray phaseSet(const QByteArray &phase)
    {
        return phase == "redemptionPeriod" ? "2026-11-20T10:00:00Z" : "2026-12-01T10:00:00Z";
    }

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
        if (const std::optional<QByteArray> captured = replayed("whois/" + queriedName(query))) {
            answer(socket, *captured);
            return;
        }
        if (m_options.hostile && hostileWhois(socket, query.toLower()))
            return;
        if (m_options.refusedNames.contains(query.toLower())) {
            socket->write(LimitNotice);
            socket->disconnectFromHost();
            return;
        }
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
        if (holds(number)) {
            QPointer<QTcpSocket> guarded(socket);
            hold([guarded, reply] {
                if (guarded)
                    answer(guarded, reply);
            });
            return;
        }
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

    // Whether the reply to the number-th query waits for the hold file to go: a test holds a run
    // at a known place, whatever the machine's speed, until it has done what it must.
    bool holds(quint64 number) const
    {
        return !m_options.holdFile.isEmpty() && number > m_options.holdAfter && QFile::exists(m_options.holdFile);
    }
    void hold(const std::function<void()> &reply)
    {
        m_held.append(reply);
        if (m_holdTimer.isActive())
            return;
        connect(&m_holdTimer, &QTimer::timeout, this, &WhoisTestServer::releaseHeld, Qt::UniqueConnection);
        m_holdTimer.start(20);
    }
    void releaseHeld()
    {
        if (QFile::exists(m_options.holdFile))
            return;
        m_holdTimer.stop();
        const QList<std::function<void()>> held = std::exchange(m_held, {});
        for (const std::function<void()> &reply : held)
            reply();
    }

    void acceptRdap()
    {
        while (QTcpSocket *socket = m_rdap->nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRdapRequest(socket); });
        }
    }

    // One request at a time per connection, as HTTP/1.1 clients send them without pipelining.
    void readRdapRequest(QTcpSocket *socket)
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
        if (m_log.isOpen())
            m_log.write(query + '\n');
        if (m_options.silentNames.contains(query.toLower()))
            return;   // never answered
        if (!m_options.redirectTo.isEmpty() && !path.startsWith("/redirected/")) {
            const QByteArray to = QByteArray(m_options.redirectTo).replace("{port}", QByteArray::number(rdapPort()));
            return rdapAnswer(socket, 302, "text/html", {}, "Location: " + to + "redirected" + path + "\r\n");
        }
        if (const std::optional<QByteArray> captured = replayed("rdap/" + query.toLower() + ".http"))
            return replayHttp(socket, *captured);
        if (m_options.hostile && hostileRdap(socket, query.toLower()))
            return;
        if (m_options.refusedNames.contains(query.toLower()))
            return rdapAnswer(socket, 503, "text/plain", "busy\n");
        if (overLimit()) {
            ++m_refusals;
            return rdapAnswer(socket, 429, "application/rdap+json", R"({"errorCode":429,"title":"Too Many Requests"})",
                "Retry-After: " + m_options.retryAfter + "\r\n");
        }
        const quint64 number = ++m_queries;
        int delay = m_options.latencyMs;
        if (m_options.slowEvery > 0 && number % quint64(m_options.slowEvery) == 0)
            delay = m_options.slowMs;
        socket->setProperty("busy", true);
        QPointer<QTcpSocket> guarded(socket);
        const auto reply = [this, guarded, query] {
            if (!guarded)
                return;
            guarded->setProperty("busy", false);
            rdapRecord(guarded, query);
            if (!guarded->property("buffer").toByteArray().isEmpty() || guarded->bytesAvailable() > 0)
                readRdapRequest(guarded);
        };
        if (holds(number))
            hold(reply);
        else
            QTimer::singleShot(delay, this, reply);
    }

    // The name a WHOIS query asks about, whatever form its registry wants: "-T dn,ace NAME",
    // "NAME/e", "domain NAME".
    static QByteArray queriedName(const QByteArray &query)
    {
        QByteArray name = query.toLower().split(' ').constLast();
        if (name.endsWith("/e"))
            name.chop(2);
        return name;
    }

    // The captured answer in the replay folder at `path`, if there is one.
    std::optional<QByteArray> replayed(const QByteArray &path) const
    {
        if (m_options.replay.isEmpty() || path.contains("..") || path.contains('\\'))
            return std::nullopt;
        QFile file(m_options.replay + '/' + QString::fromLatin1(path));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        return file.readAll();
    }

    // A captured HTTP answer (status line, headers, a blank line, the body; LF or CR LF) as it was
    // sent, its length counted anew: the capture's own framing headers are left out.
    static void replayHttp(QTcpSocket *socket, QByteArray captured)
    {
        captured.replace("\r\n", "\n");
        const qsizetype blank = captured.indexOf("\n\n");
        const QByteArray body = blank < 0 ? QByteArray() : captured.mid(blank + 2);
        const QList<QByteArray> head = captured.left(blank < 0 ? captured.size() : blank).split('\n');
        const int status = head.value(0).split(' ').value(1).toInt();
        QByteArray type;
        QByteArray headers;
        for (const QByteArray &line : head.mid(1)) {
            const QByteArray field = line.left(line.indexOf(':')).trimmed().toLower();
            if (field == "content-type")
                type = line.mid(line.indexOf(':') + 1).trimmed();
            else if (field != "content-length" && field != "transfer-encoding" && field != "connection")
                headers += line + "\r\n";
        }
        socket->write("HTTP/1.1 " + QByteArray::number(status) + " Answer\r\n"
            + (type.isEmpty() ? QByteArray() : "Content-Type: " + type + "\r\n")
            + "Content-Length: " + QByteArray::number(body.size()) + "\r\n" + headers + "\r\n" + body);
    }

    // What broken registries, proxies and attackers send over WHOIS, chosen by the name's first label.
    bool hostileWhois(QTcpSocket *socket, const QByteArray &name)
    {
        const QByteArray upper = name.toUpper();
        if (name.startsWith("someone-else"))
            answer(socket, "No match for \"SOMEONE-ELSE.COM\".\r\n");
        else if (name.startsWith("remark"))
            answer(socket,
                "   Domain Name: " + upper + "\r\n   Remark: No match for \"" + upper + "\" in the old database\r\n");
        else if (name.startsWith("two-names"))
            answer(socket, "No match for \"" + upper + "\".\r\n   Domain Name: OTHER.COM\r\n");
        else if (name.startsWith("escape"))
            answer(socket, "\x1b]0;owned\x07\x1b[2JSlow down\r\n");
        else
            return false;
        return true;
    }

    // The same over RDAP; every other name gets the usual answer.
    bool hostileRdap(QTcpSocket *socket, const QByteArray &name)
    {
        const QByteArray rdap = "application/rdap+json";
        if (name.startsWith("empty-json-404"))
            rdapAnswer(socket, 404, "application/json", {});
        else if (name.startsWith("html-rdap-404"))
            rdapAnswer(socket, 404, rdap, "<html><body>Not Found</body></html>");
        else if (name.startsWith("error-500-404"))
            rdapAnswer(socket, 404, rdap, R"({"errorCode":500,"title":"Internal error"})");
        else if (name.startsWith("cut-404")) {
            socket->write("HTTP/1.1 404 Not Found\r\nContent-Type: " + rdap + "\r\nContent-Length: 5000\r\n\r\n{\"err");
            socket->disconnectFromHost();
        } else if (name.startsWith("rights-notice"))
            rdapAnswer(socket, 404, rdap,
                R"({"errorCode":404,"title":"Not Found","notices":[{"title":"Terms","description":["All rights reserved."]}]})");
        else if (name == "reserved.com" || name == "blocked.com")
            rdapAnswer(socket, 200, rdap,
                R"({"objectClassName":"domain","ldhName":")" + name.toUpper()
                    + R"(","status":["active"],"remarks":[{"description":["Registered and reserved for its owner."]}]})");
        else if (name.startsWith("endless"))
            endlessBody(socket);
        else if (name.startsWith("deflate-404"))
            rdapAnswer(socket, 404, rdap, deflated(R"({"errorCode":404,"title":"Not Found"})"),
                "Content-Encoding: deflate\r\n");
        else if (name.startsWith("deflate-bomb")) {
            static const QByteArray bomb = deflated(QByteArray(64 << 20, ' '));   // 64 MB in about 64 KB
            rdapAnswer(socket, 200, rdap, bomb, "Content-Encoding: deflate\r\n");
        } else
            return false;
        return true;
    }

    // A zlib stream, as "Content-Encoding: deflate" carries it: qCompress's output without its
    // leading length.
    static QByteArray deflated(const QByteArray &body) { return qCompress(body, 9).mid(4); }

    // A 200 whose body never ends: chunks as fast as the client takes them.
    static void endlessBody(QTcpSocket *socket)
    {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/rdap+json\r\nTransfer-Encoding: chunked\r\n\r\n");
        const QByteArray chunk = "10000\r\n" + QByteArray(0x10000, ' ') + "\r\n";
        const auto more = [socket, chunk] {
            while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * chunk.size())
                socket->write(chunk);
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
    }

    void rdapRecord(QTcpSocket *socket, const QByteArray &query)
    {
        const QByteArray name = query.toLower();
        if (m_options.reservedNames.contains(name))
            return rdapAnswer(socket, 404, "application/rdap+json",
                R"({"errorCode":404,"title":"Not Found","description":["The name is reserved by the registry."]})");
        if (answersFree(name)) {
            if (m_options.html404)
                return rdapAnswer(socket, 404, "text/html", "<html><body>Not Found</body></html>");
            // The .com and .net registry's own answer: the status and the type, and nothing else.
            return rdapAnswer(socket, 404, "application/rdap+json", {});
        }
        const QByteArray shown = m_options.otherLdhName ? "OTHER-" + name.toUpper() : name.toUpper();
        const QByteArray phase = droppingPhase(name);
        const QByteArray status = phase.isEmpty() ? R"("client transfer prohibited")"
            : phase == "redemptionPeriod"         ? R"("pending delete","redemption period")"
                                                  : R"("pending delete")";
        const QByteArray record = R"({"objectClassName":"domain","handle":")" + QByteArray::number(stableHash(name))
            + R"(_DOMAIN_COM-VRSN","ldhName":")" + shown + R"(","status":[)" + status
            + R"(],"events":[{"eventAction":"registration","eventDate":"2001-03-14T09:26:53Z"},)"
              R"({"eventAction":"expiration","eventDate":")"
            + (phase.isEmpty() ? "2027-03-14T09:26:53Z" : "2026-09-01T09:26:53Z")
            + R"("},{"eventAction":"last changed","eventDate":")"
            + (phase.isEmpty() ? QByteArray("2025-06-01T10:00:00Z") : phaseSet(phase))
            + R"("}],)"
              R"("entities":[{"objectClassName":"entity","roles":["registrar"],)"
              R"("vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text","Example Registrar, Inc."]]]}],)"
              R"("nameservers":[{"objectClassName":"nameserver","ldhName":"NS1.REGISTRAR.TEST"},)"
              R"({"objectClassName":"nameserver","ldhName":"NS2.REGISTRAR.TEST"}]})";
        rdapAnswer(socket, 200, "application/rdap+json", record);
    }

    static void rdapAnswer(
        QTcpSocket *socket, int status, const QByteArray &type, const QByteArray &body, const QByteArray &headers = {})
    {
        socket->write("HTTP/1.1 " + QByteArray::number(status) + " Answer\r\nContent-Type: " + type
            + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + headers + "\r\n" + body);
    }

    // Beyond the limit of answered queries in the last second; an answered one is counted.
    bool overLimit() { return m_options.refuseAll || m_limit.exceeded(); }

    static void answer(QTcpSocket *socket, const QByteArray &reply)
    {
        socket->write(reply);
        socket->disconnectFromHost();   // after the reply has gone out
    }

    QByteArray replyFor(const QByteArray &name) const
    {
        const QByteArray updated = lastUpdate();
        const QByteArray upper = name.toUpper();
        QByteArray reply;
        if (answersFree(name)) {
            reply = "No match for \"" + upper + "\".\r\n>>> Last update of whois database: " + updated + " <<<\r\n\r\n"
                + Notice;
        } else {
            const QByteArray id = QByteArray::number(stableHash(name) % 100000000u);
            const QByteArray phase = droppingPhase(name);
            // As the .com registry shows a name in redemption: pendingDelete beside redemptionPeriod.
            const QByteArray status = phase.isEmpty()
                ? "   Domain Status: clientTransferProhibited https://icann.org/epp#clientTransferProhibited\r\n"
                : phase == "redemptionPeriod"
                ? "   Domain Status: pendingDelete https://icann.org/epp#pendingDelete\r\n"
                  "   Domain Status: redemptionPeriod https://icann.org/epp#redemptionPeriod\r\n"
                : "   Domain Status: pendingDelete https://icann.org/epp#pendingDelete\r\n";
            reply = "   Domain Name: " + upper
                + "\r\n"
                  "   Registry Domain ID: "
                + id
                + "_DOMAIN_COM-VRSN\r\n"
                  "   Registrar WHOIS Server: whois.registrar.test\r\n"
                  "   Registrar URL: http://www.registrar.test\r\n"
                  "   Updated Date: "
                + (phase.isEmpty() ? QByteArray("2025-06-01T10:00:00Z") : phaseSet(phase))
                + "\r\n"
                  "   Creation Date: 2001-03-14T09:26:53Z\r\n"
                  "   Registry Expiry Date: "
                + (phase.isEmpty() ? "2027-03-14T09:26:53Z" : "2026-09-01T09:26:53Z")
                + "\r\n"
                  "   Registrar: Example Registrar, Inc.\r\n"
                  "   Registrar IANA ID: 9999\r\n"
                + status
                + "   Name Server: NS1.REGISTRAR.TEST\r\n"
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
    std::unique_ptr<QTcpServer> m_rdap;
    QFile m_log;
    quint64 m_connections = 0;
    quint64 m_queries = 0;
    QList<std::function<void()>> m_held;   // replies waiting for the hold file to go
    QTimer m_holdTimer;
    quint64 m_refusals = 0;   // refused over the limit
    QString m_statsPath;
    QTimer m_statsTimer;
    RateLimit m_limit {m_options.limitPerSecond};
};

// DNS on 127.0.0.1, UDP and TCP on one port: NS questions about names, answered by the server's rule.
class DnsTestServer : public QObject
{
public:
    DnsTestServer(const Options &options, const WhoisTestServer &registry)
        : m_options(options)
        , m_registry(registry)
    { }

    // Binds UDP and TCP to one port; port 0 takes any port free for both.
    bool listen(quint16 port)
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            m_udp = std::make_unique<QUdpSocket>();
            m_tcp = std::make_unique<QTcpServer>();
            if (m_udp->bind(QHostAddress::LocalHost, port)
                && m_tcp->listen(QHostAddress::LocalHost, m_udp->localPort()))
                break;
            if (port != 0)
                return false;
        }
        if (!m_tcp->isListening())
            return false;
        m_udp->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 1 << 20);
        connect(m_udp.get(), &QUdpSocket::readyRead, this, &DnsTestServer::readDatagrams);
        connect(m_tcp.get(), &QTcpServer::newConnection, this, &DnsTestServer::acceptTcp);
        return true;
    }
    quint16 port() const { return m_udp->localPort(); }

private:
    static constexpr int TypeA = 1;
    static constexpr int TypeNs = 2;
    static constexpr int SlowFirstMs = 300;   // well within a client's wait for an answer

    void readDatagrams()
    {
        while (m_udp->hasPendingDatagrams()) {
            QHostAddress from;
            quint16 fromPort = 0;
            QByteArray query(int(m_udp->pendingDatagramSize()), Qt::Uninitialized);
            query.resize(m_udp->readDatagram(query.data(), query.size(), &from, &fromPort));
            const QByteArray reply = answerTo(query, true);
            if (reply.isEmpty())
                continue;
            const int latency =
                ++m_udpQuestions <= quint64(m_options.dnsSlowFirst) ? SlowFirstMs : m_options.dnsLatencyMs;
            if (latency <= 0)
                m_udp->writeDatagram(reply, from, fromPort);
            else
                QTimer::singleShot(
                    latency, this, [this, reply, from, fromPort] { m_udp->writeDatagram(reply, from, fromPort); });
        }
    }

    void acceptTcp()
    {
        while (QTcpSocket *socket = m_tcp->nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                QByteArray buffered = socket->property("buffer").toByteArray() + socket->readAll();
                while (buffered.size() >= 2) {
                    const int length = (quint8(buffered[0]) << 8) | quint8(buffered[1]);
                    if (buffered.size() < 2 + length)
                        break;
                    const QByteArray reply = answerTo(buffered.mid(2, length), false);
                    buffered.remove(0, 2 + length);
                    if (!reply.isEmpty())
                        socket->write(QByteArray(1, char(reply.size() >> 8)) + char(reply.size() & 0xFF) + reply);
                }
                socket->setProperty("buffer", buffered);
            });
        }
    }

    static QByteArray u16(int value) { return QByteArray(1, char(value >> 8)) + char(value & 0xFF); }
    QByteArray record(const QByteArray &owner, int type, const QByteArray &data) const
    {
        const int recordClass = m_options.dnsChaos ? 3 : 1;   // CH or IN
        return owner + u16(type) + u16(recordClass) + QByteArray("\0\0\x01\x2c", 4) + u16(int(data.size())) + data;
    }
    static QByteArray encodedName(const QByteArray &name)
    {
        QByteArray encoded;
        for (const QByteArray &label : name.split('.')) {
            if (!label.isEmpty())
                encoded += char(label.size()) + label;
        }
        return encoded + '\0';
    }

    // The reply to one query; empty for what is no query.
    QByteArray answerTo(const QByteArray &query, bool udp)
    {
        if (query.size() < 17)
            return {};
        qsizetype at = 12;
        QByteArray name;
        while (at < query.size() && query[at] != 0) {
            const int length = quint8(query[at]);
            if (length > 63 || at + 1 + length >= query.size())
                return {};
            name += (name.isEmpty() ? QByteArray() : QByteArray(".")) + query.mid(at + 1, length);
            at += 1 + length;
        }
        if (at + 5 > query.size())
            return {};
        const QByteArray question = query.mid(12, at + 5 - 12);
        const int type = (quint8(query[at + 1]) << 8) | quint8(query[at + 2]);
        const QByteArray lower = name.toLower();
        const bool ending = !lower.contains('.');   // every top-level zone is delegated from the root
        const bool registered = ending || !m_registry.isFree(lower);
        const bool delegated = ending
            || (registered && m_registry.droppingPhase(lower).isEmpty()
                && stableHash("held:" + lower) % 100000u >= quint32(m_options.heldRatio * 100000.0));

        int rcode = 0;
        bool truncated = false;
        QByteArray answers;
        QByteArray authority;
        int answerCount = 0;
        int authorityCount = 0;
        const QByteArray self("\xc0\x0c", 2);   // the name of the question
        ++m_questions;
        if (m_options.dnsSilentAfter > 0 && m_questions > quint64(m_options.dnsSilentAfter))
            return {};   // gone silent
        if (m_silentNames.size() < m_options.dnsSilentNames)
            m_silentNames.insert(lower);
        if (m_silentNames.contains(lower))
            return {};   // a name this server never answers
        const bool lame = registered && !ending
            && stableHash("lame:" + lower) % 100000u < quint32(m_options.servfailRatio * 100000.0);
        if (m_options.dnsRefuseAll || m_limit.exceeded()) {
            rcode = 5;   // REFUSED
        } else if (m_options.dnsDenyAll) {
            rcode = 3;   // NXDOMAIN
        } else if (m_options.dnsEmptyAll) {
            // NOERROR and nothing else
        } else if (lame || (m_options.servfailEvery > 0 && m_questions % quint64(m_options.servfailEvery) == 0)) {
            rcode = 2;   // SERVFAIL
        } else if (m_options.dnsFabricate && type == TypeNs) {
            for (const char *server : {"\x03ns1", "\x03ns2"})
                answers += record(self, TypeNs, QByteArray(server) + encodedName("parking.test"));
            answerCount = 2;
        } else if (m_options.hijack && (type == TypeA || !delegated)) {
            // An address for anything, and the parent zone's servers: no delegation of the name.
            answers = record(self, TypeA, QByteArray("\x0a\x00\x00\x01", 4));
            answerCount = 1;
            authority =
                record(encodedName(lower.mid(lower.lastIndexOf('.') + 1)), TypeNs, encodedName("a.gtld-servers.net"));
            authorityCount = 1;
        } else if (!delegated) {
            rcode = 3;   // NXDOMAIN
        } else if (type == TypeNs && udp && m_options.dnsTruncate) {
            truncated = true;
        } else if (type == TypeNs) {
            for (const char *server : {"\x03ns1", "\x03ns2"})
                answers += record(self, TypeNs, QByteArray(server) + self);
            answerCount = 2;
        }
        QByteArray asked = question;
        if (m_options.dnsMismatch)
            asked = encodedName("other-" + lower) + question.right(4);
        const int flags = 0x8000 | (quint8(query[2]) & 0x01) << 8 | 0x0080 | (truncated ? 0x0200 : 0) | rcode;
        return query.left(2) + u16(flags) + u16(1) + u16(answerCount) + u16(authorityCount) + u16(0) + asked + answers
            + authority;
    }

    const Options &m_options;
    const WhoisTestServer &m_registry;
    std::unique_ptr<QUdpSocket> m_udp;
    std::unique_ptr<QTcpServer> m_tcp;
    RateLimit m_limit {m_options.dnsLimitPerSecond};
    quint64 m_questions = 0;
    quint64 m_udpQuestions = 0;
    QSet<QByteArray> m_silentNames;
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
    const QCommandLineOption refuseName(QStringLiteral("refuse-name"),
        QStringLiteral(
            "Queries for NAME always get the limit notice, or a 503 over RDAP (may be given more than once)."),
        QStringLiteral("NAME"));
    const QCommandLineOption refuseAll(QStringLiteral("refuse-all"),
        QStringLiteral("Every query is over the limit: a limit notice or an empty close, or a 429 over RDAP."));
    const QCommandLineOption rdapPort(QStringLiteral("rdap-port"),
        QStringLiteral("Also answer RDAP on this port; 0 picks a free one."), QStringLiteral("N"));
    const QCommandLineOption rdapCert(QStringLiteral("rdap-cert"),
        QStringLiteral("Answer RDAP over TLS with this PEM certificate (and --rdap-key)."), QStringLiteral("FILE"));
    const QCommandLineOption rdapKey(
        QStringLiteral("rdap-key"), QStringLiteral("The PEM key of --rdap-cert."), QStringLiteral("FILE"));
    const QCommandLineOption retryAfter(QStringLiteral("retry-after"),
        QStringLiteral("The Retry-After of an RDAP 429, sent as given (default 1)."), QStringLiteral("S"));
    const QCommandLineOption reservedName(QStringLiteral("reserved-name"),
        QStringLiteral("RDAP answers 404 \"reserved by the registry\" for NAME (may be given more than once)."),
        QStringLiteral("NAME"));
    const QCommandLineOption html404(
        QStringLiteral("html-404"), QStringLiteral("RDAP answers a free name with a web page, not JSON."));
    const QCommandLineOption otherLdhName(
        QStringLiteral("other-ldh-name"), QStringLiteral("RDAP records name another name than the one asked."));
    const QCommandLineOption redirectTo(QStringLiteral("redirect-to"),
        QStringLiteral("RDAP redirects every request once, to BASE + \"redirected\" + its path; {port} in BASE is "
                       "the RDAP port."),
        QStringLiteral("BASE"));
    const QCommandLineOption hostile(QStringLiteral("hostile"),
        QStringLiteral("Names tell the reply: over WHOIS someone-else*, remark*, two-names*, escape*; over RDAP "
                       "empty-json-404*, html-rdap-404*, error-500-404*, cut-404*, rights-notice*, endless*, "
                       "deflate-404*, deflate-bomb*, "
                       "reserved.com, blocked.com."));
    const QCommandLineOption dnsPort(QStringLiteral("dns-port"),
        QStringLiteral("Answer DNS over UDP and TCP on this port (0: any): NS records for registered names, NXDOMAIN "
                       "for free ones."),
        QStringLiteral("N"));
    const QCommandLineOption heldRatio(QStringLiteral("held-ratio"),
        QStringLiteral("Share of the registered names absent from the zone (held, or without name servers)."),
        QStringLiteral("R"));
    const QCommandLineOption dnsLimit(QStringLiteral("dns-limit-per-s"),
        QStringLiteral("Answer DNS questions beyond N a second with REFUSED."), QStringLiteral("N"));
    const QCommandLineOption hijack(QStringLiteral("hijack"),
        QStringLiteral("DNS answers every A question with an address, and NS questions about names not in the zone "
                       "with an address and the servers of the parent zone."));
    const QCommandLineOption dnsTruncate(
        QStringLiteral("dns-truncate"), QStringLiteral("Over UDP, delegations come truncated; TCP brings them whole."));
    const QCommandLineOption dnsMismatch(
        QStringLiteral("dns-mismatch"), QStringLiteral("DNS answers name another question than the one asked."));
    const QCommandLineOption dnsSlowFirst(QStringLiteral("dns-slow-first"),
        QStringLiteral("Over UDP, the first N DNS questions are answered 300 ms late, after later ones."),
        QStringLiteral("N"));
    const QCommandLineOption dnsLatency(QStringLiteral("dns-latency-ms"),
        QStringLiteral("Delay each DNS answer over UDP by MS."), QStringLiteral("MS"));
    const QCommandLineOption replay(QStringLiteral("replay"),
        QStringLiteral("Answer the names of captured answers in DIR with them: whois/NAME is a WHOIS reply, "
                       "rdap/NAME.http an HTTP answer (status line, headers, blank line, body)."),
        QStringLiteral("DIR"));
    const QCommandLineOption servfailRatio(QStringLiteral("dns-servfail-ratio"),
        QStringLiteral("Share of the registered names whose delegation is lame: SERVFAIL whenever asked."),
        QStringLiteral("R"));
    const QCommandLineOption servfailEvery(QStringLiteral("dns-servfail-every"),
        QStringLiteral("Every K-th DNS question gets SERVFAIL."), QStringLiteral("K"));
    const QCommandLineOption dnsSilentNames(QStringLiteral("dns-silent-names"),
        QStringLiteral("Over DNS, never answer the first N names asked about."), QStringLiteral("N"));
    const QCommandLineOption dnsRefuseAll(
        QStringLiteral("dns-refuse-all"), QStringLiteral("Over DNS, answer every question with REFUSED."));
    const QCommandLineOption dnsSilentAfter(
        QStringLiteral("dns-silent-after"), QStringLiteral("DNS answers N questions, then none."), QStringLiteral("N"));
    const QCommandLineOption dnsChaos(
        QStringLiteral("dns-class-ch"), QStringLiteral("DNS records come in class CH instead of IN."));
    const QCommandLineOption dnsFabricate(QStringLiteral("dns-fabricate"),
        QStringLiteral("DNS answers every NS question with name servers, as a resolver that makes them up."));
    const QCommandLineOption droppingRatio(QStringLiteral("dropping-ratio"),
        QStringLiteral("Share of the registered names in redemption or pending delete (half each), out of the zone."),
        QStringLiteral("R"));
    const QCommandLineOption dropping(QStringLiteral("dropping"),
        QStringLiteral("Names on their way out, one per line with its phase: NAME redemptionPeriod|pendingDelete."),
        QStringLiteral("FILE"));
    const QCommandLineOption holdFile(QStringLiteral("hold-file"),
        QStringLiteral("While FILE exists, replies (WHOIS and RDAP) wait; they go once it is removed."),
        QStringLiteral("FILE"));
    const QCommandLineOption holdAfter(QStringLiteral("hold-after"),
        QStringLiteral("With --hold-file: the first N queries are answered as usual."), QStringLiteral("N"));
    const QCommandLineOption dnsDenyAll(QStringLiteral("dns-nxdomain-all"),
        QStringLiteral("Over DNS, answer every question with NXDOMAIN, the endings' own included."));
    const QCommandLineOption dnsEmptyAll(QStringLiteral("dns-nodata-all"),
        QStringLiteral("Over DNS, answer every question with NOERROR and no records (NODATA)."));
    const QCommandLineOption freeAfter(QStringLiteral("free-after"),
        QStringLiteral("After N queries the registry (WHOIS and RDAP) answers every name free, as a service gone "
                       "wrong; DNS is not changed."),
        QStringLiteral("N"));
    parser.addOptions({droppingRatio, dropping, holdAfter, holdFile, dnsDenyAll, dnsEmptyAll, freeAfter});
    parser.addOptions({dnsPort, heldRatio, dnsLimit, hijack, dnsTruncate, dnsMismatch, dnsLatency, dnsSlowFirst, replay,
        servfailRatio, servfailEvery, dnsSilentAfter, dnsSilentNames, dnsRefuseAll, dnsChaos, dnsFabricate});
    parser.addOptions({port, registered, freeRatio, latency, slowEvery, slowMs, silentEvery, silentName, emptyEvery,
        noticeEvery, replyBytes, limit, stats, log, refuseName, refuseAll, rdapPort, rdapCert, rdapKey, retryAfter,
        reservedName, html404, otherLdhName, redirectTo, hostile});
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
    if (parser.isSet(retryAfter))
        options.retryAfter = parser.value(retryAfter).toLatin1();
    const qint64 rdapPortNumber = number(rdapPort, &ok);
    all &= ok && rdapPortNumber >= 0 && rdapPortNumber <= 65535;
    if (parser.isSet(freeRatio))
        options.freeRatio = parser.value(freeRatio).toDouble(&ok), all &= ok;
    if (parser.isSet(droppingRatio))
        options.droppingRatio = parser.value(droppingRatio).toDouble(&ok), all &= ok;
    if (parser.isSet(heldRatio))
        options.heldRatio = parser.value(heldRatio).toDouble(&ok), all &= ok;
    const qint64 dnsPortNumber = number(dnsPort, &ok);
    all &= ok && dnsPortNumber >= 0 && dnsPortNumber <= 65535;
    options.dnsLimitPerSecond = int(number(dnsLimit, &ok));
    all &= ok;
    options.dnsLatencyMs = int(number(dnsLatency, &ok));
    all &= ok;
    options.dnsSlowFirst = int(number(dnsSlowFirst, &ok));
    all &= ok;
    if (parser.isSet(servfailRatio))
        options.servfailRatio = parser.value(servfailRatio).toDouble(&ok), all &= ok;
    options.servfailEvery = int(number(servfailEvery, &ok));
    all &= ok;
    options.dnsSilentAfter = int(number(dnsSilentAfter, &ok));
    all &= ok;
    options.dnsSilentNames = int(number(dnsSilentNames, &ok));
    all &= ok;
    options.holdAfter = quint64(number(holdAfter, &ok));
    all &= ok;
    options.freeAfter = quint64(number(freeAfter, &ok));
    all &= ok;
    options.holdFile = parser.value(holdFile);
    options.dnsRefuseAll = parser.isSet(dnsRefuseAll);
    options.dnsChaos = parser.isSet(dnsChaos);
    options.dnsFabricate = parser.isSet(dnsFabricate);
    options.dnsDenyAll = parser.isSet(dnsDenyAll);
    options.dnsEmptyAll = parser.isSet(dnsEmptyAll);
    options.hijack = parser.isSet(hijack);
    options.dnsTruncate = parser.isSet(dnsTruncate);
    options.dnsMismatch = parser.isSet(dnsMismatch);
    if (!all)
        return fail(QStringLiteral("every number option takes a number; see --help"));
    for (const QString &name : parser.values(silentName))
        options.silentNames.insert(name.toLower().toLatin1());
    for (const QString &name : parser.values(refuseName))
        options.refusedNames.insert(name.toLower().toLatin1());
    for (const QString &name : parser.values(reservedName))
        options.reservedNames.insert(name.toLower().toLatin1());
    options.html404 = parser.isSet(html404);
    options.refuseAll = parser.isSet(refuseAll);
    options.otherLdhName = parser.isSet(otherLdhName);
    options.redirectTo = parser.value(redirectTo).toLatin1();
    options.hostile = parser.isSet(hostile);
    options.replay = parser.value(replay);
    std::optional<QSslConfiguration> tls;
    if (parser.isSet(rdapCert)) {
        QFile cert(parser.value(rdapCert));
        QFile key(parser.value(rdapKey));
        if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read the certificate or its key"));
        tls = QSslConfiguration::defaultConfiguration();
        tls->setLocalCertificate(QSslCertificate(cert.readAll()));
        tls->setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
        tls->setPeerVerifyMode(QSslSocket::VerifyNone);
    }
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

    if (parser.isSet(dropping)) {
        QFile file(parser.value(dropping));
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("cannot read %1").arg(file.fileName()));
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() == 2)
                options.dropping.insert(words[0].toLower(), words[1]);
        }
    }

    WhoisTestServer server(options, parser.value(log));
    if (!server.listen(quint16(portNumber)))
        return fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(portNumber));
    if (parser.isSet(stats))
        server.writeStats(parser.value(stats));
    std::printf("listening on 127.0.0.1:%u\n", unsigned(server.port()));
    if (parser.isSet(rdapPort)) {
        if (!server.listenRdap(quint16(rdapPortNumber), tls))
            return fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(rdapPortNumber));
        std::printf("rdap on %s://127.0.0.1:%u/\n", tls ? "https" : "http", unsigned(server.rdapPort()));
    }
    DnsTestServer dns(options, server);
    if (parser.isSet(dnsPort)) {
        if (!dns.listen(quint16(dnsPortNumber)))
            return fail(QStringLiteral("cannot listen for DNS on 127.0.0.1:%1").arg(dnsPortNumber));
        std::printf("dns on 127.0.0.1:%u\n", unsigned(dns.port()));
    }
    std::fflush(stdout);
    return app.exec();
}
