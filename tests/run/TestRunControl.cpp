#include "TestSupport.h"
#include "app/DataFile.h"
#include "app/SettingsStore.h"
#include "engine/ReplyCap.h"
#include "run/CheckSession.h"
#include "run/SourceFlow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSslConfiguration>
#include <QStandardPaths>
#include <QTest>

namespace {

constexpr int Tick = 100;       // ms: time enough for a busy machine to answer within a lookup
constexpr int ShortTick = 10;   // for the tests that wait for the timeouts themselves

QStringList numberedNames(int count, const QString &stem = "name")
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QString("%1%2").arg(stem).arg(i, 3, 10, QChar('0'));
    return names;
}

QString setting(const QString &key)
{
    return SettingsStore::get("Quillon", "Settings", key, "none");
}

// A check session over a custom list, against a test server, that records what it reports.
struct Engine {
    CheckSession session;
    QStringList verdicts;   // "free NAME" / "registered NAME" / "unchecked NAME"
    QStringList refusals;

    explicit Engine(const TestWhoisServer &server, quint16 port = 0, int tick = Tick)
    {
        session.setServer(Whois::Server::parse(QString("127.0.0.1:%1").arg(port ? port : server.port())));
        session.pool().setTickInterval(tick);
        QObject::connect(&session, &CheckSession::verdict,
            [this](const QString &name, bool free) { verdicts << (free ? "free " : "registered ") + name; });
        QObject::connect(
            &session, &CheckSession::unchecked, [this](const QString &name) { verdicts << "unchecked " + name; });
        QObject::connect(&session, &CheckSession::serverRefused, [this](const QString &text) { refusals << text; });
    }

    QString start(const QString &list, qint64 from = 1)
    {
        const SourceSelection selection = session.selectSource(Source::CustomList, list);
        return session.start(from, *selection.wordMax);
    }

    bool runToEnd(const QString &list, qint64 from = 1, int timeoutMs = 20000)
    {
        QSignalSpy stopped(&session.run(), &RunControl::stopped);
        return start(list, from).isEmpty() && stopped.wait(timeoutMs);
    }

    QStringList with(const QString &outcome) const { return verdicts.filter(QRegularExpression("^" + outcome + " ")); }

    void askRdap(const TestWhoisServer &server, Rdap::Protocol protocol = Rdap::Protocol::Rdap)
    {
        session.setProtocol(protocol);
        session.setRdapBases(*Rdap::Bases::parse(server.rdapBase()));
    }
};

// A list of names with every third registered, and a server that knows them.
struct RegisteredThirds {
    QStringList names;
    QStringList registered;

    explicit RegisteredThirds(const TestFolders &folders, int count = 60)
        : names(numberedNames(count))
    {
        for (int i = 0; i < names.size(); i += 3)
            registered << names[i] + ".com";
        DataFile::rewrite(folders.file("registered.txt"), registered);
        DataFile::rewrite(folders.file("list.txt"), names);
    }
    QStringList serverOptions(const TestFolders &folders) const
    {
        return {"--registered", folders.file("registered.txt"), "--rdap-port", "0"};
    }
};

}   // namespace

class TestRunControl : public QObject
{
    Q_OBJECT

private slots:
    void feedReadsEntries()
    {
        TestFolders folders;
        SourceFeed feed;
        feed.setPath(folders.file("list.txt"));
        QCOMPARE(feed.count(), 0);
        QCOMPARE(feed.entry(1), DataFile::EndSentinel);
        QVERIFY(!feed.openError().isEmpty());
        writeBytes(folders.file("list.txt"), "a\r\n\r\nb\r\nc");
        QCOMPARE(feed.count(), 3);
        QCOMPARE(feed.entry(2), QString("b"));
        QCOMPARE(feed.entry(3), QString("c"));
        QCOMPARE(feed.entry(4), DataFile::EndSentinel);
        // What is on disk counts: a changed file is read again.
        writeBytes(folders.file("list.txt"), "x\r\ny\r\nz\r\nw\r\n");
        QCOMPARE(feed.entry(4), QString("w"));
        QCOMPARE(feed.count(), 4);
    }

