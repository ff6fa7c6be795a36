#include "TestSupport.h"
#include "app/DataFile.h"
#include "app/SettingsStore.h"
#include "engine/ResultLists.h"
#include "engine/WhoisPool.h"
#include "run/RunControl.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int Tick = 100;      // ms: time enough for a busy machine to answer within a batch
constexpr int ShortTick = 10;  // for the tests that wait for the timeouts themselves

QStringList Names(int count, const QString &stem = "name")
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QString("%1%2").arg(stem).arg(i, 3, 10, QChar('0'));
    return names;
}

QString Setting(const QString &key)
{
    return SettingsStore::get(SettingsStore::RunKey, SettingsStore::SettingsSection, key, "none");
}

// The engine of one run over a custom list, against a test server.
struct Engine {
    ResultLists results;
    WhoisPool pool{results};
    RunControl run{results, pool};
    QStringList verdicts;   // "free NAME" / "registered NAME" / "unchecked NAME"
    QStringList problems;

    explicit Engine(const TestWhoisServer &server, quint16 port = 0)
    {
        pool.setServer(Whois::Server::parse(QString("127.0.0.1:%1").arg(port ? port : server.port())));
        pool.setTickInterval(Tick);
        QObject::connect(&pool, &WhoisPool::verdict, [this](const QString &name, bool free) {
            verdicts << (free ? "free " : "registered ") + name;
        });
        QObject::connect(&pool, &WhoisPool::unchecked, [this](const QString &name) { verdicts << "unchecked " + name; });
        QObject::connect(&pool, &WhoisPool::problem, [this](const QString &text) { problems << text; });
    }

    QString start(const QString &list, const QString &from = "1")
    {
        const SourceSelection selection = run.SelectSource(Source::CustomList, list);
        return run.Start(from, QString::number(*selection.wordMax));
    }

    bool runToEnd(const QString &list, const QString &from = "1", int timeoutMs = 20000)
    {
        QSignalSpy stopped(&run, &RunControl::stopped);
        return start(list, from).isEmpty() && stopped.wait(timeoutMs);
    }
};

} // namespace

class TestRunControl : public QObject
{
    Q_OBJECT

private slots:
    void feedReadsEntries()
    {
        TestFolders folders;
        SourceFeed feed;
        feed.setPath(folders.file("list.txt"));
        QCOMPARE(feed.CountSourceLines(), 0);
        QCOMPARE(feed.ReadSourceLine(1), DataFile::EndSentinel);
        QVERIFY(!feed.openError().isEmpty());
        WriteBytes(folders.file("list.txt"), "a\r\n\r\nb\r\nc");
        QCOMPARE(feed.CountSourceLines(), 3);
        QCOMPARE(feed.ReadSourceLine(0), QString());
        QCOMPARE(feed.ReadSourceLine(2), QString("b"));
        QCOMPARE(feed.ReadSourceLine(3), QString("c"));
        QCOMPARE(feed.ReadSourceLine(4), DataFile::EndSentinel);
        // What is on disk counts: a changed file is read again.
        WriteBytes(folders.file("list.txt"), "x\r\ny\r\nz\r\nw\r\n");
        QCOMPARE(feed.ReadSourceLine(4), QString("w"));
        QCOMPARE(feed.CountSourceLines(), 4);
    }

