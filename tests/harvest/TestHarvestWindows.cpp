#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "app/DataFile.h"
#include "app/SettingsStore.h"
#include "harvest/HarvestChecker.h"
#include "run/CheckSession.h"
#include "ui/Form1.h"
#include "ui/Form3.h"
#include "ui/Form5.h"
#include "ui/ResultListWidgets.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>
#include <functional>

namespace {

QByteArray linksPage(const QStringList &names)
{
    QByteArray page = "<html><body><h1>Results</h1>\n";
    for (const QString &name : names)
        page += "<a href=\"http://www." + name.toLatin1() + "/index.html\">" + name.toLatin1() + "</a><br>\n";
    return page + "<a href=\"http://www.google.com/more\">more</a></body></html>";
}

QStringList numberedNames(const QString &stem, int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QString("%1n%2.com").arg(stem).arg(i, 2, 10, QChar('0'));
    return names;
}

void choose(Form1 &window, Source source)
{
    choose(window, int(source));
}

// The harvest window as choosing "Browse for names" opens it, its checks asking `whois`.
Form5 *openHarvestWindow(Form1 &window, const TestWhoisServer &whois)
{
    window.session().setServer(Whois::Server::parse(whois.address()));
    choose(window, Source::BrowseForNames);
    auto *harvest = qobject_cast<Form5 *>(window.harvestWindow());
    harvest->checker().setTickInterval(50);
    // The home page's load ends before the test types, as a user's does: a title that comes later
    // puts the page's own address back in the box, and its load stopped reads as a failed page.
    const bool homePageLoaded = waitUntil([harvest] { return harvest->panels[2]->text() == "Done"; }, 15000);
    return homePageLoaded ? harvest : nullptr;
}

}   // namespace

class TestHarvestWindows : public QObject
{
    Q_OBJECT

private slots:
    void yahooListBuilder()
    {
        TestFolders folders;
        TestWebServer web;
        web.page = [](const QByteArray &path) {
            const int b = path.mid(path.indexOf("&b=") + 3).toInt();
            return linksPage(numberedNames(QString("y%1").arg(b, 3, 10, QChar('0')), 20));
        };
        TestWhoisServer whois({"--free-ratio", "0.5"});
        EnvironmentVariable host("TAMARIND_YAHOO_HOST", web.host().toLatin1());
        Form1 window;
        window.session().setServer(Whois::Server::parse(whois.address()));
        choose(window, Source::YahooSearch);
        control<QLineEdit>(window, "txtSearch")->setText("blue widgets & more");
        control<QComboBox>(window, "Combo2")->setCurrentIndex(0);   // ~100 names
        QSignalSpy stopped(&window.run(), &RunControl::stopped);
        control<QToolButton>(window, "cmdCreate")->click();
        auto *builder = qobject_cast<Form3 *>(window.listBuilderWindow());
        QVERIFY(builder);
        QCOMPARE(builder->windowTitle(), QString("List Builder - Finding domain names..."));
        builder->setPageInterval(20);
        QCOMPARE(acceptMessage(window), QString("List of 100 unique domains was created successfully!"));
        TRY_VERIFY(!window.listBuilderWindow());
        const QList<QByteArray> requests = web.requestsFor("/search/dir");
        QCOMPARE(requests.size(), 5);
        QVERIFY(requests[0].startsWith("/search/dir?h=s&xargs=0&p=blue+widgets+&+more&b=1"));
        QVERIFY(requests[1].endsWith("&b=21"));
        QVERIFY(requests[2].endsWith("&b=41"));
        const QStringList list = fileEntries(folders.file("BrowserSearch.txt"));
        QCOMPARE(list.size(), 100);
        QCOMPARE(list.first(), QString("y001n00.com"));
        QCOMPARE(fileEntries(folders.file("searches/Yahoo blue widgets & more.txt")), list);
        QCOMPARE(control<QLineEdit>(window, "txtWordMax")->text(), QString("100"));
        TRY_VERIFY_WITH_TIMEOUT(!stopped.isEmpty(), 20000);   // the run went over the list, perhaps already
        QCOMPARE(control<QListWidget>(window, "List3")->count() + control<QListWidget>(window, "List4")->count()
                + control<QListWidget>(window, "List1")->count() + control<QListWidget>(window, "List2")->count(),
            100);
    }

