#include "engine/Rdap.h"

#include <QDateTime>
#include <QTest>

using Whois::Verdict;

class TestRdap : public QObject
{
    Q_OBJECT

private slots:
    // Faults caught: a 404 that is not the registry's own answer, or a record of another name,
    // taken for a verdict; a reserved name taken for free.
    void replyAnswer_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("fromHostAsked");
        QTest::addColumn<Verdict>("verdict");
        QTest::addColumn<bool>("reserved");
        const QByteArray rdap = "application/rdap+json";
        const QByteArray notFound = R"({"errorCode":404,"title":"Not Found"})";
        const QByteArray record = R"({"objectClassName":"domain","ldhName":"EXAMPLE.COM"})";
        QTest::addRow("404 of the service") << 404 << rdap << notFound << true << Verdict::Free << false;
        QTest::addRow("404 as JSON with a charset")
            << 404 << QByteArray("application/json; charset=utf-8") << notFound << true << Verdict::Free << false;
        QTest::addRow("404 as a web page")
            << 404 << QByteArray("text/html") << notFound << true << Verdict::None << false;
        QTest::addRow("404 without a type") << 404 << QByteArray() << notFound << true << Verdict::None << false;
        QTest::addRow("404 from another host") << 404 << rdap << notFound << false << Verdict::None << false;
        QTest::addRow("404 of a reserved name")
            << 404 << rdap << QByteArray(R"({"errorCode":404,"description":["This name is Reserved."]})") << true
            << Verdict::None << true;
        QTest::addRow("200 of a blocked name")
            << 200 << rdap << QByteArray(R"({"objectClassName":"domain","ldhName":"example.com","remarks":"blocked"})")
            << true << Verdict::None << true;
        QTest::addRow("200 record, letter case aside") << 200 << rdap << record << true << Verdict::Registered << false;
        QTest::addRow("200 record from another host") << 200 << rdap << record << false << Verdict::None << false;
        QTest::addRow("200 record of another name")
            << 200 << rdap << QByteArray(R"({"objectClassName":"domain","ldhName":"EXAMPLE.NET"})") << true
            << Verdict::None << false;
        QTest::addRow("200 not a domain")
            << 200 << rdap << QByteArray(R"({"objectClassName":"entity","ldhName":"EXAMPLE.COM"})") << true
            << Verdict::None << false;
        QTest::addRow("200 not JSON") << 200 << rdap << QByteArray("<html>") << true << Verdict::None << false;
        QTest::addRow("429") << 429 << rdap << QByteArray() << true << Verdict::None << false;
        QTest::addRow("503") << 503 << rdap << notFound << true << Verdict::None << false;
        QTest::addRow("302") << 302 << rdap << notFound << true << Verdict::None << false;
    }
    void replyAnswer()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, body);
        QFETCH(bool, fromHostAsked);
        QFETCH(Verdict, verdict);
        QFETCH(bool, reserved);
        const Rdap::Answer answer = Rdap::replyAnswer(status, type, body, "example.com", fromHostAsked);
        QCOMPARE(answer.verdict, verdict);
        QCOMPARE(answer.reserved, reserved);
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

    void retryAfter()
    {
        QCOMPARE(Rdap::retryAfterMs("3"), 3000);
        QCOMPARE(Rdap::retryAfterMs(" 0 "), 0);
        QCOMPARE(Rdap::retryAfterMs(""), -1);
        QCOMPARE(Rdap::retryAfterMs("-5"), -1);
        QCOMPARE(Rdap::retryAfterMs("soon"), -1);
        const QByteArray inAMinute =
            QDateTime::currentDateTimeUtc().addSecs(60).toString(Qt::RFC2822Date).toLatin1().replace("+0000", "GMT");
        const qint64 wait = Rdap::retryAfterMs(inAMinute);
        QVERIFY2(wait > 55000 && wait <= 60000, qPrintable(QString::number(wait)));
    }
};

QTEST_GUILESS_MAIN(TestRdap)
#include "TestRdap.moc"
