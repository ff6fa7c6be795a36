#include "TestSupport.h"
#include "engine/Rdap.h"
#include "engine/RdapServices.h"
#include "engine/ServiceDirectory.h"

#include <QDateTime>
#include <QTest>

class TestRdap : public QObject
{
    Q_OBJECT

private slots:
    // Which service answers which ending: the bootstrap file, the override file over it, the
    // setting over both, the longest ending first. A file that cannot be read is told, and its
    // endings have no service; nothing crashes. Faults caught, by row: an http address taken over
    // the https one; the override not winning; "uk" asked for a .co.uk name; a broken file taken
    // silently, or its endings kept; the setting not winning.
    void serviceFiles_data()
    {
        QTest::addColumn<QByteArray>("bootstrap");
        QTest::addColumn<QByteArray>("overrides");
        QTest::addColumn<QString>("rdapBase");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("asked");     // empty: no service for it
        QTest::addColumn<QString>("problem");   // in the problems told
        const QByteArray org =
            "{\"publication\":\"2024-02-26\",\"services\":[[[\"org\"],[\"http://a.test/x\",\"https://a.test/x/\"]]]}";
        QTest::addRow("bootstrap, https first") << org << QByteArray() << ""
                                                << "x.org"
                                                << "https://a.test/x/domain/x.org"
                                                << "";
        QTest::addRow("override wins") << org << QByteArray("# mine\norg  https://b.test/\n") << ""
                                       << "X.org"
                                       << "https://b.test/domain/x.org"
                                       << "";
        QTest::addRow("longest ending") << QByteArray(
            "{\"services\":[[[\"uk\"],[\"https://u.test/\"]],[[\"co.uk\"],[\"https://c.test/\"]]]}")
                                        << QByteArray() << ""
                                        << "x.co.uk"
                                        << "https://c.test/domain/x.co.uk"
                                        << "";
        QTest::addRow("empty bootstrap") << QByteArray() << QByteArray() << ""
                                         << "x.org"
                                         << ""
                                         << "dns.json cannot be used";
        QTest::addRow("bootstrap without services")
            << QByteArray("{\"services\":5}") << QByteArray("io https://i.test/") << ""
            << "x.org"
            << ""
            << "no list of services";
        QTest::addRow("malformed override") << org << QByteArray("org\n") << ""
                                            << "x.org"
                                            << "https://a.test/x/domain/x.org"
                                            << "line 1 is not";
        // Fault caught: the lines before a malformed one taken, although the file is not used.
        QTest::addRow("malformed override after a good line") << org << QByteArray("org https://b.test/\norg\n") << ""
                                                              << "x.org"
                                                              << "https://a.test/x/domain/x.org"
                                                              << "line 2 is not";
        // Fault caught: a file past the size read told as a broken one ("unterminated string").
        QTest::addRow("bootstrap past 16 MB") << org + QByteArray(17 << 20, ' ') << QByteArray() << ""
                                              << "x.org"
                                              << ""
                                              << "larger than 16 MB";
        QTest::addRow("setting wins") << org << QByteArray("org https://b.test/") << "org=https://r.test/"
                                      << "x.org"
                                      << "https://r.test/domain/x.org"
                                      << "";
    }
    void serviceFiles()
    {
        QFETCH(QByteArray, bootstrap);
        QFETCH(QByteArray, overrides);
        QFETCH(QString, rdapBase);
        QFETCH(QString, name);
        QFETCH(QString, asked);
        QFETCH(QString, problem);
        TestFolders folders;   // the program folder's copies are read before the shipped ones
        writeBytes(folders.file(Rdap::BootstrapFileName), bootstrap);
        writeBytes(folders.file(Rdap::OverridesFileName), overrides);
        const Rdap::Services services = Rdap::loadServices();
        QVERIFY2(problem.isEmpty() ? services.problems.isEmpty() : services.problems.join(' ').contains(problem),
            qPrintable(services.problems.join(' ')));
        Rdap::Bases bases = rdapBase.isEmpty() ? Rdap::Bases() : *Rdap::Bases::parse(rdapBase);
        bases.known = services.byEnding;
        QCOMPARE(bases.requestFor(name).toString(), asked);
    }