    // A search that ends during a run asks before its list replaces the run; "Stop the run" keeps
    // the run's place and checks the list. Fault caught: the run replaced without a word.
    void searchListAsksBeforeItReplacesARun()
    {
        TestFolders folders;
        TestWebServer web;
        web.page = [](const QByteArray &) { return linksPage(numberedNames("y", 20)); };
        // 50 names are answered; the run then waits at entry 51 until it is stopped: it outlasts the search.
        TestWhoisServer whois(QStringList {"--free-ratio", "1"} + holdingReplies(50, folders.file("hold")));
        DataFile::rewrite(folders.file("custom.txt"), numberedNames("c", 400));
        EnvironmentVariable host("TAMARIND_YAHOO_HOST", web.host().toLatin1());
        Form1 window;
        window.session().setServer(Whois::Server::parse(whois.address()));
        window.chooseCustomList = [&] { return folders.file("custom.txt"); };
        choose(window, Source::YahooSearch);
        control<QLineEdit>(window, "txtSearch")->setText("widgets");
        control<QComboBox>(window, "Combo2")->setCurrentIndex(0);
        control<QToolButton>(window, "cmdCreate")->click();
        qobject_cast<Form3 *>(window.listBuilderWindow())->setPageInterval(20);
        choose(window, Source::CustomList);
        control<QToolButton>(window, "cmdDoSearch")->click();
        QVERIFY(window.run().isRunning());
        TRY_COMPARE(window.results().items(ResultList::High).size(), 50);
        QVERIFY(acceptMessage(window).contains("successfully"));
        const QString asked = answerQuestion(window, "Stop the run");
        QVERIFY2(asked.startsWith("A run of Custom List is going on, at entry "), qPrintable(asked));
        TRY_COMPARE(window.run().runSource(), Source::YahooSearch);
        QCOMPARE(SettingsStore::get("Quillon", "Settings", "CustWordNum", "0"), QString("51"));
    }

