#include "TestSupport.h"
#include "app/DataFile.h"
#include "harvest/HarvestChecker.h"
#include "harvest/ListBuilder.h"
#include "results/ResultLists.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

class TestHarvestChecker : public QObject
{
    Q_OBJECT

private slots:
    // A "%2" typed in the query is text of the query, not a place for the page offset.
    void requestAddressKeepsThePercentSignsOfTheQuery()
    {
        using ListBuilder::Engine;
        QCOMPARE(ListBuilder::requestAddress(Engine::Yahoo, "search.test", "50%2off+%1", 101),
            QString("http://search.test/search/dir?h=s&xargs=0&p=50%2off+%1&b=101"));
        QVERIFY(
            ListBuilder::requestAddress(Engine::Google, "g.test", "50%2off", 1).endsWith("&start=0&sa=N&q=50%2off"));
    }

    // Every name of the list once, in file order; a name without an answer three times is written
    // off and the loop goes on. Over RDAP as over WHOIS (fault caught: the harvest checks asking
    // port 43 whatever the protocol).
    void eachNameOnceInOrder_data()
    {
        QTest::addColumn<Rdap::Protocol>("protocol");
        QTest::addRow("whois") << Rdap::Protocol::Whois;
        QTest::addRow("rdap") << Rdap::Protocol::Rdap;
    }
    void eachNameOnceInOrder()
    {
        QFETCH(Rdap::Protocol, protocol);
        TestFolders folders;
        DataFile::rewrite(folders.file("registered.txt"), {"taken.com"});
        TestWhoisServer server(
            {"--registered", folders.file("registered.txt"), "--log", folders.file("queries.log"), "--rdap-port", "0"});
        // Only registrable names are asked: a host as its name, nothing for "-bad.com" or a .com.au;
        // a dot outside ASCII is a dot, as in a run (fault caught: "www.google。com" skipped).
        writeBytes(folders.file("BrowserSearch.txt"),
            "free.com\r\nexample.org\r\n-bad.com\r\nshop.com.au\r\n\r\nwww.taken.com\r\nwww.google\xE3\x80\x82"
            "com\r\nlast.net");
        ResultLists results;
        HarvestChecker checker(
            results, {Whois::Server::parse(server.address()), protocol, *Rdap::Bases::parse(server.rdapBase())});
        checker.setTickInterval(20);
        QSignalSpy unregistered(&checker, &HarvestChecker::unregistered);
        QSignalSpy registered(&checker, &HarvestChecker::registered);
        checker.start();
        TRY_COMPARE(checker.nextIndex(), 7);
        QCOMPARE(fileEntries(folders.file("queries.log")),
            (QStringList {"free.com", "taken.com", "google.com", "last.net"}));
        QCOMPARE(unregistered.size(), 3);
        QCOMPARE(registered.size(), 1);
        QCOMPARE(results.items(ResultList::High), (QStringList {"free.com", "last.net"}));

        // Names written later are asked too.
        DataFile::append(folders.file("BrowserSearch.txt"), {"", "later.com"});
        TRY_COMPARE(checker.nextIndex(), 8);
        QCOMPARE(results.items(ResultList::Mid), (QStringList {"google.com", "later.com"}));
    }