    void installedListSelection_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("shown");
        QTest::addRow("saved position") << "120" << "120";
        QTest::addRow("nothing saved") << "" << "1";
    }
    void installedListSelection()
    {
        QFETCH(QString, saved);
        QFETCH(QString, shown);
        TestFolders folders;
        QDir(folders.program()).mkdir("wordlists");
        DataFile::rewrite(folders.file("wordlists/FullWordList.txt"), Names(500));
        if (!saved.isEmpty())
            SettingsStore::save("Quillon", "Settings", "FullWordNum", saved);
        ResultLists results;
        WhoisPool pool(results);
        RunControl run(results, pool);
        const SourceSelection selection = run.SelectSource(Source::FullWordList);
        QCOMPARE(*selection.wordMax, 500);
        QCOMPARE(*selection.wordNum, shown);
        QCOMPARE(selection.group, SourceSelection::Group::WordList);
        QCOMPARE(run.sourceFile(), folders.file("wordlists/FullWordList.txt"));

        QCOMPARE(run.SelectSource(Source::AllFourLetter).wordMax.value(), 0);   // missing list
        const SourceSelection google = run.SelectSource(Source::GoogleSearch);
        QVERIFY(!google.wordMax);
        QCOMPARE(google.group, SourceSelection::Group::Search);
        QCOMPARE(run.sourceFile(), folders.file("BrowserSearch.txt"));
        run.SelectSource(Source::BrowseForNames);
        QCOMPARE(run.sourceFile(), folders.file("BrowserSearch.txt"));   // unchanged
        QCOMPARE(run.SelectSource(Source::GenerateNames).group, SourceSelection::Group::None);
    }

    void startIsRefused_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("message");
        QTest::addRow("no list chosen") << "" << "1" << "No list is chosen";
        QTest::addRow("missing list") << "missing.txt" << "1" << "cannot be opened";
        QTest::addRow("folder as list") << "." << "1" << "cannot be opened";
        QTest::addRow("letters") << "list.txt" << "abc" << "not a whole number";
        QTest::addRow("empty number") << "list.txt" << "" << "not a whole number";
        QTest::addRow("negative") << "list.txt" << "-3" << "not a whole number";
    }
    void startIsRefused()
    {
        QFETCH(QString, list);
        QFETCH(QString, from);
        QFETCH(QString, message);
        TestFolders folders;
        TestWhoisServer server({"--log", folders.file("queries.log")});
        DataFile::rewrite(folders.file("list.txt"), Names(5));
        Engine engine(server);
        const QString path = list.isEmpty() ? QString() : folders.file(list);
        const QString error = engine.start(path, from);
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(!engine.run.isRunning());
        QTest::qWait(50);
        QCOMPARE(FileEntries(folders.file("queries.log")), QStringList());
    }

    void wholeRun()
    {
        TestFolders folders;
        const QStringList names = Names(60);
        DataFile::rewrite(folders.file("registered.txt"), {"name002.com", "name010.com", "name059.com"});
        TestWhoisServer server({"--registered", folders.file("registered.txt"), "--log", folders.file("queries.log")});
        DataFile::rewrite(folders.file("list.txt"), names);
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(engine.verdicts.size(), 60);
        QVERIFY(engine.verdicts.contains("registered name010.com"));
        QVERIFY(engine.verdicts.contains("free name011.com"));
        QCOMPARE(engine.results.items(ResultList::Mid).size(), 57);
        QCOMPARE(Setting("CustWordNum"), QString("61"));
        QCOMPARE(Setting("wordNumber"), QString("61"));
        QCOMPARE(engine.pool.uncheckedCount(), 0);
    }

    void lastLineWithoutBreakIsChecked()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1"});
        WriteBytes(folders.file("list.txt"), "abc\r\n\r\nabd\r\nabe");
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(engine.verdicts.size(), 3);
        QVERIFY(engine.verdicts.contains("free abe.com"));
    }

    void emptyListEndsAtOnce()
    {
        TestFolders folders;
        TestWhoisServer server;
        WriteBytes(folders.file("list.txt"), "\r\n");
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt"), "1", 2000));
        QVERIFY(engine.verdicts.isEmpty());
    }

    void batchOfTwentyFiveWaitsForTwentyFour()
    {
        TestFolders folders;
        // The 25th query of the first batch is slow: the batch ends without it, and it is asked
        // again first in the next batch instead of being dropped.
        TestWhoisServer server({"--free-ratio", "1", "--slow-every", "25", "--slow-ms", "3000",
                                "--log", folders.file("queries.log")});
        DataFile::rewrite(folders.file("list.txt"), Names(30));
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(engine.verdicts.size(), 30);
        QCOMPARE(QSet<QString>(engine.verdicts.begin(), engine.verdicts.end()).size(), 30);
        const QStringList queries = FileEntries(folders.file("queries.log"));
        QCOMPARE(queries.size(), 31);
        QCOMPARE(QSet<QString>(queries.begin(), queries.end()).size(), 30);   // one name asked twice
    }

    void silentServerLeavesNamesUnchecked()
    {
        TestFolders folders;
        TestWhoisServer server({"--silent-every", "1", "--log", folders.file("queries.log")});
        DataFile::rewrite(folders.file("list.txt"), {"quiet"});
        Engine engine(server);
        engine.pool.setTickInterval(ShortTick);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(engine.verdicts, QStringList{"unchecked quiet.com"});
        QCOMPARE(engine.pool.uncheckedCount(), 1);
        QCOMPARE(ReadBytes(folders.file("Unchecked.txt")), QByteArray("quiet.com\r\n"));
        // Per batch: the query, a reconnect after 10 ticks and one after 20; three batches.
        const int asked = int(FileEntries(folders.file("queries.log")).size());
        QVERIFY2(asked >= 6 && asked <= 12, qPrintable(QString::number(asked)));
    }

    void refusedConnectionEndsWithEveryNameUnchecked()
    {
        TestFolders folders;
        TestWhoisServer server;
        DataFile::rewrite(folders.file("list.txt"), Names(30));
        Engine engine(server, UnusedPort());
        QVERIFY(engine.runToEnd(folders.file("list.txt"), "1", 5000));
        QCOMPARE(engine.verdicts.size(), 30);
        QCOMPARE(engine.verdicts.filter("unchecked ").size(), 30);
        QCOMPARE(DataFile::readEntries(folders.file("Unchecked.txt")).size(), 30);
        QCOMPARE(engine.problems.size(), 1);
        QVERIFY(engine.problems[0].contains("cannot be reached"));
    }

    void emptyReplyCountsAsRegistered()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1", "--empty-every", "1"});
        DataFile::rewrite(folders.file("list.txt"), {"abc", "abd"});
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(engine.verdicts, (QStringList{"registered abc.com", "registered abd.com"}));
    }

    void hugeReplyIsCapped()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1", "--reply-bytes", "10000000"});
        DataFile::rewrite(folders.file("list.txt"), {"abc"});
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(engine.verdicts, QStringList{"free abc.com"});
        QVERIFY(engine.pool.peakReplyBytes() <= Whois::ReplyCap);
    }

    void decodedLineBreakSendsOneLine()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1", "--log", folders.file("queries.log")});
        DataFile::rewrite(folders.file("list.txt"), {"ab%0D%0Acd", "x%0Ay"});
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(FileEntries(folders.file("queries.log")), (QStringList{"abcd.com", "xy.com"}));
        QCOMPARE(ReadBytes(folders.file("queries.log")), QByteArray("abcd.com\nxy.com\n"));
    }

    void startStatusAndStop()
    {
        TestFolders folders;
        QDir(folders.program()).mkdir("wordlists");
        DataFile::rewrite(folders.file("wordlists/FullWordList.txt"), Names(500));
        TestWhoisServer server({"--silent-every", "1"});
        Engine engine(server);
        QStringList entryStatus, openStatus;
        QObject::connect(&engine.run, &RunControl::entryStatus, [&](const QString &t) { entryStatus << t; });
        QObject::connect(&engine.run, &RunControl::openConnections, [&](const QString &t) { openStatus << t; });
        engine.run.SelectSource(Source::FullWordList);
        QCOMPARE(engine.run.Start("1", "500"), QString());
        QCOMPARE(Setting("FullWordNum"), QString("26"));
        QCOMPARE(Setting("wordNumber"), QString("26"));
        QCOMPARE(entryStatus.last(), QString("26 of 500"));
        QCOMPARE(openStatus.last(), QString("Open: 25"));
        engine.run.Stop();
        // Nothing had an answer: the next run begins with the first name again.
        QCOMPARE(Setting("FullWordNum"), QString("1"));
        QVERIFY(!engine.run.isRunning());
    }

    void stopAndStartAgainAtOnce()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1", "--log", folders.file("queries.log")});
        DataFile::rewrite(folders.file("list.txt"), Names(3));
        Engine engine(server);
        QSignalSpy stopped(&engine.run, &RunControl::stopped);
        QSignalSpy batches(&engine.pool, &WhoisPool::batchEnded);
        bool restarted = false;
        // Stop and start again from the event loop after the last verdict, before the end of the
        // old batch comes round: that end must not cut the new batch short.
        QObject::connect(&engine.pool, &WhoisPool::verdict, [&] {
            if (engine.verdicts.size() == 3 && !restarted) {
                restarted = true;
                QMetaObject::invokeMethod(&engine.run, [&] {
                    engine.run.Stop();
                    engine.start(folders.file("list.txt"));
                }, Qt::QueuedConnection);
            }
        });
        QCOMPARE(engine.start(folders.file("list.txt")), QString());
        QTRY_COMPARE_WITH_TIMEOUT(stopped.size(), 2, 10000);
        QCOMPARE(engine.verdicts.size(), 6);
        QCOMPARE(batches.size(), 1);   // only the new run's own batch ended
    }

    void closingConnectionsOnTheLastBatch()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1"});
        DataFile::rewrite(folders.file("list.txt"), Names(10));
        Engine engine(server);
        QStringList openStatus;
        QObject::connect(&engine.run, &RunControl::openConnections, [&](const QString &t) { openStatus << t; });
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(openStatus.last(), QString("Open: Closing connections..."));
    }

    void stopThenResume()
    {
        TestFolders folders;
        const QStringList names = Names(60);
        TestWhoisServer server({"--free-ratio", "0.5", "--latency-ms", "150"});
        DataFile::rewrite(folders.file("list.txt"), names);
        Engine engine(server);
        QCOMPARE(engine.start(folders.file("list.txt")), QString());
        QTRY_VERIFY_WITH_TIMEOUT(engine.verdicts.size() >= 30, 10000);
        engine.run.Stop();
        const QStringList before = engine.verdicts;
        QTest::qWait(400);
        QCOMPARE(engine.verdicts, before);   // no verdict after the click

        // The resume position is the first entry without a verdict.
        int firstOpen = 0;
        for (int i = 0; i < names.size() && !firstOpen; ++i) {
            if (engine.verdicts.filter(" " + names[i] + ".com").isEmpty())
                firstOpen = i + 1;
        }
        QVERIFY(firstOpen > 0);
        QCOMPARE(Setting("CustWordNum"), QString::number(firstOpen));

        QVERIFY(engine.runToEnd(folders.file("list.txt"), Setting("CustWordNum")));
        for (const QString &name : names)
            QVERIFY2(!engine.verdicts.filter(" " + name + ".com").isEmpty(), qPrintable(name));
        QCOMPARE(Setting("CustWordNum"), QString("61"));
    }
};

QTEST_GUILESS_MAIN(TestRunControl)
#include "TestRunControl.moc"