    // Faults caught: a failed search reported as a success, an empty run started, a saved search
    // replaced by an empty one; and the finished list checked under whatever source the top band
    // shows by then (here Full Word List, chosen during the search).
    void failedSearchPages_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("checked");
        QTest::addRow("server error") << "first page 500"
                                      << "the server answered HTTP 500" << 0;
        QTest::addRow("second page fails") << "second page 500"
                                           << "The list holds the 20 unique domains" << 20;
        QTest::addRow("no answer") << "silent"
                                   << "no answer within 1 seconds" << 0;
        QTest::addRow("refused connection") << "refused"
                                            << "could not be loaded" << 0;
    }
    void failedSearchPages()
    {
        QFETCH(QString, failure);
        QFETCH(QString, message);
        QFETCH(int, checked);
        TestFolders folders;
        TestWebServer web;
        web.page = [](const QByteArray &path) {
            const int b = path.mid(path.indexOf("&b=") + 3).toInt();
            return linksPage(numberedNames(QString("y%1").arg(b, 3, 10, QChar('0')), 20));
        };
        web.status = [&](const QByteArray &path) {
            const bool first = path.endsWith("&b=1");
            return (failure == "first page 500" && first) || (failure == "second page 500" && !first) ? 500 : 200;
        };
        QTcpServer silent;   // takes the connection and never answers
        silent.listen(QHostAddress::LocalHost);
        const QString host = failure == "silent" ? QString("127.0.0.1:%1").arg(silent.serverPort())
            : failure == "refused"               ? QString("127.0.0.1:%1").arg(unusedPort())
                                                 : web.host();
        EnvironmentVariable hostVariable("TAMARIND_YAHOO_HOST", host.toLatin1());
        QDir(folders.program()).mkdir("searches");
        writeBytes(folders.file("searches/Yahoo widgets.txt"), "saved.com\r\n");
        TestWhoisServer whois({"--free-ratio", "1"});
        Form1 window;
        window.session().setServer(Whois::Server::parse(whois.address()));
        choose(window, Source::YahooSearch);
        control<QLineEdit>(window, "txtSearch")->setText("widgets");
        control<QComboBox>(window, "Combo2")->setCurrentIndex(0);
        control<QToolButton>(window, "cmdCreate")->click();
        auto *builder = qobject_cast<Form3 *>(window.listBuilderWindow());
        builder->setPageInterval(20);
        if (failure == "silent")
            builder->setPageTimeout(1000);
        choose(window, Source::FullWordList);
        QSignalSpy stopped(&window.run(), &RunControl::stopped);
        const QString shown = acceptMessage(window);
        QVERIFY2(shown.contains(message), qPrintable(shown));
        QVERIFY(!shown.contains("successfully"));
        TRY_VERIFY(!window.listBuilderWindow());
        QCOMPARE(readBytes(folders.file("searches/Yahoo widgets.txt")), QByteArray("saved.com\r\n"));
        if (checked == 0) {
            waitMs(200);
            QVERIFY(!window.run().isRunning() && stopped.isEmpty());
            return;
        }
        TRY_VERIFY_WITH_TIMEOUT(!stopped.isEmpty(), 20000);
        QCOMPARE(window.run().runSource(), Source::YahooSearch);
        QCOMPARE(control<QListWidget>(window, "List3")->count() + control<QListWidget>(window, "List4")->count()
                + control<QListWidget>(window, "List1")->count(),
            checked);
        QCOMPARE(items(control<QListWidget>(window, "List4")).first(), QString("y001n00.com"));
    }

    void googlePagesEndWhenNothingIsNew()
    {
        TestFolders folders;
        TestWebServer web;
        web.page = [](const QByteArray &path) {
            const int start = path.mid(path.indexOf("start=") + 6).split('&').constFirst().toInt();
            return linksPage(numberedNames(start == 100 ? "gb" : "ga", 10));   // the third page repeats the first
        };
        EnvironmentVariable host("TAMARIND_GOOGLE_HOST", web.host().toLatin1());
        Form1 window;
        window.session().setServer(Whois::Server::parse(QString("127.0.0.1:%1").arg(unusedPort())));
        choose(window, Source::GoogleSearch);
        control<QLineEdit>(window, "txtSearch")->setText("a/b");   // no copy: a search text that cannot be a file name
        control<QToolButton>(window, "cmdCreate")->click();
        qobject_cast<Form3 *>(window.listBuilderWindow())->setPageInterval(20);
        QVERIFY(acceptMessage(window).contains("created successfully"));
        TRY_VERIFY(!window.listBuilderWindow());
        const QList<QByteArray> requests = web.requestsFor("/search?");
        QCOMPARE(requests.size(), 3);
        QVERIFY(requests[0].contains("&start=0&sa=N&q=a/b"));
        QVERIFY(requests[1].contains("&start=100&"));
        QVERIFY(requests[2].contains("&start=200&"));
        QCOMPARE(fileEntries(folders.file("BrowserSearch.txt")).size(), 20);
        QCOMPARE(QDir(folders.file("searches")).entryList(QDir::Files), QStringList());
    }

    // Fault caught (the sanitizer build aborts on it): windows closed in the middle of a lookup
    // or of page loads (the harvest window's and the list builder's) read freed memory: a record
    // query's abort reaching its half destroyed checker, a page read answered into a half
    // destroyed window, the harvest window outliving the main window's session.
    void windowsClosedMidLookup()
    {
        TestFolders folders;
        TestWebServer web;
        // Only the page asked for holds a name: one on the home page could be checked before the
        // spy below is there, and the page asked for would then hold nothing new.
        web.page = [](const QByteArray &path) -> QByteArray {
            if (path == "/links.html")
                return "<html><body><a href=\"http://golfsample.com\">golf</a></body></html>";
            return "<html><body>start</body></html>";
        };
        TestWhoisServer silent({"--silent-every", "1"});
        EnvironmentVariable host("TAMARIND_YAHOO_HOST", web.host().toLatin1());
        auto window = std::make_unique<Form1>();
        window->session().setServer(Whois::Server::parse(silent.address()));
        choose(*window, Source::BrowseForNames);
        auto *harvest = qobject_cast<Form5 *>(window->harvestWindow());
        TRY_COMPARE_WITH_TIMEOUT(harvest->panels[2]->text(), QString("Done"), 15000);   // the home page
        QSignalSpy checking(&harvest->checker(), &HarvestChecker::checking);
        harvest->checker().setTickInterval(20);
        harvest->Text1->setEditText(web.address("/links.html"));
        QTest::keyClick(harvest->Text1->lineEdit(), Qt::Key_Return);
        TRY_VERIFY_WITH_TIMEOUT(!checking.isEmpty(), 60000);   // a lookup the server never answers
        harvest->Text1->setEditText(web.address("/again.html"));
        QTest::keyClick(harvest->Text1->lineEdit(), Qt::Key_Return);   // and a page on its way
        choose(*window, Source::YahooSearch);                          // and the list builder's
        control<QLineEdit>(*window, "txtSearch")->setText("closing");
        control<QToolButton>(*window, "cmdCreate")->click();
        const QPointer<QWidget> builderAlive(window->listBuilderWindow());
        TRY_VERIFY(!web.requestsFor("/search/dir").isEmpty());
        const QPointer<QWidget> harvestAlive(harvest);
        window.reset();
        QVERIFY(!harvestAlive && !builderAlive);
        waitMs(100);   // whatever the aborted lookups and pages still send
    }

    // Faults caught: one Enter navigating four times and adding three entries; a link written as
    // pages write it today (no slash) dropped; an e-mail address made into an invented name; the
    // checks running while another program runs in the same folder.
    void harvestWindowAsAUserMeetsIt()
    {
        TestFolders folders;
        TestWebServer web;
        web.page = [](const QByteArray &path) -> QByteArray {
            if (path == "/links.html")
                return "<html><body><a href=\"http://golfsample.com\">golf</a>\n"
                       "<p>write to someone@hotelsample.com</p></body></html>";
            return "<html><body>start</body></html>";
        };
        TestWhoisServer whois({"--free-ratio", "1"});
        EnvironmentVariable host("TAMARIND_YAHOO_HOST", web.host().toLatin1());
        Form1 window;
        Form5 *harvest = openHarvestWindow(window, whois);
        QVERIFY(harvest);
        QVERIFY(harvest->windowTitle().startsWith("Tamarind - "));
        const int entries = harvest->Text1->count();
        harvest->Text1->setEditText(web.address("/links.html"));
        QTest::keyClick(harvest->Text1->lineEdit(), Qt::Key_Return);
        TRY_COMPARE_WITH_TIMEOUT(harvest->List1->count(), 2, 20000);
        QCOMPARE(items(harvest->List1), (QStringList {"golfsample.com", "hotelsample.com"}));
        QCOMPARE(web.requestsFor("/links.html").size(), 1);
        QCOMPARE(harvest->Text1->count(), entries + 1);

        // The checks hold the folder: no other run starts there meanwhile.
        CheckSession other;
        DataFile::rewrite(folders.file("list.txt"), {"other"});
        other.selectSource(Source::CustomList, folders.file("list.txt"));
        QVERIFY(other.start(1, 1).startsWith("Another run is going on"));
        QPointer<Form5> shown = harvest;   // Escape closes it (fault caught: only the mouse could)
        QTest::keyClick(harvest->List1, Qt::Key_Escape);
        TRY_VERIFY(!shown);
        QCOMPARE(other.start(1, 1), QString());
        other.stop();
    }

    // Fault caught: names taken from the browser's own error page (its text and scripts hold
    // "crbug.com"), or from a page the server answered with an error, when a load fails.
    void failedPageYieldsNoNames_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addRow("refused connection") << "refused";
        QTest::addRow("HTTP 404 without a body") << "404";
        QTest::addRow("HTTP 500 with a name in it") << "500";
    }
    void failedPageYieldsNoNames()
    {
        QFETCH(QString, failure);
        TestFolders folders;
        TestWebServer web;
        web.page = [&](const QByteArray &path) -> QByteArray {
            if (path == "/bad.html")
                return failure == "500" ? "<html><body>see bad.com</body></html>" : "";
            return "<html><body>see good.com</body></html>";
        };
        web.status = [&](const QByteArray &path) { return path == "/bad.html" ? failure.toInt() : 200; };
        TestWhoisServer whois({"--free-ratio", "1"});
        EnvironmentVariable host("TAMARIND_YAHOO_HOST", web.host().toLatin1());
        Form1 window;
        Form5 *harvest = openHarvestWindow(window, whois);
        QVERIFY(harvest);
        harvest->Text1->setEditText(failure == "refused" ? QString("http://127.0.0.1:%1/bad.html").arg(unusedPort())
                                                         : web.address("/bad.html"));
        harvest->Command1->click();
        TRY_VERIFY_WITH_TIMEOUT(harvest->panels[1]->text().contains("did not load"), 15000);
        harvest->Text1->setEditText(web.address("/good.html"));   // the window goes on as before
        harvest->Command1->click();
        TRY_COMPARE_WITH_TIMEOUT(harvest->List1->count(), 1, 20000);
        QCOMPARE(items(harvest->List1), QStringList {"good.com"});
        QCOMPARE(fileEntries(folders.file("BrowserSearch.txt")), QStringList {"good.com"});
    }

    // Fault caught: names found but not written to BrowserSearch.txt, lost without a word.
    void unwritableHarvestListIsTold()
    {
        TestFolders folders;
        TestWebServer web;
        web.page = [](const QByteArray &) -> QByteArray { return "<html><body>see found.com</body></html>"; };
        EnvironmentVariable host("TAMARIND_YAHOO_HOST", web.host().toLatin1());
        Form1 window;
        choose(window, Source::BrowseForNames);
        auto *harvest = qobject_cast<Form5 *>(window.harvestWindow());
        QDir(folders.program()).mkdir("BrowserSearch.txt");   // no file can be written there
        harvest->Text1->setEditText(web.address("/one.html"));
        harvest->Command1->click();
        TRY_COMPARE_WITH_TIMEOUT(messageTexts(*harvest).size(), 1, 15000);
        harvest->Text1->setEditText(web.address("/two.html"));
        harvest->Command1->click();
        TRY_VERIFY_WITH_TIMEOUT(!web.requestsFor("/two.html").isEmpty(), 15000);
        waitMs(300);
        QCOMPARE(messageTexts(*harvest).size(), 1);   // once
        QVERIFY(messageTexts(*harvest).constFirst().contains("BrowserSearch.txt"));
        QDir(folders.program()).rmdir("BrowserSearch.txt");
    }

    void browserHarvestChecksFrameNames()
    {
        TestFolders folders;
        TestWebServer web;
        web.page = [&web](const QByteArray &path) -> QByteArray {
            if (path == "/frames.html")
                return "<html><frameset cols=\"50%,50%\">\n<frame src=\"http://" + web.host().toLatin1()
                    + "/names.html\">\n<frame src=\"http://" + web.host().toLatin1()
                    + "/frames.html\">\n</frameset></html>";
            if (path == "/names.html")
                return "<html><body><p>Visit alpha.com today</p>\n<p>and betaname.net too</p>\n"
                       "<p>or taken.com</p></body></html>";
            return "<html><body>start</body></html>";
        };
        DataFile::rewrite(folders.file("registered.txt"), {"taken.com"});
        TestWhoisServer whois({"--registered", folders.file("registered.txt"), "--log", folders.file("queries.log")});
        EnvironmentVariable host("TAMARIND_YAHOO_HOST", web.host().toLatin1());
        Form1 window;
        window.session().setServer(Whois::Server::parse(whois.address()));
        writeBytes(folders.file("BrowserSearch.txt"), "stale.com\r\n");
        choose(window, Source::BrowseForNames);
        auto *harvest = qobject_cast<Form5 *>(window.harvestWindow());
        QVERIFY(harvest);
        QVERIFY(!QFile::exists(folders.file("BrowserSearch.txt")));   // a fresh list for the window
        harvest->checker().setTickInterval(50);
        harvest->Text1->setEditText(QString("http://%1/frames.html").arg(web.host()));
        harvest->Command1->click();
        TRY_COMPARE_WITH_TIMEOUT(harvest->List1->count() + harvest->List2->count(), 3, 20000);
        QCOMPARE(items(harvest->List1), (QStringList {"alpha.com", "betaname.net"}));
        QCOMPARE(items(harvest->List2), QStringList {"taken.com"});
        QCOMPARE(
            fileEntries(folders.file("BrowserSearch.txt")), (QStringList {"alpha.com", "betaname.net", "taken.com"}));
        QCOMPARE(fileEntries(folders.file("queries.log")), (QStringList {"alpha.com", "betaname.net", "taken.com"}));
        // A frame pointing at its own page is followed once: the requests stay few.
        waitMs(500);
        QVERIFY(web.requestsFor("/frames.html").size() <= 5);
        QCOMPARE(items(control<QListWidget>(window, "List4")), QStringList {"alpha.com"});
        QCOMPARE(items(control<QListWidget>(window, "List1")), QStringList {"betaname.net"});
        QCOMPARE(harvest->Label1->text(), QString("Unregistered: (2)"));
        QVERIFY(harvest->windowTitle().startsWith("Tamarind - "));

        // Clearing the unregistered list lets its names be found, and asked, again.
        harvest->cmdClear[1]->click();
        QCOMPARE(harvest->Label1->text(), QString("Unregistered:"));
        QCOMPARE(harvest->List1->count(), 0);
        harvest->WebBrowser1->reload();
        TRY_COMPARE_WITH_TIMEOUT(harvest->List1->count(), 2, 20000);

        // The window keeps its 6500-twip minimum.
        harvest->resize(100, 100);
        TRY_COMPARE(harvest->size(), QSize(6500 / 15, 6500 / 15));
        harvest->close();
        QVERIFY(!QFile::exists(folders.file("BrowserSearch.txt")));
    }
};

QTEST_MAIN(TestHarvestWindows)
#include "TestHarvestWindows.moc"