    // Fault caught: the checks go on past a free name that could not be saved, and it is lost.
    void unsavedNameHaltsTheChecks()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1"});
        QDir(folders.program()).mkdir("SuperHighProfile.txt");
        writeBytes(folders.file("BrowserSearch.txt"), "free.com\r\nnext.com\r\n");
        ResultLists results;
        HarvestChecker checker(results, {Whois::Server::parse(server.address()), Rdap::Protocol::Whois, {}});
        checker.setTickInterval(20);
        QSignalSpy problems(&results, &ResultLists::fileProblem);
        checker.start();
        TRY_VERIFY(checker.isHalted());
        waitMs(100);
        QCOMPARE(checker.nextIndex(), 0);
        QCOMPARE(problems.size(), 1);
        QDir(folders.program()).rmdir("SuperHighProfile.txt");
        checker.start();
        TRY_COMPARE(checker.nextIndex(), 2);
        QCOMPARE(fileEntries(folders.file("SuperHighProfile.txt")), (QStringList {"free.com", "next.com"}));
    }

    // Faults caught: a name the registry reserves, or one whose reply never ends, asked three times
    // here, once in a run.
    void hopelessNameIsAskedOnce_data()
    {
        QTest::addColumn<QStringList>("serverOptions");
        QTest::addColumn<QString>("name");
        QTest::addRow("reserved") << QStringList {"--reserved-name", "kept.com"} << "kept.com";
        QTest::addRow("reply past the cap") << QStringList {"--hostile"} << "endless1.com";
    }
    void hopelessNameIsAskedOnce()
    {
        QFETCH(QStringList, serverOptions);
        QFETCH(QString, name);
        TestFolders folders;
        TestWhoisServer server(serverOptions
            + QStringList {"--free-ratio", "1", "--log", folders.file("queries.log"), "--rdap-port", "0"});
        writeBytes(folders.file("BrowserSearch.txt"), (name + "\r\nfree.com\r\n").toLatin1());
        ResultLists results;
        HarvestChecker checker(results,
            {Whois::Server::parse(server.address()), Rdap::Protocol::Rdap, *Rdap::Bases::parse(server.rdapBase())});
        checker.setTickInterval(300);   // a megabyte of reply comes within the 5 ticks of a lookup
        checker.start();
        TRY_COMPARE(checker.nextIndex(), 2);
        QCOMPARE(fileEntries(folders.file("queries.log")), (QStringList {name, "free.com"}));
        QCOMPARE(fileEntries(folders.file("Unchecked.txt")), QStringList {name});
    }

    // The attempt rule of a run: five replies without a verdict make an attempt, three attempts write
    // the name off (fault caught: each refusal counted as an attempt, so a name the registry turns
    // away for a moment is lost after three replies). Under "auto" a WHOIS server that cannot be
    // reached gives way to RDAP (fault caught: the names written off instead).
    void attemptRuleAsInARun_data()
    {
        QTest::addColumn<Rdap::Protocol>("protocol");
        QTest::addColumn<bool>("whoisDown");
        QTest::addColumn<QStringList>("asked");
        QTest::addColumn<QStringList>("unchecked");
        QStringList refusedFifteenTimes;
        for (int i = 0; i < Lookup::MaxAttempts * Lookup::RefusalsPerAttempt; ++i)
            refusedFifteenTimes << "turned.com";
        QTest::addRow("refused name") << Rdap::Protocol::Whois << false << refusedFifteenTimes + QStringList {"ok.com"}
                                      << QStringList {"turned.com"};
        QTest::addRow("auto, port 43 down")
            << Rdap::Protocol::Auto << true << QStringList {"turned.com", "ok.com"} << QStringList {};
    }
    void attemptRuleAsInARun()
    {
        QFETCH(Rdap::Protocol, protocol);
        QFETCH(bool, whoisDown);
        QFETCH(QStringList, asked);
        QFETCH(QStringList, unchecked);
        TestFolders folders;
        TestWhoisServer server({"--refuse-name", whoisDown ? "none.com" : "turned.com", "--free-ratio", "1", "--log",
            folders.file("queries.log"), "--rdap-port", "0"});
        writeBytes(folders.file("BrowserSearch.txt"), "turned.com\r\nok.com\r\n");
        ResultLists results;
        const Whois::Server whois = Whois::Server::parse(whoisDown ? "127.0.0.1:9" : server.address());
        HarvestChecker checker(results, {whois, protocol, *Rdap::Bases::parse(server.rdapBase())});
        checker.setTickInterval(20);
        checker.start();
        TRY_COMPARE(checker.nextIndex(), 2);
        QCOMPARE(fileEntries(folders.file("queries.log")), asked);
        QCOMPARE(results.uncheckedCount(), unchecked.size());
        if (!unchecked.isEmpty())
            QCOMPARE(fileEntries(folders.file("Unchecked.txt")), unchecked);
    }

    void silentServerWritesNamesOff()
    {
        TestFolders folders;
        TestWhoisServer server({"--silent-every", "1", "--log", folders.file("queries.log")});
        writeBytes(folders.file("BrowserSearch.txt"), "quiet.com\r\nstill.com\r\n");
        ResultLists results;
        HarvestChecker checker(results, {Whois::Server::parse(server.address()), Rdap::Protocol::Whois, {}});
        checker.setTickInterval(20);
        checker.start();
        TRY_COMPARE_WITH_TIMEOUT(checker.nextIndex(), 2, 5000);
        QCOMPARE(results.uncheckedCount(), 2);
        QCOMPARE(fileEntries(folders.file("Unchecked.txt")), (QStringList {"quiet.com", "still.com"}));
        QCOMPARE(fileEntries(folders.file("queries.log")).size(), 6);   // three tries each
    }
};

QTEST_GUILESS_MAIN(TestHarvestChecker)
#include "TestHarvestChecker.moc"