    void installedListSelection_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<qint64>("shown");
        QTest::addRow("saved position") << "120" << qint64(120);
        QTest::addRow("nothing saved") << "" << qint64(1);
    }
    void installedListSelection()
    {
        QFETCH(QString, saved);
        QFETCH(qint64, shown);
        TestFolders folders;
        QDir(folders.program()).mkdir("wordlists");
        DataFile::rewrite(folders.file("wordlists/FullWordList.txt"), numberedNames(500));
        if (!saved.isEmpty())
            SettingsStore::save("Quillon", "Settings", "FullWordNum", saved);
        CheckSession session;
        const SourceSelection selection = session.selectSource(Source::FullWordList);
        QCOMPARE(*selection.wordMax, 500);
        QCOMPARE(*selection.wordNum, shown);
        QCOMPARE(selection.group, SourceSelection::Group::WordList);
        QCOMPARE(session.choice().file(), folders.file("wordlists/FullWordList.txt"));

        QCOMPARE(session.selectSource(Source::AllFourLetter).wordMax.value(), 0);   // missing list
        const SourceSelection google = session.selectSource(Source::GoogleSearch);
        QVERIFY(!google.wordMax);
        QCOMPARE(google.group, SourceSelection::Group::Search);
        QCOMPARE(session.choice().file(), folders.file("BrowserSearch.txt"));
        session.selectSource(Source::BrowseForNames);
        QCOMPARE(session.choice().file(), folders.file("BrowserSearch.txt"));   // unchanged
        QCOMPARE(session.selectSource(Source::GenerateNames).group, SourceSelection::Group::None);
    }

    // Faults caught: a cancelled dialog leaving the last list's numbers shown; a start number that
    // is no number starting a run at entry 0; Start without a list quoting the number instead.
    void sourceFlowSteps_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("customFile");
        QTest::addColumn<QString>("shownStart");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("told");
        QTest::addRow("installed list") << int(Source::FullWordList) << ""
                                        << "120"
                                        << "x"
                                        << "not a whole number";
        QTest::addRow("custom list") << int(Source::CustomList) << "list.txt"
                                     << "1"
                                     << " 2x"
                                     << "not a whole number";
        QTest::addRow("dialog cancelled") << int(Source::CustomList) << ""
                                          << ""
                                          << "x"
                                          << "No list is chosen";
    }
    void sourceFlowSteps()
    {
        QFETCH(int, source);
        QFETCH(QString, customFile);
        QFETCH(QString, shownStart);
        QFETCH(QString, typed);
        QFETCH(QString, told);
        TestFolders folders;
        QDir(folders.program()).mkdir("wordlists");
        DataFile::rewrite(folders.file("wordlists/FullWordList.txt"), numberedNames(500));
        DataFile::rewrite(folders.file("list.txt"), numberedNames(5));
        SettingsStore::save("Quillon", "Settings", "FullWordNum", "120");
        CheckSession session;
        SourceFlow flow(session);
        flow.choose(Source::FullWordList);   // an earlier list's numbers are shown
        const BandNumbers shown =
            flow.choose(Source(source), customFile.isEmpty() ? QString() : folders.file(customFile));
        QCOMPARE(shown.startNumber, std::optional<QString>(shownStart));
        BandNumbers after;
        QVERIFY2(flow.start(typed, shown.entries.value_or(""), &after).contains(told), qPrintable(told));
        QVERIFY(!session.isRunning());
        QCOMPARE(flow.afterRun().startNumber, source == int(Source::FullWordList) ? shown.startNumber : std::nullopt);
    }

    void startNumberRule_data()
    {
        QTest::addColumn<qint64>("typed");
        QTest::addColumn<qint64>("entries");
        QTest::addColumn<qint64>("shown");
        QTest::addRow("inside") << qint64(120) << qint64(500) << qint64(120);
        QTest::addRow("last entry") << qint64(500) << qint64(500) << qint64(1);
        QTest::addRow("past the end") << qint64(501) << qint64(500) << qint64(1);
    }
    void startNumberRule()
    {
        QFETCH(qint64, typed);
        QFETCH(qint64, entries);
        QFETCH(qint64, shown);
        QCOMPARE(RunControl::startNumberFor(typed, entries), shown);
    }

    void startIsRefused_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<qint64>("from");
        QTest::addColumn<QString>("message");
        QTest::addRow("no list chosen") << "" << qint64(1) << "No list is chosen";
        QTest::addRow("missing list") << "missing.txt" << qint64(1) << "cannot be opened";
        QTest::addRow("folder as list") << "." << qint64(1) << "cannot be opened";
        QTest::addRow("entry zero") << "list.txt" << qint64(0) << "counted from 1";
        QTest::addRow("bad server") << "list.txt" << qint64(1) << "not a WHOIS server";
        QTest::addRow("another run") << "list.txt" << qint64(1) << "Another run is going on";
    }
    void startIsRefused()
    {
        QFETCH(QString, list);
        QFETCH(qint64, from);
        QFETCH(QString, message);
        TestFolders folders;
        TestWhoisServer server({"--log", folders.file("queries.log"), "--silent-every", "1"});
        DataFile::rewrite(folders.file("list.txt"), numberedNames(5));
        Engine engine(server);
        Engine other(server);
        if (QByteArray(QTest::currentDataTag()) == "bad server")
            engine.session.setServer({}, Whois::notAServer("host:abc", "--server"));
        if (QByteArray(QTest::currentDataTag()) == "another run")
            QCOMPARE(other.start(folders.file("list.txt")), QString());
        const QString path = list.isEmpty() ? QString() : folders.file(list);
        const QString error = engine.start(path, from);
        QVERIFY2(error.contains(message), qPrintable(error));
        if (QByteArray(QTest::currentDataTag()) == "another run") {
            QVERIFY2(error.contains(QString::number(QCoreApplication::applicationPid())), qPrintable(error));
            other.session.stop();
            QCOMPARE(engine.start(path, from), QString());   // free again once the other run ended
            engine.session.stop();
            return;
        }
        QVERIFY(!engine.session.isRunning());
        waitMs(50);
        QCOMPARE(fileEntries(folders.file("queries.log")), QStringList());
    }

    void wholeRun()
    {
        TestFolders folders;
        const QStringList names = numberedNames(60);
        DataFile::rewrite(folders.file("registered.txt"), {"name002.com", "name010.com", "name059.com"});
        TestWhoisServer server({"--registered", folders.file("registered.txt"), "--log", folders.file("queries.log")});
        DataFile::rewrite(folders.file("list.txt"), names);
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(engine.verdicts.size(), 60);
        QVERIFY(engine.verdicts.contains("registered name010.com"));
        QVERIFY(engine.verdicts.contains("free name011.com"));
        QCOMPARE(engine.session.results().items(ResultList::Mid).size(), 57);
        QCOMPARE(setting("CustWordNum"), QString("61"));
        QCOMPARE(setting("wordNumber"), QString("61"));
        QCOMPARE(engine.session.results().uncheckedCount(), 0);
    }

    void lastLineWithoutBreakIsChecked()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1"});
        writeBytes(folders.file("list.txt"), "abc\r\n\r\nabd\r\nabe");
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(engine.verdicts.size(), 3);
        QVERIFY(engine.verdicts.contains("free abe.com"));
    }

    void emptyListEndsAtOnce()
    {
        TestFolders folders;
        TestWhoisServer server;
        writeBytes(folders.file("list.txt"), "\r\n");
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt"), 1, 2000));
        QVERIFY(engine.verdicts.isEmpty());
    }

    void slowReplyHoldsNoSlot()
    {
        TestFolders folders;
        // Every 10th query takes 1.5 s: the other slots go on meanwhile, where a batch would wait for it.
        TestWhoisServer server(
            {"--free-ratio", "1", "--slow-every", "10", "--slow-ms", "1500", "--log", folders.file("queries.log")});
        DataFile::rewrite(folders.file("list.txt"), numberedNames(200));
        Engine engine(server, 0, 200);
        QStringList answered;
        QObject::connect(&engine.session, &CheckSession::verdict, [&](const QString &name) { answered << name; });
        QVERIFY(engine.runToEnd(folders.file("list.txt"), 1, 10000));
        QCOMPARE(engine.with("free").size(), 200);
        // The server's 10th query is its first slow one. The 180 fast names do not wait for it: most
        // have their verdicts before it, where a batch of 25 would have waited for it.
        const qsizetype beforeSlow = answered.indexOf(fileEntries(folders.file("queries.log")).value(9));
        QVERIFY2(beforeSlow >= 150, qPrintable(QString::number(beforeSlow)));
    }

    // Fault caught: lookups that time out written off as unchecked while the server answers no name
    // at all, so a server that never answers loses the whole list.
    void silentServerStopsTheRunAndKeepsItsPlace()
    {
        TestFolders folders;
        TestWhoisServer server({"--silent-every", "1"});
        DataFile::rewrite(folders.file("list.txt"), {"quiet", "still", "hush"});
        Engine engine(server, 0, ShortTick);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QVERIFY(engine.verdicts.isEmpty());
        QCOMPARE(engine.refusals.size(), 1);
        QVERIFY2(engine.refusals[0].contains("no answer within"), qPrintable(engine.refusals[0]));
        QVERIFY(!QFile::exists(folders.file("Unchecked.txt")));
        QCOMPARE(setting("CustWordNum"), QString("1"));
    }

    // Fault caught: a name the server never answers, while it answers the others, holds the run
    // forever or is never written off.
    void silentNameEndsUnchecked()
    {
        TestFolders folders;
        TestWhoisServer server(
            {"--free-ratio", "1", "--silent-name", "quiet.com", "--log", folders.file("queries.log")});
        DataFile::rewrite(folders.file("list.txt"), numberedNames(5) << "quiet" << numberedNames(5, "more"));
        writeBytes(folders.file("Unchecked.txt"), "from-an-earlier-session.com\r\n");
        Engine engine(server, 0, ShortTick);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(engine.with("free").size(), 10);
        QCOMPARE(engine.with("unchecked"), QStringList {"unchecked quiet.com"});
        QCOMPARE(readBytes(folders.file("Unchecked.txt")), QByteArray("quiet.com\r\n"));
        QCOMPARE(QDir(folders.file("backups")).entryList({"Unchecked*"}).size(), 1);   // moved aside
        // Per attempt: the query and a reconnect after 10 and after 20 ticks; 30 ticks end it.
        const int asked = int(fileEntries(folders.file("queries.log")).filter("quiet").size());
        QVERIFY2(asked >= 6 && asked <= 9, qPrintable(QString::number(asked)));
    }

    void refusingServerStopsTheRun_data()
    {
        QTest::addColumn<QStringList>("serverOptions");
        QTest::addColumn<bool>("refusedPort");
        QTest::addColumn<QString>("message");
        QTest::addRow("refused connection") << QStringList() << true << "cannot be reached";
        QTest::addRow("limit notice only")
            << QStringList {"--notice-every", "1"} << false << "Your connection limit exceeded";
        QTest::addRow("empty closes only") << QStringList {"--empty-every", "1"} << false << "refuses every query";
    }
    void refusingServerStopsTheRun()
    {
        QFETCH(QStringList, serverOptions);
        QFETCH(bool, refusedPort);
        QFETCH(QString, message);
        TestFolders folders;
        TestWhoisServer server(serverOptions);
        DataFile::rewrite(folders.file("list.txt"), numberedNames(60));
        Engine engine(server, refusedPort ? unusedPort() : 0, ShortTick);
        QVERIFY(engine.runToEnd(folders.file("list.txt"), 1, 10000));
        QCOMPARE(engine.refusals.size(), 1);
        QVERIFY2(engine.refusals[0].contains(message), qPrintable(engine.refusals[0]));
        QCOMPARE(engine.verdicts, QStringList());   // nothing unchecked, nothing registered
        QCOMPARE(setting("CustWordNum"), QString("1"));
        QVERIFY(!QFile::exists(folders.file("Unchecked.txt")));
    }

    // Fault caught: a pace that halves and climbs back, round after round, so that a third of the
    // queries go over a strict server's limit. The server counts them.
    void paceStaysUnderTheServersLimit()
    {
        TestFolders folders;
        // Long enough that the first probe of the limit, 25 queries at most, is not what counts.
        TestWhoisServer server({"--free-ratio", "1", "--limit-per-s", "200", "--stats", folders.file("stats")});
        DataFile::rewrite(folders.file("list.txt"), numberedNames(800));
        Engine engine(server, 0, 1000);
        QStringList statuses;
        QObject::connect(
            &engine.session.run(), &RunControl::openConnections, [&](const QString &text) { statuses << text; });
        QVERIFY(engine.runToEnd(folders.file("list.txt"), 1, 30000));
        QCOMPARE(engine.with("free").size(), 800);
        QVERIFY(engine.session.pool().rate() > 0 && engine.session.pool().rate() < 220);   // learnt, under the limit
        QVERIFY(!statuses.filter(QRegularExpression("pace: [0-9.]+ names/s, set by the server")).isEmpty());
        waitMs(300);   // the server's count is written a few times a second
        const QStringList counts =
            QString::fromLatin1(readBytes(folders.file("stats"))).split(QRegularExpression("\\s+"));
        const double answered = counts.value(1).toDouble(), over = counts.value(3).toDouble();
        QVERIFY2(over / (answered + over) <= 0.05, qPrintable(counts.join(' ')));
    }

    // Fault caught: a name the server singles out (a notice for it alone) waits out the give-up
    // time at the end of the list, or is asked without bound.
    // Faults caught: a name outside ASCII listed and saved only as xn--, and classified by that
    // length (my日本.com in Low Profile); a list checked twice doubling its names in lists and files.
    void namesAsWrittenAndOnce()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1"});
        DataFile::rewrite(folders.file("list.txt"), {QString::fromUtf8("my日本"), "abcd"});
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        const QStringList high {QString::fromUtf8("my日本.com"), "abcd.com"};
        QCOMPARE(engine.session.results().items(ResultList::High), high);
        QCOMPARE(fileEntries(folders.file("SuperHighProfile.txt")), high);
    }

    // A word list's line is read before it is given the endings: fault caught, a name written with
    // a dot outside ASCII taken for a bare word and asked under each ending ("google。com" as
    // com.com, google.com.net), or a bare word not given each ending.
    void wordListLineIsReadBeforeItsEndings()
    {
        TestFolders folders;
        QDir(folders.program()).mkdir("wordlists");
        DataFile::rewrite(folders.file("wordlists/FullWordList.txt"),
            {QString::fromUtf8("google\u3002com"), QString::fromUtf8("google\uff0ecom"),
                QString::fromUtf8("google\uff61com"), QString::fromUtf8("shop\uff61example\uff61net"), "abcd"});
        TestWhoisServer server({"--free-ratio", "1", "--log", folders.file("queries.log")});
        Engine engine(server);
        engine.session.run().setEndings({"com", "net"});
        const SourceSelection selection = engine.session.selectSource(Source::FullWordList);
        QSignalSpy stopped(&engine.session.run(), &RunControl::stopped);
        QCOMPARE(engine.session.start(1, *selection.wordMax), QString());
        QVERIFY(stopped.wait(20000));
        QStringList asked = fileEntries(folders.file("queries.log"));
        asked.sort();
        QCOMPARE(asked, QStringList({"abcd.com", "abcd.net", "example.net", "google.com", "google.com", "google.com"}));
    }

    // Faults caught: an HTTP 429's Retry-After ignored; a wait the server asked for counted as
    // silence, so that the give-up rule stops the run while nothing was sent; a wait past an hour
    // (or too long to hold in a number) waited out, or read as no wait at all.
    void retryAfterSetsTheWait_data()
    {
        QTest::addColumn<QString>("retryAfter");
        QTest::addColumn<QString>("shown");     // in the status panel while the pool waits
        QTest::addColumn<QString>("refusal");   // empty: the run waits on
        QTest::addRow("3 minutes") << "181"
                                   << "the registry asks to wait 3:01"
                                   << "";
        QTest::addRow("one hour") << "3600"
                                  << "the registry asks to wait 1:00:00"
                                  << "";
        QTest::addRow("past an hour") << "3601"
                                      << ""
                                      << "asks to wait 1:00:01";
        QTest::addRow("10^20 seconds") << "100000000000000000000"
                                       << ""
                                       << "days before the next query";
    }
    void retryAfterSetsTheWait()
    {
        QFETCH(QString, retryAfter);
        QFETCH(QString, shown);
        QFETCH(QString, refusal);
        TestFolders folders;
        TestWhoisServer server({"--refuse-all", "--rdap-port", "0", "--retry-after", retryAfter});
        DataFile::rewrite(folders.file("list.txt"), numberedNames(30));
        Engine engine(server, 0, ShortTick);
        engine.askRdap(server);
        QVERIFY(engine.start(folders.file("list.txt")).isEmpty());
        if (!refusal.isEmpty()) {
            TRY_COMPARE_WITH_TIMEOUT(engine.refusals.size(), 1, 5000);
            QVERIFY2(engine.refusals[0].contains(refusal), qPrintable(engine.refusals[0]));
            QCOMPARE(setting("CustWordNum"), QString("1"));
            return;
        }
        TRY_VERIFY_WITH_TIMEOUT(engine.session.pool().askedWaitLeft() > 0, 5000);
        const QString text = engine.session.run().openConnectionsText();
        QVERIFY2(text.contains(shown), qPrintable(text));
        // Well past the give-up time of ticks without a verdict, the run still waits.
        waitMs(LookupPool::GiveUpTicks * ShortTick * 3 / 2);
        QCOMPARE(engine.refusals, QStringList());
        QVERIFY(engine.session.isRunning());
        engine.session.stop();
    }

    // Faults caught: an RDAP answer that is not the registry's word taken for a verdict: a web
    // page's 404, a record of another name, a name the registry reserves.
    void rdapAnswers_data()
    {
        QTest::addColumn<QStringList>("serverOptions");
        QTest::addColumn<bool>("freeAnswered");
        QTest::addColumn<bool>("registeredAnswered");
        QTest::addColumn<QStringList>("reserved");
        QTest::addRow("404 and 200 of the registry") << QStringList() << true << true << QStringList();
        QTest::addRow("404 as a web page") << QStringList {"--html-404"} << false << true << QStringList();
        QTest::addRow("record of another name") << QStringList {"--other-ldh-name"} << true << false << QStringList();
        QTest::addRow("reserved name") << QStringList {"--reserved-name", "name002.com"} << true << true
                                       << QStringList {"name002.com"};
    }
    void rdapAnswers()
    {
        QFETCH(QStringList, serverOptions);
        QFETCH(bool, freeAnswered);
        QFETCH(bool, registeredAnswered);
        QFETCH(QStringList, reserved);
        TestFolders folders;
        const RegisteredThirds list(folders);
        TestWhoisServer server(list.serverOptions(folders) + serverOptions);
        Engine engine(server, 0, ShortTick);
        engine.askRdap(server);
        QStringList reservedSeen;
        QObject::connect(&engine.session, &CheckSession::reserved, [&](const QString &name) { reservedSeen << name; });
        QVERIFY(engine.runToEnd(folders.file("list.txt"), 1, 30000));
        QCOMPARE(reservedSeen, reserved);
        // Where one kind of answer is not the registry's word, that kind is never given; the
        // others are given right.
        for (const QString &verdict : std::as_const(engine.verdicts)) {
            const QString name = verdict.section(' ', 1);
            if (verdict.startsWith("free "))
                QVERIFY2(freeAnswered && !list.registered.contains(name), qPrintable(verdict));
            if (verdict.startsWith("registered "))
                QVERIFY2(registeredAnswered && list.registered.contains(name), qPrintable(verdict));
        }
        if (freeAnswered && registeredAnswered) {
            QCOMPARE(engine.refusals, QStringList());
            QCOMPARE(engine.with("registered").size(), list.registered.size());
            QCOMPARE(engine.with("unchecked").size(), reserved.size());
            QCOMPARE(engine.verdicts.size(), list.names.size());
        }
    }

    // Faults caught: a 404 reached through a redirect to another host, or to another port of the
    // same host, taken for "free"; a redirect within the service's origin not followed; a service
    // that answers 429 forever holding the run or losing its place.
    void rdapRefusalsStopTheRunAndKeepItsPlace_data()
    {
        QTest::addColumn<QString>("redirectTo");   // {port}: the service's own port; {other}: another server's
        QTest::addColumn<QString>("refusal");      // empty: every name gets its verdict
        QTest::addRow("another host, same port") << "http://localhost:{port}/"
                                                 << "from another host";
        QTest::addRow("same host, another port") << "http://127.0.0.1:{other}/"
                                                 << "from another host";
        QTest::addRow("same origin") << "http://127.0.0.1:{port}/"
                                     << "";
        QTest::addRow("429 forever") << ""
                                     << "HTTP 429";
    }
    void rdapRefusalsStopTheRunAndKeepItsPlace()
    {
        QFETCH(QString, redirectTo);
        QFETCH(QString, refusal);
        TestFolders folders;
        TestWhoisServer elsewhere({"--free-ratio", "1", "--rdap-port", "0"});
        const QString otherPort = QString(elsewhere.rdapBase()).section(':', -1).remove('/');
        TestWhoisServer server(!redirectTo.isEmpty()
                ? QStringList {"--rdap-port", "0", "--redirect-to", QString(redirectTo).replace("{other}", otherPort)}
                : QStringList {"--rdap-port", "0", "--refuse-all", "--retry-after", "0"});
        DataFile::rewrite(folders.file("list.txt"), numberedNames(40));
        Engine engine(server, 0, ShortTick);
        engine.askRdap(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt"), 1, 20000));
        if (refusal.isEmpty()) {
            QCOMPARE(engine.verdicts.size(), 40);
            QCOMPARE(engine.refusals, QStringList());
            return;
        }
        QCOMPARE(engine.verdicts, QStringList());
        QCOMPARE(engine.refusals.size(), 1);
        QVERIFY2(engine.refusals[0].contains(refusal), qPrintable(engine.refusals[0]));
        QCOMPARE(setting("CustWordNum"), QString("1"));
    }

    // Fault caught: "auto" stays on a port 43 that cannot be reached or refuses every answer.
    void autoFallsOverToRdap_data()
    {
        QTest::addColumn<bool>("whoisListens");
        QTest::addRow("port 43 refuses connections") << false;
        QTest::addRow("port 43 refuses every answer") << true;
    }
    void autoFallsOverToRdap()
    {
        QFETCH(bool, whoisListens);
        TestFolders folders;
        const RegisteredThirds list(folders, 300);   // more than WHOIS is given before it is left
        TestWhoisServer rdap(list.serverOptions(folders));
        TestWhoisServer whois({"--refuse-all"});
        Engine engine(whois, whoisListens ? 0 : unusedPort(), ShortTick);
        engine.askRdap(rdap, Rdap::Protocol::Auto);
        QStringList statuses;
        QObject::connect(
            &engine.session.run(), &RunControl::openConnections, [&](const QString &text) { statuses << text; });
        QSignalSpy fellOver(&engine.session.pool(), &LookupPool::fellOverToRdap);
        QVERIFY(engine.runToEnd(folders.file("list.txt"), 1, 20000));
        QCOMPARE(engine.refusals, QStringList());
        QCOMPARE(engine.with("registered").size(), list.registered.size());
        QCOMPARE(engine.with("free").size(), list.names.size() - list.registered.size());
        QVERIFY(engine.session.pool().fellOver());
        QVERIFY(!statuses.filter("WHOIS failed, asking RDAP").isEmpty());
        QCOMPARE(fellOver.size(), 1);
        QVERIFY2(fellOver[0][0].toString().startsWith("The WHOIS server"), qPrintable(fellOver[0][0].toString()));
    }

    // Faults caught: a certificate error ignored, or a trusted certificate refused.
    void rdapOverTls_data()
    {
        QTest::addColumn<bool>("trusted");
        QTest::addRow("certificate trusted") << true;
        QTest::addRow("certificate not trusted") << false;
    }
    void rdapOverTls()
    {
        QFETCH(bool, trusted);
        TestFolders folders;
        const QString openssl = QStandardPaths::findExecutable("openssl");
        if (openssl.isEmpty())
            QSKIP("openssl is not installed");
        QProcess make;
        make.start(openssl,
            {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1", "-addext",
                "subjectAltName=IP:127.0.0.1", "-keyout", folders.file("key.pem"), "-out", folders.file("cert.pem")});
        QVERIFY(make.waitForFinished(30000) && make.exitCode() == 0);
        const RegisteredThirds list(folders);
        TestWhoisServer server(list.serverOptions(folders)
            + QStringList {"--rdap-cert", folders.file("cert.pem"), "--rdap-key", folders.file("key.pem")});
        QVERIFY(server.rdapBase().startsWith("https://"));
        const QSslConfiguration original = QSslConfiguration::defaultConfiguration();
        if (trusted) {
            QSslConfiguration configuration = original;
            configuration.addCaCertificates(folders.file("cert.pem"));
            QSslConfiguration::setDefaultConfiguration(configuration);
        }
        // 25 handshakes at once take a while on a busy machine (or under the sanitizer): a trusted
        // certificate gets the time of a real run before its refusals count.
        Engine engine(server, 0, trusted ? Tick : ShortTick);
        engine.askRdap(server);
        const bool ended = engine.runToEnd(folders.file("list.txt"), 1, 20000);
        QSslConfiguration::setDefaultConfiguration(original);
        QVERIFY(ended);
        if (trusted) {
            QVERIFY2(engine.refusals.isEmpty(), qPrintable(engine.refusals.join(' ')));
            QCOMPARE(engine.with("registered").size(), list.registered.size());
            QCOMPARE(engine.with("free").size(), list.names.size() - list.registered.size());
        } else {
            QCOMPARE(engine.verdicts, QStringList());
            QCOMPARE(engine.refusals.size(), 1);
            QVERIFY2(engine.refusals[0].contains("cannot be reached"), qPrintable(engine.refusals[0]));
        }
    }

    void repliesWithoutVerdictAreAskedAgain_data()
    {
        QTest::addColumn<QStringList>("serverOptions");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("tick");
        QTest::addRow("every 2nd an empty close") << QStringList {"--empty-every", "2"} << 300 << ShortTick;
        QTest::addRow("every 3rd a limit notice") << QStringList {"--notice-every", "3"} << 300 << ShortTick;
        QTest::addRow("throttled at 300 per second") << QStringList {"--limit-per-s", "300"} << 900 << Tick;
    }
    void repliesWithoutVerdictAreAskedAgain()
    {
        QFETCH(QStringList, serverOptions);
        QFETCH(int, count);
        QFETCH(int, tick);
        TestFolders folders;
        const QStringList names = numberedNames(count);
        QStringList registered;
        for (int i = 0; i < names.size(); i += 3)
            registered << names[i] + ".com";
        DataFile::rewrite(folders.file("registered.txt"), registered);
        TestWhoisServer server(serverOptions + QStringList {"--registered", folders.file("registered.txt")});
        DataFile::rewrite(folders.file("list.txt"), names);
        Engine engine(server, 0, tick);
        QVERIFY(engine.runToEnd(folders.file("list.txt"), 1, 60000));
        QCOMPARE(engine.refusals, QStringList());
        QCOMPARE(engine.with("unchecked"), QStringList());
        QCOMPARE(engine.with("registered").size(), registered.size());
        QCOMPARE(engine.with("free").size(), names.size() - registered.size());
    }

    void recordWithoutMarkerIsNoVerdict()
    {
        TestFolders folders;
        // Records cut before their marker: neither free nor registered.
        DataFile::rewrite(folders.file("registered.txt"), {"name003.com"});
        TestWhoisServer server({"--registered", folders.file("registered.txt"), "--reply-bytes", "60"});
        DataFile::rewrite(folders.file("list.txt"), numberedNames(20));
        Engine engine(server, 0, ShortTick);
        engine.session.setRegisteredMarker("Registrar WHOIS Server:");
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(engine.with("unchecked"), QStringList {"unchecked name003.com"});
        QCOMPARE(engine.with("free").size(), 19);
        QCOMPARE(fileEntries(folders.file("Unchecked.txt")), QStringList {"name003.com"});
    }

    void stopDuringBackOffLeavesNothingRunning()
    {
        TestFolders folders;
        TestWhoisServer server({"--notice-every", "1", "--log", folders.file("queries.log")});
        DataFile::rewrite(folders.file("list.txt"), numberedNames(60));
        Engine engine(server);
        QCOMPARE(engine.start(folders.file("list.txt")), QString());
        TRY_VERIFY_WITH_TIMEOUT(engine.session.pool().isPaused(), 5000);
        engine.session.stop();
        QVERIFY(!engine.session.pool().isPaused());
        QCOMPARE(engine.session.pool().inFlight(), 0);
        // The server writes its log a few times a second: queries sent before the stop may come later.
        waitMs(5 * Tick);
        const qsizetype asked = fileEntries(folders.file("queries.log")).size();
        waitMs(5 * Tick);
        QCOMPARE(fileEntries(folders.file("queries.log")).size(), asked);
        QCOMPARE(setting("CustWordNum"), QString("1"));
    }

    void hugeReplyIsCapped()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1", "--reply-bytes", "10000000"});
        DataFile::rewrite(folders.file("list.txt"), {"abc"});
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(engine.verdicts, QStringList {"free abc.com"});
        QVERIFY(engine.session.peakReplyBytes() <= Reply::Cap);
    }

    void decodedLineBreakSendsOneLine()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1", "--log", folders.file("queries.log")});
        DataFile::rewrite(folders.file("list.txt"), {"ab%0D%0Acd", "x%0Ay"});
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(fileEntries(folders.file("queries.log")), (QStringList {"abcd.com", "xy.com"}));
        QCOMPARE(readBytes(folders.file("queries.log")), QByteArray("abcd.com\nxy.com\n"));
    }

    void startStatusAndStop()
    {
        TestFolders folders;
        QDir(folders.program()).mkdir("wordlists");
        DataFile::rewrite(folders.file("wordlists/FullWordList.txt"), numberedNames(500));
        SettingsStore::save("Quillon", "Settings", "FullWordNum", "300");
        TestWhoisServer server({"--silent-every", "1"});
        Engine engine(server);
        QStringList entryStatus, openStatus;
        QObject::connect(&engine.session.run(), &RunControl::entryStatus, [&](const QString &t) { entryStatus << t; });
        QObject::connect(
            &engine.session.run(), &RunControl::openConnections, [&](const QString &t) { openStatus << t; });
        engine.session.selectSource(Source::FullWordList);
        QCOMPARE(engine.session.start(1, 500), QString());
        QCOMPARE(entryStatus.last(), QString("26 of 500"));
        QCOMPARE(openStatus.last(), QString("Open: 25"));
        // Nothing has an answer yet: a run killed now begins with the first name again.
        QCOMPARE(setting("FullWordNum"), QString("1"));
        QCOMPARE(setting("wordNumber"), QString("1"));
        engine.session.stop();
        QCOMPARE(setting("FullWordNum"), QString("1"));
        QVERIFY(!engine.session.isRunning());
    }

    void stopAndStartAgainAtOnce()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1"});
        DataFile::rewrite(folders.file("list.txt"), numberedNames(3));
        Engine engine(server);
        QSignalSpy stopped(&engine.session.run(), &RunControl::stopped);
        bool restarted = false;
        // Stop and start again right after the last verdict, before the old run's queued fill and
        // end come round: they must not reach the new run.
        QObject::connect(&engine.session, &CheckSession::verdict, [&] {
            if (engine.verdicts.size() == 3 && !restarted) {
                restarted = true;
                engine.session.stop();
                QCOMPARE(engine.start(folders.file("list.txt")), QString());
            }
        });
        QCOMPARE(engine.start(folders.file("list.txt")), QString());
        TRY_COMPARE_WITH_TIMEOUT(stopped.size(), 2, 10000);
        QCOMPARE(engine.verdicts.size(), 6);
    }

    void closingConnectionsOnTheLastNames()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1"});
        DataFile::rewrite(folders.file("list.txt"), numberedNames(10));
        Engine engine(server);
        QStringList openStatus, connectionStatus;
        QObject::connect(
            &engine.session.run(), &RunControl::openConnections, [&](const QString &t) { openStatus << t; });
        QObject::connect(&engine.session.registry(), &RegistryStage::connectionStatus,
            [&](const QString &t) { connectionStatus << t; });
        QVERIFY(engine.runToEnd(folders.file("list.txt")));
        QCOMPARE(openStatus.last(), QString("Open: Closing connections..."));
        // Fault caught: the last "connecting(N)" left beside a count of no open connection.
        QVERIFY(connectionStatus.first().startsWith("connecting("));
        QCOMPARE(connectionStatus.last(), RegistryStage::NoConnectionText);
    }

    // The summary says why a run ended. Fault caught: a list changed under the run told as a
    // result that could not be saved, or as a plain stop.
    void summarySaysWhyTheRunEnded()
    {
        TestFolders folders;
        // 2,000 names at 25 a tenth of a second: the list changes long before the run could end.
        TestWhoisServer server({"--free-ratio", "1", "--latency-ms", "100"});
        DataFile::rewrite(folders.file("list.txt"), numberedNames(2000));
        Engine engine(server);
        QSignalSpy stopped(&engine.session.run(), &RunControl::stopped);
        QCOMPARE(engine.start(folders.file("list.txt")), QString());
        TRY_VERIFY_WITH_TIMEOUT(!engine.verdicts.isEmpty(), 10000);
        DataFile::rewrite(folders.file("list.txt"), numberedNames(3000));
        QVERIFY(stopped.wait(20000));
        const QString summary = engine.session.summaryText();
        QVERIFY2(summary.startsWith("Custom List stopped: its list changed at entry "), qPrintable(summary));
        QVERIFY2(
            summary.contains(QString("; it resumes at entry %1. ").arg(setting("CustWordNum"))), qPrintable(summary));
    }

    // An entry is open until each of its names has its outcome. Faults caught: an entry closed by
    // its first name (with two endings, a stop between them skips the second); a count lost when
    // an entry comes to no name, or when a name of an entry not open is told.
    void ledgerKeepsEveryNameOpen_data()
    {
        QTest::addColumn<QList<qint64>>("opened");   // entry, names; ...
        QTest::addColumn<QList<qint64>>("closed");
        QTest::addColumn<qint64>("earliest");
        using L = QList<qint64>;
        QTest::addRow("nothing read") << L {} << L {} << qint64(0);
        QTest::addRow("one of two endings told") << L {3, 2, 4, 1} << L {3, 4} << qint64(3);
        QTest::addRow("both told") << L {3, 2, 4, 1} << L {3, 3} << qint64(4);
        QTest::addRow("a later entry told first") << L {3, 1, 4, 1} << L {4} << qint64(3);
        QTest::addRow("an entry of no names") << L {3, 0, 4, 1} << L {} << qint64(4);
        QTest::addRow("a name of no entry told") << L {3, 1} << L {0, 9} << qint64(3);
    }
    void ledgerKeepsEveryNameOpen()
    {
        QFETCH(QList<qint64>, opened);
        QFETCH(QList<qint64>, closed);
        EntryLedger ledger;
        for (qsizetype i = 0; i + 1 < opened.size(); i += 2)
            ledger.open(opened[i], int(opened[i + 1]));
        for (const qint64 entry : closed)
            ledger.close(entry);
        QTEST(ledger.earliestOpen(), "earliest");
    }

    // A free name is in its file or not shown. The Mid list was cleared and its file cannot be moved
    // aside (a file stands where backups/ should be), so the second of the three profile files
    // fails. Fault caught: the High file written though the name was taken out of its list, so that
    // the next High name was shown and counted but never written, and the first written twice.
    void freeNameInItsFileOrNotShown()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1"});
        DataFile::rewrite(folders.file("mid.txt"), {"midone", "midtwo"});
        const QStringList high {"hiaa", "hibb", "hicc"};
        DataFile::rewrite(folders.file("high.txt"), high);
        Engine engine(server);
        QVERIFY(engine.runToEnd(folders.file("mid.txt")));
        ResultLists &results = engine.session.results();
        results.clear(ResultList::Mid, true);
        QVERIFY(QDir(folders.file("backups")).removeRecursively());
        writeBytes(folders.file("backups"), "not a folder");

        QVERIFY(engine.runToEnd(folders.file("high.txt")));
        QCOMPARE(engine.session.run().lastEnd(), RunEnd::Unsaved);
        QCOMPARE(engine.session.run().resumeSaved(), 1);
        QVERIFY(engine.verdicts.filter(" hi").isEmpty());
        QVERIFY(results.items(ResultList::High).isEmpty());
        QCOMPARE(results.counter(ResultList::High), 0);
        const QString highFile = folders.file("SuperHighProfile.txt");
        QVERIFY2(
            fileEntries(highFile).isEmpty() || !QFile::exists(highFile), qPrintable(fileEntries(highFile).join(' ')));

        // Mended, the run resumes: each name once, in its list and its file alike.
        QVERIFY(QFile::remove(folders.file("backups")));
        QVERIFY(engine.runToEnd(folders.file("high.txt"), engine.session.run().resumeSaved()));
        QCOMPARE(engine.session.run().lastEnd(), RunEnd::Finished);
        const QStringList expected {"hiaa.com", "hibb.com", "hicc.com"};
        QStringList listed = results.items(ResultList::High);
        listed.sort();
        QCOMPARE(listed, expected);
        QStringList written = fileEntries(highFile);
        written.sort();
        QCOMPARE(written, expected);
        QCOMPARE(results.counter(ResultList::High), 3);
    }

    // Faults caught: a verdict after the click; a resume position past an entry still open (with
    // two endings, one of its names without a verdict), or short of the first open one.
    void stopThenResume_data()
    {
        QTest::addColumn<QStringList>("endings");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("stopAfter");   // verdicts; 1: at the first verdict of entry 1
        QTest::addRow(".com, mid-run") << QStringList {"com"} << 60 << 30;
        QTest::addRow(".com and .net, between the two of entry 1") << QStringList {"com", "net"} << 10 << 1;
    }
    void stopThenResume()
    {
        QFETCH(QStringList, endings);
        QFETCH(int, count);
        QFETCH(int, stopAfter);
        TestFolders folders;
        const QStringList names = numberedNames(count);
        TestWhoisServer server({"--free-ratio", "0.5", "--latency-ms", "150"});
        DataFile::rewrite(folders.file("list.txt"), names);
        Engine engine(server);
        engine.session.run().setEndings(endings);
        const QMetaObject::Connection click =
            QObject::connect(&engine.session, &CheckSession::verdict, [&](const QString &name) {
                if (engine.verdicts.size() >= stopAfter && (stopAfter > 1 || name.startsWith(names[0] + ".")))
                    engine.session.stop();
            });
        QCOMPARE(engine.start(folders.file("list.txt")), QString());
        TRY_VERIFY_WITH_TIMEOUT(!engine.session.isRunning(), 10000);
        QObject::disconnect(click);
        const QStringList before = engine.verdicts;
        waitMs(400);
        QCOMPARE(engine.verdicts, before);   // no verdict after the click

        // The resume position is the first entry with a name without a verdict.
        const auto answered = [&engine, &endings](const QString &name) {
            for (const QString &ending : endings) {
                if (engine.verdicts.filter(" " + name + "." + ending).isEmpty())
                    return false;
            }
            return true;
        };
        int firstOpen = 0;
        for (int i = 0; i < names.size() && !firstOpen; ++i) {
            if (!answered(names[i]))
                firstOpen = i + 1;
        }
        QVERIFY(firstOpen > 0);
        QCOMPARE(setting("CustWordNum"), QString::number(firstOpen));

        QVERIFY(engine.runToEnd(folders.file("list.txt"), setting("CustWordNum").toLongLong()));
        for (const QString &name : names)
            QVERIFY2(answered(name), qPrintable(name));
        QCOMPARE(setting("CustWordNum"), QString::number(count + 1));
    }
};

QTEST_GUILESS_MAIN(TestRunControl)
#include "TestRunControl.moc"
