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
        QTest::addRow("text after the first colon") << "xx:abc" << "abc.com";
        QTest::addRow("search operator") << "site:shop.net" << "shop.net";
        QTest::addRow(".net in capitals") << "ABC.NET" << "ABC.NET";
        QTest::addRow("other ending") << "abc.org" << "abc.org.com";
        QTest::addRow(".com inside") << "my.company" << "my.company";
        QTest::addRow("decoded and cleaned") << "Best%20Buy" << "BestBuy.com";
        QTest::addRow("line break decoded") << "ab%0D%0Acd" << "abcd.com";
        QTest::addRow("raw control characters") << QString("a\tb\x01" "c") << "abc.com";
        QTest::addRow("empty") << "" << ".com";
    }
    void prepareLookupName()
    {
        QFETCH(QString, candidate);
        QFETCH(QString, expected);
        QCOMPARE(Whois::PrepareLookupName(candidate), expected);
        QCOMPARE(Whois::Request(expected), expected.toLatin1() + "\r\n");
    }

    void verdict_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("unregistered");
        QTest::addRow("registry wording") << QByteArray("No match for \"ABC.COM\".\r\n") << true;
        QTest::addRow("capitals") << QByteArray("NO MATCH FOR abc.com") << true;
        QTest::addRow("anywhere") << QByteArray("notice\r\n no match for x") << true;
        QTest::addRow("empty reply") << QByteArray() << false;
        QTest::addRow("record") << QByteArray("Domain Name: ABC.COM\r\n") << false;
        QTest::addRow("broken phrase") << QByteArray("No match\r\nfor") << false;
    }
    void verdict()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, unregistered);
        QCOMPARE(Whois::IsUnregisteredReply(reply), unregistered);
    }

    void server_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addRow("host only") << "whois.example.test" << "whois.example.test" << 43;
        QTest::addRow("host and port") << "127.0.0.1:4343" << "127.0.0.1" << 4343;
        QTest::addRow("blanks") << " host:44 " << "host" << 44;
        QTest::addRow("bad port") << "host:x" << "" << 43;
        QTest::addRow("port zero") << "host:0" << "" << 43;
        QTest::addRow("port too big") << "host:70000" << "" << 43;
    }
    void server()
    {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, port);
        const Whois::Server server = Whois::Server::parse(text);
        QCOMPARE(server.host, host);
        QCOMPARE(int(server.port), port);
        QCOMPARE(server.isValid(), !host.isEmpty());
    }

    void configuredServer()
    {
        qputenv("TAMARIND_WHOIS_SERVER", "127.0.0.1:4999");
        QCOMPARE(Whois::ConfiguredServer().text(), QString("127.0.0.1:4999"));
        qunsetenv("TAMARIND_WHOIS_SERVER");
    }
};

QTEST_GUILESS_MAIN(TestWhois)
#include "TestWhois.moc"