    // Faults caught: a 404 that is not the registry's own whole answer (wrong type, empty, HTML,
    // cut off, another error code, through another origin) taken for free; a record of another name
    // taken for registered; "reserved" read from notices, remarks or the name itself.
    void replyAnswer_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<bool>("fromHostAsked");
        QTest::addColumn<QString>("name");
        QTest::addColumn<Verdict>("verdict");
        QTest::addColumn<bool>("reserved");
        const QByteArray rdap = "application/rdap+json";
        const QByteArray notFound = "{\"errorCode\":404,\"title\":\"Not Found\"}";
        const QByteArray record = "{\"objectClassName\":\"domain\",\"ldhName\":\"EXAMPLE.COM\"}";
        const QString name = "example.com";
        QTest::addRow("404 of the service")
            << 404 << rdap << notFound << true << true << name << Verdict::Free << false;
        QTest::addRow("404 as JSON with a charset") << 404 << QByteArray("application/json; charset=utf-8") << notFound
                                                    << true << true << name << Verdict::Free << false;
        QTest::addRow("404 without an error code")
            << 404 << rdap << QByteArray("{}") << true << true << name << Verdict::Free << false;
        // The .com and .net registry answers a free name with the status and the RDAP type alone.
        QTest::addRow("404 RDAP type, empty body")
            << 404 << rdap << QByteArray() << true << true << name << Verdict::Free << false;
        QTest::addRow("404 RDAP type with a charset, empty body")
            << 404 << QByteArray("application/rdap+json; charset=utf-8") << QByteArray() << true << true << name
            << Verdict::Free << false;
        QTest::addRow("404 RDAP type, empty, cut off")
            << 404 << rdap << QByteArray() << false << true << name << Verdict::None << false;
        QTest::addRow("404 RDAP type, empty, another host")
            << 404 << rdap << QByteArray() << true << false << name << Verdict::None << false;
        QTest::addRow("404 JSON, empty body")
            << 404 << QByteArray("application/json") << QByteArray() << true << true << name << Verdict::None << false;
        QTest::addRow("404 HTML type, empty body")
            << 404 << QByteArray("text/html") << QByteArray() << true << true << name << Verdict::None << false;
        QTest::addRow("404 no type, empty body")
            << 404 << QByteArray() << QByteArray() << true << true << name << Verdict::None << false;
        QTest::addRow("404 RDAP type, HTML body") << 404 << rdap << QByteArray("<html><body>Not Found</body></html>")
                                                  << true << true << name << Verdict::None << false;
        QTest::addRow("404 JSON array") << 404 << rdap << QByteArray("[]") << true << true << name << Verdict::None
                                        << false;
        QTest::addRow("404 cut off") << 404 << rdap << notFound.left(5) << false << true << name << Verdict::None
                                     << false;
        QTest::addRow("404 whole JSON, connection cut")
            << 404 << rdap << notFound << false << true << name << Verdict::None << false;
        QTest::addRow("404 saying error 500")
            << 404 << rdap << QByteArray("{\"errorCode\":500}") << true << true << name << Verdict::None << false;
        QTest::addRow("404 as a web page")
            << 404 << QByteArray("text/html") << notFound << true << true << name << Verdict::None << false;
        QTest::addRow("404 without a type")
            << 404 << QByteArray() << notFound << true << true << name << Verdict::None << false;
        QTest::addRow("404 from another host")
            << 404 << rdap << notFound << true << false << name << Verdict::None << false;
        QTest::addRow("404 of a reserved name")
            << 404 << rdap << QByteArray("{\"errorCode\":404,\"description\":[\"This name is Reserved.\"]}") << true
            << true << name << Verdict::None << true;
        QTest::addRow("404 titled blocked") << 404 << rdap << QByteArray("{\"errorCode\":404,\"title\":\"Blocked\"}")
                                            << true << true << name << Verdict::None << true;
        QTest::addRow("404 with a rights notice")
            << 404 << rdap
            << QByteArray(
                   "{\"errorCode\":404,\"notices\":[{\"title\":\"Terms\",\"description\":[\"All rights reserved.\"]}]}")
            << true << true << name << Verdict::Free << false;
        QTest::addRow("404 naming reserved.com")
            << 404 << rdap << QByteArray("{\"errorCode\":404,\"description\":[\"reserved.com\"]}") << true << true
            << "reserved.com" << Verdict::Free << false;
        QTest::addRow("200 with a blocked status")
            << 200 << rdap
            << QByteArray("{\"objectClassName\":\"domain\",\"ldhName\":\"example.com\",\"status\":[\"blocked\"]}")
            << true << true << name << Verdict::None << true;
        QTest::addRow("200 of blocked.com")
            << 200 << rdap
            << QByteArray("{\"objectClassName\":\"domain\",\"ldhName\":\"BLOCKED.COM\",\"status\":[\"active\"],"
                          "\"remarks\":[{\"description\":[\"reserved for the owner\"]}]}")
            << true << true << "blocked.com" << Verdict::Registered << false;
        QTest::addRow("200 record, letter case aside")
            << 200 << rdap << record << true << true << name << Verdict::Registered << false;
        QTest::addRow("200 record cut off") << 200 << rdap << record << false << true << name << Verdict::None << false;
        QTest::addRow("200 record from another host")
            << 200 << rdap << record << true << false << name << Verdict::None << false;
        QTest::addRow("200 record of another name")
            << 200 << rdap << QByteArray("{\"objectClassName\":\"domain\",\"ldhName\":\"EXAMPLE.NET\"}") << true << true
            << name << Verdict::None << false;
        QTest::addRow("200 not a domain")
            << 200 << rdap << QByteArray("{\"objectClassName\":\"entity\",\"ldhName\":\"EXAMPLE.COM\"}") << true << true
            << name << Verdict::None << false;
        QTest::addRow("200 not JSON") << 200 << rdap << QByteArray("<html>") << true << true << name << Verdict::None
                                      << false;
        QTest::addRow("429") << 429 << rdap << QByteArray() << true << true << name << Verdict::None << false;
        QTest::addRow("503") << 503 << rdap << notFound << true << true << name << Verdict::None << false;
        QTest::addRow("302") << 302 << rdap << notFound << true << true << name << Verdict::None << false;
    }
    void replyAnswer()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, body);
        QFETCH(bool, complete);
        QFETCH(bool, fromHostAsked);
        QFETCH(QString, name);
        QFETCH(Verdict, verdict);
        QFETCH(bool, reserved);
        const LookupAnswer answer = Rdap::replyAnswer({status, type, body, complete, fromHostAsked}, name);
        QCOMPARE(answer.verdict(), verdict);
        QCOMPARE(answer.reserved, reserved);
    }

    // Only what a service sends when it is asked too fast slows the pace. Faults caught: a 400 or a
    // 500 taken for throttling (one odd name drags the run), a 429 or 503 not.
    void throttling_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("throttled");
        QTest::addRow("429") << 429 << true;
        QTest::addRow("503") << 503 << true;
        QTest::addRow("400") << 400 << false;
        QTest::addRow("500") << 500 << false;
        QTest::addRow("403") << 403 << false;
    }
    void throttling()
    {
        QFETCH(int, status);
        QFETCH(bool, throttled);
        const LookupAnswer answer =
            Rdap::replyAnswer({status, "application/rdap+json", "{}", true, true}, QStringLiteral("example.com"));
        QCOMPARE(answer.kind, LookupAnswer::Kind::NoVerdict);
        QCOMPARE(answer.throttled, throttled);
    }

    // Faults caught: an explicit default port taken for another origin, or a change of host or of
    // port alone let through.
    void sameOrigin_data()
    {
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("same");
        QTest::addRow("same") << "https://rdap.test/x" << true;
        QTest::addRow("default port written out") << "https://rdap.test:443/y" << true;
        QTest::addRow("host in capitals") << "https://RDAP.test/" << true;
        QTest::addRow("other host, same port") << "https://other.test/x" << false;
        QTest::addRow("same host, other port") << "https://rdap.test:8443/x" << false;
        QTest::addRow("plain HTTP") << "http://rdap.test/x" << false;
        QTest::addRow("port 80 over HTTPS") << "https://rdap.test:80/x" << false;
    }
    void sameOrigin()
    {
        QFETCH(QString, to);
        QFETCH(bool, same);
        QCOMPARE(Rdap::sameOrigin(QUrl("https://rdap.test/com/v1/domain/a.com"), QUrl(to)), same);
    }

    void requestFor_data()
    {
        QTest::addColumn<QString>("bases");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("request");
        const QString both = "com=https://rdap.test/com/v1/ net=https://rdap.test/net/v1";
        QTest::addRow("per ending") << both << "example.com"
                                    << "https://rdap.test/com/v1/domain/example.com";
        QTest::addRow("base without a last slash") << both << "Example.NET"
                                                   << "https://rdap.test/net/v1/domain/example.net";
        QTest::addRow("ending without a base") << "com=https://rdap.test/"
                                               << "a.net"
                                               << "";
        QTest::addRow("one base for all") << "http://127.0.0.1:8080/x"
                                          << "a.net"
                                          << "http://127.0.0.1:8080/x/domain/a.net";
        // Fault caught: a URL given alone asked about endings its service does not run.
        QTest::addRow("one base is .com's and .net's") << "http://127.0.0.1:8080/x"
                                                       << "a.io"
                                                       << "";
        QTest::addRow("one base beside an ending's") << "http://127.0.0.1:8080/x io=https://rdap.test/io/"
                                                     << "a.io"
                                                     << "https://rdap.test/io/domain/a.io";
        QTest::addRow("not http") << "ftp://rdap.test/"
                                  << "a.com"
                                  << "invalid";
        QTest::addRow("no host") << "com=https:///v1/"
                                 << "a.com"
                                 << "invalid";
        QTest::addRow("empty") << ""
                               << "a.com"
                               << "invalid";
    }
    void requestFor()
    {
        QFETCH(QString, bases);
        QFETCH(QString, name);
        QFETCH(QString, request);
        const auto parsed = Rdap::Bases::parse(bases);
        QCOMPARE(parsed.has_value(), request != "invalid");
        if (parsed)
            QCOMPARE(parsed->requestFor(name).toString(), request);
    }

    // Which pool asks a name, by which protocol. Faults caught, by row: .com asked by RDAP under a
    // WHOIS run; an ending without a service routed to the .com/.net pool (and its 404 read as
    // free) or counted as served; two endings of one host in two pools (each at full pace); the
    // path or a port left out telling two services apart wrongly.
    void serviceDirectory_data()
    {
        QTest::addColumn<QString>("bases");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");   // "-": no service answers it
        QTest::addColumn<int>("protocol");
        const int whois = int(Rdap::Protocol::Whois);
        const int rdap = int(Rdap::Protocol::Rdap);
        const QString bases = "http://127.0.0.1:8080/x io=https://rdap.test/io/ ai=https://rdap.test/ai/v1/ "
                              "dev=https://rdap.test:8443/dev/";
        QTest::addRow(".com: the run's protocol") << bases << "a.com"
                                                  << "" << whois;
        QTest::addRow(".net: the run's protocol") << bases << "A.NET"
                                                  << "" << whois;
        QTest::addRow("an ending without a service") << bases << "a.zz"
                                                     << "-" << rdap;
        QTest::addRow("an ending of its own") << bases << "a.io"
                                              << "https://rdap.test" << rdap;
        QTest::addRow("another ending of that host") << bases << "a.ai"
                                                     << "https://rdap.test" << rdap;
        QTest::addRow("that host on another port") << bases << "a.dev"
                                                   << "https://rdap.test:8443" << rdap;
    }
    void serviceDirectory()
    {
        QFETCH(QString, bases);
        QFETCH(QString, name);
        QFETCH(QString, key);
        QFETCH(int, protocol);
        const ServiceDirectory directory {{}, Rdap::Protocol::Whois, *Rdap::Bases::parse(bases)};
        const NameService service = directory.serviceFor(name);
        QCOMPARE(service.isServed(), key != "-");
        QCOMPARE(directory.serves(name), key != "-");
        QCOMPARE(service.key, key == "-" ? ServiceDirectory::UnservedKey + "zz" : key);
        QCOMPARE(int(service.protocol), protocol);
    }

    void retryAfter()
    {
        QCOMPARE(Rdap::retryAfterMs("3"), 3000);
        QCOMPARE(Rdap::retryAfterMs(" 0 "), 0);
        QCOMPARE(Rdap::retryAfterMs(""), -1);
        QCOMPARE(Rdap::retryAfterMs("-5"), -1);
        QCOMPARE(Rdap::retryAfterMs("soon"), -1);
        // A number of any length is a long wait, never an overflow nor "none".
        QCOMPARE(Rdap::retryAfterMs("100000000000000000000"), Rdap::MaxRetryAfterMs);
        QCOMPARE(Rdap::retryAfterMs("9223372036854775807"), Rdap::MaxRetryAfterMs);
        QCOMPARE(Rdap::retryAfterMs("3601"), 3601000);
        const QByteArray inAMinute =
            QDateTime::currentDateTimeUtc().addSecs(60).toString(Qt::RFC2822Date).toLatin1().replace("+0000", "GMT");
        const qint64 wait = Rdap::retryAfterMs(inAMinute);
        QVERIFY2(wait > 55000 && wait <= 60000, qPrintable(QString::number(wait)));
    }
};

QTEST_GUILESS_MAIN(TestRdap)
#include "TestRdap.moc"
