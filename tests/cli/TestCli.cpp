#include "TestSupport.h"

#include "app/DataFile.h"

#include <QProcess>
#include <QTest>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Outcome RunCli(const QStringList &arguments, const QString &config = QString())
{
    QProcess process;
    if (!config.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", config);
        process.setProcessEnvironment(environment);
    }
    process.start(BuiltProgram("tamarind-cli"), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void clean()
    {
        // Decoding comes first, so a decoded "%" or blank is then removed by the cleaning.
        const Outcome outcome = RunCli({"clean", "site:my-shop.com", "%2525%2520", "Best Buy!.COM",
                                        "a%2520b%3A.com", "xx%253Aabc"});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, QByteArray("my-shop.com\n\nBestBuy.COM\nab.com\nxxabc\n"));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addRow("help") << QStringList{"--help"} << 0;
        QTest::addRow("version") << QStringList{"--version"} << 0;
        QTest::addRow("no command") << QStringList{} << 2;
        QTest::addRow("unknown command") << QStringList{"fly"} << 2;
        QTest::addRow("clean without names") << QStringList{"clean"} << 2;
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const Outcome outcome = RunCli(arguments);
        QCOMPARE(outcome.exitCode, exitCode);
        if (exitCode == 2)
            QVERIFY(outcome.err.startsWith("tamarind-cli: "));
        else
            QVERIFY(!outcome.out.isEmpty());
    }

    void checkAndResume()
    {
        TestFolders folders;
        QStringList names;
        for (int i = 1; i <= 60; ++i)
            names << QString("name%1").arg(i, 2, 10, QChar('0'));
        DataFile::rewrite(folders.file("list.txt"), names);
        DataFile::rewrite(folders.file("registered.txt"), {"name07.com", "name42.com"});
        TestWhoisServer server({"--registered", folders.file("registered.txt")});
        const QStringList common{"check", "--server", server.address(), "--folder", folders.program()};

        const Outcome first = RunCli(common + QStringList{folders.file("list.txt")}, folders.config());
        QCOMPARE(first.exitCode, 0);
        QStringList lines = QString::fromLatin1(first.out).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 60);
        QVERIFY(lines.contains("registered name07.com"));
        QVERIFY(lines.contains("free name08.com"));
        QVERIFY(first.err.endsWith("checked 60 names: 0 high, 58 mid, 0 low, 2 registered, 0 unchecked\n"));
        QCOMPARE(DataFile::readEntries(folders.file("HighProfile.txt")).size(), 58);
        QVERIFY(ReadBytes(folders.config() + "/Tamarind/Quillon.ini").contains("CustWordNum=61"));

        const Outcome second = RunCli(common + QStringList{"--from", "41", folders.file("list.txt")}, folders.config());
        QCOMPARE(second.exitCode, 0);
        lines = QString::fromLatin1(second.out).split('\n', Qt::SkipEmptyParts);
        lines.sort();
        QCOMPARE(lines.size(), 20);
        QCOMPARE(lines.first(), QString("free name41.com"));
        QVERIFY(lines.contains("registered name42.com"));
        QVERIFY(second.err.endsWith("checked 20 names: 0 high, 19 mid, 0 low, 1 registered, 0 unchecked\n"));
    }

    void checkFailures_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addRow("missing list") << "missing" << 1 << "cannot be opened";
        QTest::addRow("unwritable folder") << "folder" << 1 << "cannot be written";
        QTest::addRow("unreachable server") << "server" << 1 << "cannot be reached";
        QTest::addRow("bad start") << "from" << 2 << "takes an entry number";
        QTest::addRow("bad server") << "badserver" << 2 << "is not a server";
        QTest::addRow("no file") << "nofile" << 2 << "exactly one FILE";
    }
    void checkFailures()
    {
        QFETCH(QString, problem);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"), {"abc", "abd"});
        WriteBytes(folders.file("plain-file"), "x");
        TestWhoisServer server;
        QString address = server.address();
        QString folder = folders.program();
        QString list = folders.file("list.txt");
        QString from = "1";
        if (problem == "missing")
            list = folders.file("missing.txt");
        else if (problem == "folder")
            folder = folders.file("plain-file/sub");
        else if (problem == "server")
            address = QString("127.0.0.1:%1").arg(UnusedPort());
        else if (problem == "from")
            from = "x1";
        else if (problem == "badserver")
            address = "host:port";
        QStringList arguments{"check", "--server", address, "--folder", folder, "--from", from};
        if (problem != "nofile")
            arguments << list;
        const Outcome outcome = RunCli(arguments, folders.config());
        QCOMPARE(outcome.exitCode, exitCode);
        QVERIFY2(outcome.err.contains(message.toLatin1()), outcome.err.constData());
        if (problem == "folder")
            QVERIFY(outcome.err.contains("plain-file/sub"));
        if (problem == "server")
            QCOMPARE(outcome.out, QByteArray("unchecked abc.com\nunchecked abd.com\n"));
    }

    void whois()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "0"});
        const Outcome outcome = RunCli({"whois", "--server", server.address(), "example"});
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY(outcome.out.startsWith("   Domain Name: EXAMPLE.COM\r\n"));
        QVERIFY(outcome.out.contains("Name Server: "));
        const Outcome refused = RunCli({"whois", "--server", QString("127.0.0.1:%1").arg(UnusedPort()), "example.com"});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
