#include "engine/Whois.h"

#include <QTest>

class TestWhois : public QObject
{
    Q_OBJECT

private slots:
    void prepareLookupName_data()
    {
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<QString>("expected");
        QTest::addRow("text after the first colon") << "xx:abc"
                                                    << "abc.com";
        QTest::addRow("search operator") << "site:shop.net"
                                         << "shop.net";
        QTest::addRow(".net in capitals") << "ABC.NET"
                                          << "ABC.NET";
        QTest::addRow("other ending") << "abc.org"
                                      << "abc.org.com";
        QTest::addRow(".com inside") << "my.company"
                                     << "my.company";
        QTest::addRow("decoded and cleaned") << "Best%20Buy"
                                             << "BestBuy.com";
        QTest::addRow("line break decoded") << "ab%0D%0Acd"
                                            << "abcd.com";
        QTest::addRow("raw control characters") << QString("a\tb\x01"
                                                           "c")
                                                << "abc.com";
        QTest::addRow("empty") << ""
                               << ".com";
        QTest::addRow("letters outside ASCII: IDNA") << QString::fromUtf8("日本語.com") << "xn--wgv71a119e.com";
        QTest::addRow("Latin-1 letters: IDNA") << QString::fromLatin1("B\xfc"
                                                                      "cher")
                                               << "xn--bcher-kva.com";
        QTest::addRow("no IDNA form: nothing to ask") << QString::fromUtf8("\u200b\u200b.com") << "";
    }
    void prepareLookupName()
    {
        QFETCH(QString, candidate);
        QFETCH(QString, expected);
        QCOMPARE(Whois::PrepareLookupName(candidate), expected);
        QCOMPARE(Whois::Request(expected), expected.toLatin1() + "\r\n");
        if (expected.startsWith("xn--"))   // the reader's form comes back for the verdict line
            QVERIFY(!Whois::UnicodeForm(expected).startsWith("xn--"));
    }

    void verdict_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("marker");
        QTest::addColumn<int>("verdict");
        const int free = int(Whois::Verdict::Free), registered = int(Whois::Verdict::Registered),
                  none = int(Whois::Verdict::None);
        const QByteArray marker("Domain Name:");
        QTest::addRow("registry wording") << QByteArray("No match for \"ABC.COM\".\r\n") << marker << free;
        QTest::addRow("capitals") << QByteArray("NO MATCH FOR abc.com") << marker << free;
        QTest::addRow("anywhere") << QByteArray("notice\r\n no match for x") << marker << free;
        QTest::addRow("record") << QByteArray("   Domain Name: ABC.COM\r\n") << marker << registered;
        QTest::addRow("record in other case") << QByteArray("domain name: abc.com") << marker << registered;
        QTest::addRow("empty close") << QByteArray() << marker << none;
        QTest::addRow("limit notice") << QByteArray(
            "Your connection limit exceeded. Please slow down and try again later.\r\n")
                                      << marker << none;
        QTest::addRow("broken phrase") << QByteArray("No match\r\nfor") << marker << none;
        QTest::addRow("cut record") << QByteArray(1000, 'x') << marker << none;
        QTest::addRow("no marker: empty is registered") << QByteArray() << QByteArray() << registered;
        QTest::addRow("no marker: notice is registered") << QByteArray("slow down") << QByteArray() << registered;
        QTest::addRow("no marker: free") << QByteArray("No match for x") << QByteArray() << free;
    }
    void verdict()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, marker);
        QFETCH(int, verdict);
        QCOMPARE(int(Whois::ReplyVerdict(reply, marker)), verdict);
    }

    void server_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");   // empty: not a server
        QTest::addRow("host only") << "whois.example.test"
                                   << "whois.example.test:43";
        QTest::addRow("host and port") << "127.0.0.1:4343"
                                       << "127.0.0.1:4343";
        QTest::addRow("blanks") << " host:44 "
                                << "host:44";
        QTest::addRow("IPv6 with port") << "[::1]:43"
                                        << "[::1]:43";
        QTest::addRow("IPv6 in brackets") << "[::1]"
                                          << "[::1]:43";
        QTest::addRow("bare IPv6") << "::1"
                                   << "[::1]:43";
        QTest::addRow("percent sign in the host") << "a%2b%1:44"
                                                  << "a%2b%1:44";
        QTest::addRow("letters as port") << "host:abc"
                                         << "";
        QTest::addRow("no host") << ":43"
                                 << "";
        QTest::addRow("port zero") << "127.0.0.1:0"
                                   << "";
        QTest::addRow("port too big") << "127.0.0.1:99999"
                                      << "";
        QTest::addRow("empty port") << "host:"
                                    << "";
        QTest::addRow("unclosed bracket") << "[::1:43"
                                          << "";
        QTest::addRow("empty") << ""
                               << "";
    }
    void server()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const Whois::Server server = Whois::Server::parse(text);
        QCOMPARE(server.isValid(), !expected.isEmpty());
        if (server.isValid())
            QCOMPARE(server.text(), expected);
    }

    void configuredServer()
    {
        qputenv("TAMARIND_WHOIS_SERVER", "127.0.0.1:4999");
        QCOMPARE(Whois::ConfiguredServer().text(), QString("127.0.0.1:4999"));
        qputenv("TAMARIND_WHOIS_SERVER", "127.0.0.1:0");
        QString error;
        QVERIFY(!Whois::ConfiguredServer(&error).isValid());
        QVERIFY2(error.contains("TAMARIND_WHOIS_SERVER") && error.contains("127.0.0.1:0"), qPrintable(error));
        qunsetenv("TAMARIND_WHOIS_SERVER");
    }
};

QTEST_GUILESS_MAIN(TestWhois)
#include "TestWhois.moc"
