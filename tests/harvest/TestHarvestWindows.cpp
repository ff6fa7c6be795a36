#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "app/DataFile.h"
#include "ui/Form1.h"
#include "ui/Form3.h"
#include "ui/Form5.h"
#include "ui/ResultListWidgets.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>
#include <functional>

namespace {

QByteArray LinksPage(const QStringList &names)
{
    QByteArray page = "<html><body><h1>Results</h1>\n";
    for (const QString &name : names)
        page += "<a href=\"http://www." + name.toLatin1() + "/index.html\">" + name.toLatin1() + "</a><br>\n";
    return page + "<a href=\"http://www.google.com/more\">more</a></body></html>";
}

QStringList Names(const QString &stem, int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QString("%1n%2.com").arg(stem).arg(i, 2, 10, QChar('0'));
    return names;
}

void Choose(Form1 &window, Source source)
{
    window.Combo1->setCurrentIndex(int(source));
    emit window.Combo1->activated(int(source));
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
            return LinksPage(Names(QString("y%1").arg(b, 3, 10, QChar('0')), 20));
        };
        TestWhoisServer whois({"--free-ratio", "0.5"});
        EnvironmentVariable host("TAMARIND_YAHOO_HOST", web.host().toLatin1());
        Form1 window;
        window.session().setServer(Whois::Server::parse(whois.address()));
        Choose(window, Source::YahooSearch);
        window.txtSearch->setText("blue widgets & more");
        window.Combo2->setCurrentIndex(0);   // ~100 names
        QSignalSpy stopped(&window.run(), &RunControl::stopped);
        window.cmdCreate->click();
        auto *builder = qobject_cast<Form3 *>(window.listBuilderWindow());
        QVERIFY(builder);
        QCOMPARE(builder->windowTitle(), QString("List Builder - Finding domain names..."));
        builder->setPageInterval(20);
        QCOMPARE(AcceptMessage(window), QString("List of 100 unique domains was created successfully!"));
        QTRY_VERIFY(!window.listBuilderWindow());
        const QList<QByteArray> requests = web.requestsFor("/search/dir");
        QCOMPARE(requests.size(), 5);
        QVERIFY(requests[0].startsWith("/search/dir?h=s&xargs=0&p=blue+widgets+&+more&b=1"));
        QVERIFY(requests[1].endsWith("&b=21"));
        QVERIFY(requests[2].endsWith("&b=41"));
        const QStringList list = FileEntries(folders.file("BrowserSearch.txt"));
        QCOMPARE(list.size(), 100);
        QCOMPARE(list.first(), QString("y001n00.com"));
        QCOMPARE(FileEntries(folders.file("searches/Yahoo blue widgets & more.txt")), list);
        QCOMPARE(window.txtWordMax->text(), QString("100"));
        QTRY_VERIFY_WITH_TIMEOUT(!stopped.isEmpty(), 20000);   // the run went over the list, perhaps already
        QCOMPARE(window.List3->count() + window.List4->count() + window.List1->count() + window.List2->count(), 100);
    }

    void googlePagesEndWhenNothingIsNew()
    {
        TestFolders folders;
        TestWebServer web;
        web.page = [](const QByteArray &path) {
            const int start = path.mid(path.indexOf("start=") + 6).split('&').constFirst().toInt();
            return LinksPage(Names(start == 100 ? "gb" : "ga", 10));   // the third page repeats the first
        };
        EnvironmentVariable host("TAMARIND_GOOGLE_HOST", web.host().toLatin1());
        Form1 window;
        window.session().setServer(Whois::Server::parse(QString("127.0.0.1:%1").arg(UnusedPort())));
        Choose(window, Source::GoogleSearch);
        window.txtSearch->setText("a/b");   // no copy: a search text that cannot be a file name
        window.cmdCreate->click();
        qobject_cast<Form3 *>(window.listBuilderWindow())->setPageInterval(20);
        QVERIFY(AcceptMessage(window).contains("created successfully"));
        QTRY_VERIFY(!window.listBuilderWindow());
        const QList<QByteArray> requests = web.requestsFor("/search?");
        QCOMPARE(requests.size(), 3);
        QVERIFY(requests[0].contains("&start=0&sa=N&q=a/b"));
        QVERIFY(requests[1].contains("&start=100&"));
        QVERIFY(requests[2].contains("&start=200&"));
        QCOMPARE(FileEntries(folders.file("BrowserSearch.txt")).size(), 20);
        QCOMPARE(QDir(folders.file("searches")).entryList(QDir::Files), QStringList());
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
        WriteBytes(folders.file("BrowserSearch.txt"), "stale.com\r\n");
        Choose(window, Source::BrowseForNames);
        auto *harvest = qobject_cast<Form5 *>(window.harvestWindow());
        QVERIFY(harvest);
        QVERIFY(!QFile::exists(folders.file("BrowserSearch.txt")));   // a fresh list for the window
        harvest->checker().setTickInterval(50);
        harvest->Text1->setEditText(QString("http://%1/frames.html").arg(web.host()));
        harvest->Command1->click();
        QTRY_COMPARE_WITH_TIMEOUT(harvest->List1->count() + harvest->List2->count(), 3, 20000);
        QCOMPARE(Items(harvest->List1), (QStringList {"alpha.com", "betaname.net"}));
        QCOMPARE(Items(harvest->List2), QStringList {"taken.com"});
        QCOMPARE(
            FileEntries(folders.file("BrowserSearch.txt")), (QStringList {"alpha.com", "betaname.net", "taken.com"}));
        QCOMPARE(FileEntries(folders.file("queries.log")), (QStringList {"alpha.com", "betaname.net", "taken.com"}));
        // A frame pointing at its own page is followed once: the requests stay few.
        QTest::qWait(500);
        QVERIFY(web.requestsFor("/frames.html").size() <= 5);
        QCOMPARE(Items(window.List4), QStringList {"alpha.com"});
        QCOMPARE(Items(window.List1), QStringList {"betaname.net"});
        QCOMPARE(harvest->Label1->text(), QString("Unregistered: (2)"));
        QVERIFY(harvest->windowTitle().startsWith("Tamarind - "));

        // Clearing the unregistered list lets its names be found, and asked, again.
        harvest->cmdClear[1]->click();
        QCOMPARE(harvest->Label1->text(), QString("Unregistered:"));
        QCOMPARE(harvest->List1->count(), 0);
        harvest->WebBrowser1->reload();
        QTRY_COMPARE_WITH_TIMEOUT(harvest->List1->count(), 2, 20000);

        // The window keeps its 6500-twip minimum.
        harvest->resize(100, 100);
        QTRY_COMPARE(harvest->size(), QSize(6500 / 15, 6500 / 15));
        harvest->close();
        QVERIFY(!QFile::exists(folders.file("BrowserSearch.txt")));
    }
};

QTEST_MAIN(TestHarvestWindows)
#include "TestHarvestWindows.moc"
