#include "TestSupport.h"

#include "app/DataFile.h"
#include "app/SettingsStore.h"
#include "cli/Command.h"
#include "run/CheckSession.h"

#include <QProcess>
#include <QTest>
#include <csignal>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QStringList lines() const { return QString::fromLatin1(out).split('\n', Qt::SkipEmptyParts); }
};

// A command run in this process, its output captured.
Outcome Run(const QStringList &arguments)
{
    Outcome outcome;
    Cli::Console console {[&](const QByteArray &bytes) { outcome.out += bytes; },
        [&](const QByteArray &bytes) { outcome.err += bytes; }, false};
    outcome.exitCode = Cli::Run(QStringList {"tamarind-cli"} + arguments, console);
    return outcome;
}

QStringList Names(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QString("name%1").arg(i, 4, 10, QChar('0'));
    return names;
}

// The built program, for what only a process shows: exit codes after signals, whole lines.
QProcess *StartCli(const QStringList &arguments, const QString &config)
{
    auto *process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", config);
    process->setProcessEnvironment(environment);
    process->start(BuiltProgram("tamarind-cli"), arguments);
    return process;
}

}   // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void clean()
    {
        // Decoding comes first, so a decoded "%" or blank is then removed by the cleaning.
        const Outcome outcome =
            Run({"clean", "site:my-shop.com", "%2525%2520", "Best Buy!.COM", "a%2520b%3A.com", "xx%253Aabc"});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, QByteArray("my-shop.com\n\nBestBuy.COM\nab.com\nxxabc\n"));
    }

    void helpComesFromTheTable()
    {
        const Outcome outcome = Run({"--help"});
        QCOMPARE(outcome.exitCode, 0);
        for (const Cli::Command &command : Cli::Commands()) {
            QVERIFY(outcome.out.contains("  " + command.name.toLatin1() + ' '));
            QVERIFY(outcome.out.contains(command.description.toLatin1()));
        }
        QVERIFY(Run({"clean", "--help"}).out.contains("decoded and then cleaned"));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addRow("version") << QStringList {"--version"} << 0 << "";
        QTest::addRow("no command") << QStringList {} << 2 << "no command";
        QTest::addRow("unknown command") << QStringList {"fly"} << 2 << "unknown command";
        QTest::addRow("clean without names") << QStringList {"clean"} << 2 << "at least one NAME";
        QTest::addRow("no file") << QStringList {"check"} << 2 << "exactly one FILE";
        QTest::addRow("from zero") << QStringList {"check", "--from", "0", "LIST"} << 2 << "counted from 1";
        QTest::addRow("from letters") << QStringList {"check", "--from", "x1", "LIST"} << 2 << "takes an entry number";
        QTest::addRow("from past the end") << QStringList {"check", "--from", "4", "LIST"} << 2 << "past the end";
        QTest::addRow("from and resume") << QStringList {"check", "--from", "2", "--resume", "LIST"} << 2
                                         << "cannot go together";
        QTest::addRow("empty folder") << QStringList {"check", "--folder", "", "LIST"} << 2
                                      << "--folder takes a folder";
        QTest::addRow("bad server") << QStringList {"check", "--server", "host:abc", "LIST"} << 2
                                    << "--server holds \"host:abc\"";
        QTest::addRow("IPv6 port too big")
            << QStringList {"whois", "--server", "[::1]:99999", "x"} << 2 << "not a WHOIS server";
        QTest::addRow("missing list") << QStringList {"check", "MISSING"} << 1 << "cannot be opened";
        QTest::addRow("a device that never ends") << QStringList {"check", "/dev/zero"} << 1 << "device or pipe";
        QTest::addRow("a binary file") << QStringList {"check", "BINARY"} << 1 << "not a text file";
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"), {"abc", "abd", "abe"});
        WriteBytes(folders.file("binary.dat"), QByteArray("ab\0cd\r\n", 6));
        arguments.replaceInStrings("LIST", folders.file("list.txt"))
            .replaceInStrings("MISSING", folders.file("missing.txt"))
            .replaceInStrings("BINARY", folders.file("binary.dat"));
        const Outcome outcome = Run(arguments);
        QCOMPARE(outcome.exitCode, exitCode);
        QVERIFY2(outcome.err.contains(message.toLatin1()), outcome.err.constData());
        if (exitCode == 2)
            QVERIFY(outcome.err.startsWith("tamarind-cli: "));
    }

    void checkAndResume()
    {
        TestFolders folders;
        const QStringList names = Names(60);
        DataFile::rewrite(folders.file("list.txt"), names);
        DataFile::rewrite(folders.file("registered.txt"), {"name0007.com", "name0042.com"});
        TestWhoisServer server({"--registered", folders.file("registered.txt")});
        const QStringList common {"check", "--server", server.address(), "--folder", folders.file("new/folder")};

        const Outcome first = Run(common + QStringList {folders.file("list.txt")});
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(first.lines().size(), 60);
        QVERIFY(first.lines().contains("registered name0007.com"));
        QVERIFY(first.lines().contains("free name0008.com"));
        QVERIFY(first.err.endsWith("checked 60 names: 0 high, 0 mid, 58 low, 2 registered, 0 unchecked\n"));
        QCOMPARE(DataFile::readEntries(folders.file("new/folder/LowProfile.txt")).size(), 58);
        // The desktop program's positions are its own.
        QCOMPARE(SettingsStore::get("Quillon", "Settings", "CustWordNum", "none"), QString("none"));
        QCOMPARE(SettingsStore::get("Quillon", "Settings", "wordNumber", "none"), QString("none"));

        const Outcome second = Run(common + QStringList {"--from", "41", folders.file("list.txt")});
        QCOMPARE(second.exitCode, 0);
        QCOMPARE(second.lines().size(), 20);
        QVERIFY(second.lines().contains("free name0041.com"));
        QVERIFY(second.err.endsWith("checked 20 names: 0 high, 0 mid, 19 low, 1 registered, 0 unchecked\n"));

        // Everything was asked: --resume has nothing left.
        const Outcome third = Run(common + QStringList {"--resume", folders.file("list.txt")});
        QCOMPARE(third.exitCode, 0);
        QCOMPARE(third.lines(), QStringList());
        QVERIFY(third.err.contains("every entry"));
    }

    void dryRun()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"), {"xx:abc", "Best%20Buy", "shop.net", "abc.org"});
        const Outcome outcome = Run({"check", "--dry-run", "--from", "2", folders.file("list.txt")});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, QByteArray("BestBuy.com\nshop.net\nabc.org.com\n"));
    }

    void checkFailures_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("message");
        QTest::addRow("unwritable folder") << "folder"
                                           << "cannot be written";
        QTest::addRow("refused connections") << "server"
                                             << "cannot be reached";
        QTest::addRow("unwritable result file") << "result"
                                                << "could not be written";
        QTest::addRow("another run in the folder") << "locked"
                                                   << "Another run is going on";
    }
    void checkFailures()
    {
        QFETCH(QString, problem);
        QFETCH(QString, message);
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"), {"abc", "abd"});
        WriteBytes(folders.file("plain-file"), "x");
        TestWhoisServer server({"--free-ratio", "1"});
        QString address = server.address();
        QString folder = folders.program();
        if (problem == "folder")
            folder = folders.file("plain-file/sub");   // below a file: no user can write there
        else if (problem == "server")
            address = QString("127.0.0.1:%1").arg(UnusedPort());
        else if (problem == "result")
            QDir(folders.program()).mkdir("SuperHighProfile.txt");
        CheckSession other;   // a run of another program in the same folder
        if (problem == "locked") {
            other.SelectSource(Source::CustomList, folders.file("list.txt"));
            other.setServer(Whois::Server::parse(QString("127.0.0.1:%1").arg(UnusedPort())));
            other.pool().setTickInterval(60000);
            QCOMPARE(other.Start(1, 2), QString());
        }
        const Outcome outcome = Run({"check", "--server", address, "--folder", folder, folders.file("list.txt")});
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(outcome.err.contains(message.toLatin1()), outcome.err.constData());
        if (problem == "server") {
            QCOMPARE(outcome.out, QByteArray());   // nothing written off as unchecked
            QVERIFY(outcome.err.contains("resume from entry 1"));
        }
        if (problem == "result")
            QCOMPARE(outcome.lines(), (QStringList {"free abc.com", "free abd.com"}));
    }

    void extract()
    {
        TestFolders folders;
        WriteBytes(folders.file("page.html"),
            "<a href=\"http://shop.example.com/index.html\">shop</a> <a href=\"http://example.net/\">net</a>\n"
            "<a href=\"http://news.example.org/\">org</a>\nVisit sample.com today\n"
            "<FRAME src=\"http://frames.example.com/page.html\">");
        const Outcome list = Run({"extract", "--variant", "list", folders.file("page.html")});
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(list.out, QByteArray("example.com\nexample.net\n"));
        const Outcome browser = Run({"extract", folders.file("page.html")});
        QCOMPARE(browser.out, QByteArray("example.com\nexample.net\nsample.com\n"));
        QCOMPARE(browser.err, QByteArray("Following Frame: frames.example.com/page.html\n"));
        QCOMPARE(Run({"extract", "--variant", "both"}).exitCode, 2);
        QCOMPARE(Run({"extract", folders.file("missing.html")}).exitCode, 1);
    }

    void generate()
    {
        TestFolders folders;
        WriteBytes(folders.file("Appends.txt"), "\r\nmy\r\nthe\r\n");
        const Outcome all = Run({"generate", "--base", "shop"});
        QCOMPARE(all.exitCode, 0);
        QCOMPARE(all.lines().size(), 16);
        QCOMPARE(all.lines().mid(0, 2), (QStringList {"myshop.com", "myshop.net"}));
        QCOMPARE(all.lines().last(), QString("shop-the.net"));
        const Outcome some = Run({"generate", "--base", "shop", "--affixes", folders.file("Appends.txt"),
            "--no-prefixes", "--no-hyphens", "--no-net"});
        QCOMPARE(some.out, QByteArray("shopmy.com\nshopthe.com\n"));
        QCOMPARE(Run({"generate"}).exitCode, 2);
        const Outcome missing = Run({"generate", "--base", "shop", "--affixes", folders.file("missing.txt")});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains("cannot be read"));
    }

    void whois()
    {
        TestWhoisServer server({"--free-ratio", "0"});
        const Outcome outcome = Run({"whois", "--server", server.address(), "example"});
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY(outcome.out.startsWith("   Domain Name: EXAMPLE.COM\r\n"));
        const Outcome refused = Run({"whois", "--server", QString("127.0.0.1:%1").arg(UnusedPort()), "example.com"});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.out.isEmpty());
        TestWhoisServer empty({"--empty-every", "1"});
        const Outcome closed = Run({"whois", "--server", empty.address(), "example.com"});
        QCOMPARE(closed.exitCode, 1);
        QVERIFY(closed.err.contains("without a reply"));
        TestWhoisServer huge({"--free-ratio", "0", "--reply-bytes", "2000000"});
        const Outcome cut = Run({"whois", "--server", huge.address(), "example.com"});
        QCOMPARE(cut.out.size(), Whois::ReplyCap);
        QVERIFY(cut.err.contains("cut at"));
    }

    // A killed or interrupted check loses nothing: every printed verdict is a whole line and is in
    // its file, and --resume asks about every name that had no verdict.
    void interruptedCheckResumes_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addRow("SIGKILL") << int(SIGKILL);
        QTest::addRow("SIGINT") << int(SIGINT);
        QTest::addRow("SIGTERM") << int(SIGTERM);
    }
    void interruptedCheckResumes()
    {
        QFETCH(int, signal);
        TestFolders folders;
        const QStringList names = Names(400);
        DataFile::rewrite(folders.file("list.txt"), names);
        TestWhoisServer server({"--free-ratio", "0.5", "--latency-ms", "20"});
        const QStringList common {"check", "--server", server.address(), "--folder", folders.program()};
        std::unique_ptr<QProcess> first(StartCli(common + QStringList {folders.file("list.txt")}, folders.config()));
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += first->readAllStandardOutput()).count('\n') >= 100, 20000);
        ::kill(pid_t(first->processId()), signal);
        QVERIFY(first->waitForFinished(10000));
        out += first->readAllStandardOutput();
        const QByteArray err = first->readAllStandardError();
        QVERIFY(out.endsWith('\n'));
        if (signal != SIGKILL) {
            QCOMPARE(first->exitCode(), 1);
            QVERIFY2(err.contains("resume from entry"), err.constData());
        }
        const QStringList printed = QString::fromLatin1(out).split('\n', Qt::SkipEmptyParts);
        QStringList free = printed.filter(QRegularExpression("^free ")).replaceInStrings("free ", "");
        const QStringList inFiles = FileEntries(folders.file("LowProfile.txt"));
        for (const QString &name : std::as_const(free))
            QVERIFY2(inFiles.contains(name), qPrintable(name));

        std::unique_ptr<QProcess> second(
            StartCli(common + QStringList {"--resume", folders.file("list.txt")}, folders.config()));
        QVERIFY(second->waitForFinished(30000));
        QCOMPARE(second->exitCode(), 0);
        QStringList all =
            printed + QString::fromLatin1(second->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        for (const QString &name : names)
            QVERIFY2(!all.filter(" " + name + ".com").isEmpty(), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
