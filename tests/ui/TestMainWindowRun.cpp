#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "app/DataFile.h"
#include "app/ExitSignals.h"
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "run/SourceFeed.h"
#include "shell/Shutdown.h"
#include "ui/DroppingWindow.h"
#include "ui/Form1.h"
#include "ui/ResultListWidgets.h"
#include "ui/frmMake.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <csignal>
#include <optional>

namespace {

// What a user's choice in the source list sends.
void choose(Form1 &window, Source source)
{
    choose(window, int(source));
}

QStringList numberedNames(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QString("name%1").arg(i, 3, 10, QChar('0'));
    return names;
}

// A Custom List run of `list` against the server, started as a user starts one.
void startCustomList(Form1 &window, const TestWhoisServer &server, const QString &list)
{
    window.session().setServer(Whois::Server::parse(server.address()));
    window.chooseCustomList = [list] { return list; };
    choose(window, Source::CustomList);
    QTest::mouseClick(control<QToolButton>(window, "cmdDoSearch"), Qt::LeftButton);
}

// The last run's summary, as the window keeps it under the lists.
QString summaryOf(const Form1 &window)
{
    return window.findChild<SummaryLabel *>("lblSummary")->summary();
}

// Calls back when the object gets an event of the type.
class EventWatch : public QObject
{
public:
    EventWatch(QObject *watched, QEvent::Type type, std::function<void()> callback)
        : m_type(type)
        , m_callback(std::move(callback))
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == m_type)
            m_callback();
        return false;
    }

private:
    QEvent::Type m_type;
    std::function<void()> m_callback;
};

}   // namespace

class TestMainWindowRun : public QObject
{
    Q_OBJECT

private slots:
    void customListRun()
    {
        TestFolders folders;
        QStringList names, registered;
        for (int i = 0; i < 20; ++i)
            names << QString("n%1").arg(i, 2, 10, QChar('0')) << QString("mid%1x").arg(i, 2, 10, QChar('0'))
                  << QString("lowname%1").arg(i, 2, 10, QChar('0'));
        for (int i = 0; i < 60; i += 7)
            registered << names[i] + ".com";
        DataFile::rewrite(folders.file("registered.txt"), registered);
        DataFile::rewrite(folders.file("custom.txt"), names);
        TestWhoisServer server({"--registered", folders.file("registered.txt")});
        QVERIFY(server.isRunning());

        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        window.session().pool().setTickInterval(100);
        window.chooseCustomList = [&] { return folders.file("custom.txt"); };
        window.show();
        choose(window, Source::CustomList);
        QCOMPARE(control<QLineEdit>(window, "txtWordMax")->text(), QString("60"));
        QCOMPARE(control<QLineEdit>(window, "txtWordNum")->text(), QString("1"));
        QVERIFY(control<QLineEdit>(window, "txtWordNum")->isVisible()
            && !control<QLineEdit>(window, "txtSearch")->isVisible());
        QVERIFY(control<QToolButton>(window, "cmdDoSearch")->isEnabled()
            && !control<QToolButton>(window, "Command3")->isEnabled());

        control<QToolButton>(window, "cmdDoSearch")->click();
        QVERIFY(control<QToolButton>(window, "Command3")->isEnabled());
        QCOMPARE(window.focusWidget(), control<QToolButton>(window, "Command3"));   // not the website button
        QVERIFY(!control<QToolButton>(window, "cmdDoSearch")->isEnabled()
            && !control<QComboBox>(window, "Combo1")->isEnabled()
            && !control<QLineEdit>(window, "txtWordNum")->isEnabled());
        TRY_VERIFY_WITH_TIMEOUT(control<QComboBox>(window, "Combo1")->isEnabled(), 20000);

        QStringList high, mid, low, taken;
        for (const QString &name : names) {
            const QString queried = name + ".com";
            if (registered.contains(queried))
                taken << queried;
            else if (name.size() < 5)
                high << queried;
            else if (name.size() <= 7)
                mid << queried;
            else
                low << queried;
        }
        auto sorted = [](QStringList list) {
            list.sort();
            return list;
        };
        QCOMPARE(sorted(items(control<QListWidget>(window, "List3"))), high);
        QCOMPARE(sorted(items(control<QListWidget>(window, "List4"))), mid);
        QCOMPARE(sorted(items(control<QListWidget>(window, "List1"))), low);
        QCOMPARE(sorted(items(control<QListWidget>(window, "List2"))), sorted(taken));
        QCOMPARE(control<QLabel>(window, "Label3")->text(), QString("High Profile (%1)").arg(high.size()));
        QCOMPARE(fileEntries(folders.file("SuperHighProfile.txt")), items(control<QListWidget>(window, "List3")));
        QCOMPARE(fileEntries(folders.file("HighProfile.txt")), items(control<QListWidget>(window, "List4")));
        QCOMPARE(fileEntries(folders.file("LowProfile.txt")), items(control<QListWidget>(window, "List1")));
        QCOMPARE(SettingsStore::get("Quillon", "Settings", "CustWordNum"), QString("61"));

        // Back at rest: the custom list's saved number is past its end, so the field shows 1.
        QVERIFY(!control<QToolButton>(window, "Command3")->isEnabled()
            && control<QToolButton>(window, "cmdDoSearch")->isEnabled());
        QCOMPARE(control<QLineEdit>(window, "txtWordNum")->text(), QString("1"));
        QCOMPARE(control<QLabel>(window, "Panel1")->text(), QString("Entry Status"));
        QCOMPARE(control<QLabel>(window, "Panel3")->text(), QString("Connection Status"));
        QVERIFY(messageTexts(window).isEmpty());
        // The run's summary stays until the next run (faults caught: the end told nowhere, the
        // free names counted in the wrong profile, a finished run told as stopped).
        // It names its evidence: the service asked, and that it could not be tested without DNS.
        QCOMPARE(summaryOf(window),
            QString("Custom List finished at entry 60 of 60. 60 entries: %6 free (new: %1 high, %2 mid, %3 low; 0 "
                    "already listed), %4 registered, 0 unchecked, 0 skipped. Registry %5 (whois): 60 asked, %6 free, "
                    "%4 registered, 0 unchecked; controls: 0 passed, 0 failed; not tested: DNS found no name "
                    "delegated under it to ask as a control. DNS: not used.")
                .arg(high.size())
                .arg(mid.size())
                .arg(low.size())
                .arg(taken.size())
                .arg(server.address())
                .arg(high.size() + mid.size() + low.size()));
    }

    // Every entry is in one count of the summary, and the summary stays where it is. Faults caught:
    // free names already listed counted nowhere; counts started again by the list cap; the summary
    // hidden by a "Copied" message or a menu's status tip, or kept into the next run; captions that
    // keep the last run's counts into the next.
    void summaryAccountsForEveryEntry()
    {
        TestFolders folders;
        QStringList lines, registered;
        for (int i = 0; i < 10; ++i)
            lines << QString("h%1").arg(i, 3, 10, QChar('0'));   // listed before the run
        for (int i = 0; i < 20; ++i)
            lines << QString("n%1").arg(i, 3, 10, QChar('0'));
        for (int i = 0; i < 5; ++i)
            registered << lines.emplaceBack(QString("r%1").arg(i, 3, 10, QChar('0'))) + ".com";
        lines << "  "
              << "google.com registered 2001"
              << "192.168.0.1"
              << "co.uk";
        DataFile::rewrite(folders.file("custom.txt"), lines);
        DataFile::rewrite(folders.file("registered.txt"), registered);
        QDir(folders.program()).mkdir("overflow");
        TestWhoisServer server({"--registered", folders.file("registered.txt")});
        Form1 window;
        // The High list ten names short of its cap: the run's tenth new name reaches it.
        for (int i = 0; i < ResultLists::Cap - 20; ++i)
            window.results().AddUnregistered(QString("x%1.com").arg(i, 3, 36, QChar('0')));
        for (int i = 0; i < 10; ++i)
            window.results().AddUnregistered(lines[i] + ".com");
        QSignalSpy caps(&window.results(), &ResultLists::capReached);
        QSignalSpy stopped(&window.run(), &RunControl::stopped);
        startCustomList(window, server, folders.file("custom.txt"));
        QVERIFY(stopped.wait(20000));
        QCOMPARE(caps.count(), 1);

        const RunAccount account = window.session().account();
        QCOMPARE(account.entries, lines.size());
        QCOMPARE(account.freeNames(), 30);
        QCOMPARE(account.freeNew[1] + account.freeNew[2], 0);
        QVERIFY(account.freeListed > 0);   // those asked before the cap emptied the list
        QCOMPARE(account.registered, 5);
        QCOMPARE(account.skipped, 3);
        QCOMPARE(account.blank, 1);
        QCOMPARE(account.freeNames() + account.registered + account.unchecked + account.skipped + account.blank,
            account.entries);
        QVERIFY2(summaryOf(window).startsWith("Custom List finished at entry 39 of 39. " + account.text() + ". "),
            qPrintable(summaryOf(window)));

        auto *summary = control<QLabel>(window, "lblSummary");
        const QString shown = summary->text();
        QVERIFY(!shown.isEmpty() && summary->isVisibleTo(&window));
        control<QPushButton>(window, "cmdCopy3")->click();
        QVERIFY(window.statusBar()->currentMessage().startsWith("Copied "));
        QStatusTipEvent tip("Open a list of names");
        QApplication::sendEvent(&window, &tip);
        QCOMPARE(summary->text(), shown);
        QVERIFY(summary->isVisibleTo(&window));

        // The next run: its summary is to come, and the captions count its new names, none yet.
        QCOMPARE(control<QLabel>(window, "Label3")->text(), QString("High Profile (10)"));
        QSignalSpy started(&window.run(), &RunControl::started);
        QTest::mouseClick(control<QToolButton>(window, "cmdDoSearch"), Qt::LeftButton);
        QCOMPARE(started.count(), 1);
        QCOMPARE(summary->text(), QString());
        QCOMPARE(control<QLabel>(window, "Label3")->text(), QString("High Profile (0 new · 10)"));
        QCOMPARE(control<QLabel>(window, "Label2")->text(), QString("Registered (0 · last 5)"));
    }

    // A name its registry sells at a price of its own is free, and marked in its list with why; its
    // WHOIS server is the one given for its ending, read by its registry's rules (the replies are
    // .sx's own). Faults caught: the premium word lost between the reply and the list; a free name
    // marked that is not premium.
    void premiumNameMarkedInItsList()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("custom.txt"), {"domain.sx", "u34jedzcq.sx"});
        // DNS finds neither name delegated, as for a free name.
        TestWhoisServer server({"--replay", TAMARIND_TEST_DATA "/registries", "--dns-port", "0", "--held-ratio", "1"});
        Form1 window;
        window.session().setWhoisServers(
            Whois::withKnownServers({{"sx", Whois::Server::parse(server.address())}}), loadWhoisRules());
        window.session().setDns(true, server.dnsAddress());
        QSignalSpy stopped(&window.run(), &RunControl::stopped);
        startCustomList(window, server, folders.file("custom.txt"));
        QVERIFY(stopped.wait(20000));
        const QList<QListWidgetItem *> premium =
            control<QListWidget>(window, "List4")->findItems("domain.sx", Qt::MatchExactly);
        QCOMPARE(premium.size(), 1);
        QCOMPARE(premium.first()->toolTip(), QString("Premium: the registry sells this name at a price of its own"));
        const QList<QListWidgetItem *> plain =
            control<QListWidget>(window, "List1")->findItems("u34jedzcq.sx", Qt::MatchExactly);
        QCOMPARE(plain.size(), 1);
        QVERIFY(plain.first()->toolTip().isEmpty());
    }

    // Faults caught: a list opened from the desktop not chosen as Custom List, --start ignored, a
    // missing list starting anything; the progress bar missing during a run or left after it.
    void listFromTheDesktop()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("desktop.txt"), numberedNames(200));
        TestWhoisServer server({"--latency-ms", "20"});
        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        window.chooseCustomList = [] { return QString(); };   // no dialog may open
        window.show();
        auto *progress = control<QProgressBar>(window, "runProgress");
        QVERIFY(!progress->isVisible());

        window.openList(folders.file("missing.txt"), true);
        QVERIFY(acceptMessage(window).contains("cannot be opened"));
        QVERIFY(!window.run().isRunning() && window.isVisible());

        window.openList(folders.file("desktop.txt"), false);
        QCOMPARE(control<QComboBox>(window, "Combo1")->currentIndex(), int(Source::CustomList));
        QCOMPARE(control<QLineEdit>(window, "txtWordMax")->text(), QString("200"));
        QVERIFY(!window.run().isRunning());

        window.openList(folders.file("desktop.txt"), true);
        QVERIFY(window.run().isRunning());
        QVERIFY(progress->isVisible());
        TRY_VERIFY(progress->text().contains(QRegularExpression("^[0-9]+% - [0-9]+ names/s")));
        TRY_VERIFY(control<QLabel>(window, "Panel1")->text().endsWith(" of 200"));   // the one count of entries
        TRY_VERIFY_WITH_TIMEOUT(!window.run().isRunning(), 20000);
        QVERIFY(!progress->isVisible());
    }

    // Faults caught besides the field check: a position kept for a list that changed since is
    // used; a list that did not change starts over.
    void savedPositionAndFieldCheck_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<bool>("listChanged");
        QTest::addColumn<QString>("shown");
        QTest::addRow("inside the list") << "120" << false << "120";
        QTest::addRow("at the end") << "500" << false << "1";
        QTest::addRow("past the end") << "501" << false << "1";
        QTest::addRow("inside a list changed since") << "120" << true << "1";
    }
    void savedPositionAndFieldCheck()
    {
        QFETCH(QString, saved);
        QFETCH(bool, listChanged);
        QFETCH(QString, shown);
        TestFolders folders;
        QDir(folders.program()).mkdir("wordlists");
        QStringList words;
        for (int i = 0; i < 500; ++i)
            words << QString("w%1").arg(i);
        DataFile::rewrite(folders.file("wordlists/FullWordList.txt"), words);
        SettingsStore::save("Quillon", "Settings", "FullWordNum", saved);
        SourceFeed list;
        list.setPath(folders.file("wordlists/FullWordList.txt"));
        SettingsStore::save("Quillon", "Settings", "FullWordNumList",
            listChanged ? list.fingerprint().replace(0, 1, "9") : list.fingerprint());
        Form1 window;
        choose(window, Source::FullWordList);
        QCOMPARE(control<QLineEdit>(window, "txtWordMax")->text(), QString("500"));
        QCOMPARE(control<QLineEdit>(window, "txtWordNum")->text(), shown);
        QCOMPARE(control<QLabel>(window, "Panel1")->text().contains("changed since entry 120"), listChanged);
    }

    void sourceGroups_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<bool>("wordList");
        QTest::addColumn<bool>("search");
        QTest::addRow("browse") << int(Source::BrowseForNames) << false << false;
        QTest::addRow("generate") << int(Source::GenerateNames) << false << false;
        QTest::addRow("yahoo") << int(Source::YahooSearch) << false << true;
        QTest::addRow("google") << int(Source::GoogleSearch) << false << true;
        QTest::addRow("two letters") << int(Source::AllTwoLetter) << true << false;
    }
    void sourceGroups()
    {
        QFETCH(int, source);
        QFETCH(bool, wordList);
        QFETCH(bool, search);
        TestFolders folders;
        Form1 window;
        window.show();
        choose(window, Source::AllThreeLetter);
        choose(window, Source(source));
        QCOMPARE(control<QLineEdit>(window, "txtWordNum")->isVisible(), wordList);
        QCOMPARE(control<QLineEdit>(window, "txtSearch")->isVisible(), search);
        QCOMPARE(control<QComboBox>(window, "Combo2")->isVisible(), search);
        QVERIFY(control<QToolButton>(window, "cmdDoSearch")->isVisible());   // Start never vanishes
        if (search) {
            QVERIFY(!control<QToolButton>(window, "cmdCreate")->isEnabled());
            control<QLineEdit>(window, "txtSearch")->setText("domains");
            QVERIFY(control<QToolButton>(window, "cmdCreate")->isEnabled());
        }
    }

    void refusedStartsShowAMessage()
    {
        TestFolders folders;
        Form1 window;
        window.show();
        DataFile::rewrite(folders.file("list.txt"), {"a", "b", "c"});
        window.chooseCustomList = [&] { return folders.file("list.txt"); };
        choose(window, Source::CustomList);
        control<QLineEdit>(window, "txtWordNum")->setText("two");
        control<QToolButton>(window, "cmdDoSearch")->click();
        QVERIFY(messageTexts(window).join(' ').contains("not a whole number"));
        QVERIFY(!window.run().isRunning());

        std::optional<EnvironmentVariable> server;
        server.emplace("TAMARIND_WHOIS_SERVER", "127.0.0.1:0");
        Form1 badServer;
        badServer.chooseCustomList = [&] { return folders.file("list.txt"); };
        choose(badServer, Source::CustomList);
        control<QToolButton>(badServer, "cmdDoSearch")->click();
        server.reset();
        QVERIFY(messageTexts(badServer).join(' ').contains("TAMARIND_WHOIS_SERVER holds \"127.0.0.1:0\""));
        QVERIFY(!badServer.run().isRunning());
    }

    // Fault caught: a refused run of the generated list quoted, and showed as the next start, the
    // position of the Custom List.
    void refusedRunQuotesItsOwnListsPlace()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("CreatedDomains.txt"), numberedNames(60));
        SettingsStore::save("Quillon", "Settings", "CustWordNum", "77");
        TestWhoisServer server({"--empty-every", "1"});
        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        window.session().pool().setTickInterval(10);
        choose(window, Source::GenerateNames);
        auto *maker = window.findChild<frmMake *>();
        QVERIFY(maker);
        emit maker->generated(60);
        QVERIFY(window.run().isRunning());
        TRY_VERIFY_WITH_TIMEOUT(!window.run().isRunning(), 20000);
        QVERIFY2(messageTexts(window).join(' ').contains("The run is stopped and resumes at entry 1."),
            qPrintable(messageTexts(window).join(' ')));
        QCOMPARE(control<QLineEdit>(window, "txtWordNum")->text(), QString("1"));
    }

    // What the list held that is no name is told when the run ends; a line too long to be a name is
    // an entry of its own.
    void skippedLinesAreReported()
    {
        TestFolders folders;
        writeBytes(folders.file("list.txt"), "abc\r\n" + QByteArray(70000, 'x') + "\r\nabd\r\n");
        TestWhoisServer server;
        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        window.session().pool().setTickInterval(100);
        window.chooseCustomList = [&] { return folders.file("list.txt"); };
        choose(window, Source::CustomList);
        QCOMPARE(control<QLineEdit>(window, "txtWordMax")->text(), QString("3"));
        control<QToolButton>(window, "cmdDoSearch")->click();
        TRY_VERIFY_WITH_TIMEOUT(!window.run().isRunning(), 20000);
        QVERIFY(messageTexts(window).join(' ').contains("1 line longer than 64 KB (not names)"));
    }

    // The endings typed beside the source are kept and asked. Faults caught: the field not handed
    // to the run (a bare word asked under .com alone), not kept, open to edits during a run, an
    // ending no service answers taken without a word.
    void endingsField()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1", "--dns-port", "0", "--rdap-port", "0"});
        EnvironmentVariable bases("TAMARIND_RDAP_BASE", ("io=" + server.rdapBase()).toLatin1());
        DataFile::rewrite(folders.file("list.txt"), {"bare", "x.net"});
        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        QCOMPARE(window.session().setDns(true, server.dnsAddress()), QString());
        window.chooseCustomList = [&] { return folders.file("list.txt"); };
        auto *endings = control<QLineEdit>(window, "txtEndings");
        QCOMPARE(endings->text(), QString("com"));
        endings->setText(" .IO, com ");
        QMetaObject::invokeMethod(endings, "editingFinished");
        QCOMPARE(endings->text(), QString("io com"));
        QCOMPARE(Settings::Endings.get(), QString("io com"));
        QVERIFY(endings->toolTip().startsWith("Asked under: .io .com\n"));   // the narrow field's whole list
        QVERIFY(messageTexts(window).isEmpty());
        // Refused, with the part that is no ending named; the endings kept stay (faults caught:
        // "net/org" or "-com" kept as endings, "..com", "." or "," taken for com without a word,
        // the refusal without its reason).
        for (const QString &typed :
            {QString("com;net/org"), QString("-com"), QString("..com"), QString("."), QString(",")}) {
            endings->setText(typed);
            QMetaObject::invokeMethod(endings, "editingFinished");
            QCOMPARE(endings->text(), QString("io com"));
        }
        const QString refusals = messageTexts(window).join('|');
        for (const char *reason : {"\"net/org\" holds \"/\"", "\"-com\" begins or ends a label",
                 "\".com\" has an empty label", "\".\" is no ending", "no ending is given"})
            QVERIFY2(refusals.contains(reason), qPrintable(refusals));
        for (QMessageBox *box : window.findChildren<QMessageBox *>())
            delete box;
        // Repeated endings merge, with a word (fault caught: "io com io" kept as three endings, or
        // merged in silence).
        endings->setText("io com io");
        QMetaObject::invokeMethod(endings, "editingFinished");
        QCOMPARE(endings->text(), QString("io com"));
        QVERIFY2(messageTexts(window).join(' ').contains(".io was given more than once"),
            qPrintable(messageTexts(window).join(' ')));
        for (QMessageBox *box : window.findChildren<QMessageBox *>())
            delete box;

        choose(window, Source::CustomList);
        control<QToolButton>(window, "cmdDoSearch")->click();
        QVERIFY(!endings->isEnabled());
        TRY_VERIFY_WITH_TIMEOUT(!window.run().isRunning(), 20000);
        QVERIFY(endings->isEnabled());
        QStringList high = items(control<QListWidget>(window, "List3"));
        high.sort();
        QCOMPARE(high, (QStringList {"bare.com", "bare.io", "x.net"}));

        endings->setText("com zz");
        QMetaObject::invokeMethod(endings, "editingFinished");
        QVERIFY2(messageTexts(window).join(' ').contains(
                     ".zz: skipped, no RDAP service or WHOIS server is known for .zz\n\nNames under these"),
            qPrintable(messageTexts(window).join(' ')));

        // More than 10 endings: Start asks first, and Cancel starts nothing (fault caught: 11
        // lookups a word started without a word).
        endings->setText("com net org io dev app ai co me us xyz");
        QMetaObject::invokeMethod(endings, "editingFinished");
        for (QMessageBox *box : window.findChildren<QMessageBox *>())
            delete box;
        control<QToolButton>(window, "cmdDoSearch")->click();
        const QString asked = answerQuestion(window, "Cancel");
        QVERIFY2(asked.contains("11 endings are chosen") && asked.contains("11,000 lookups per 1,000 words"),
            qPrintable(asked));
        QVERIFY(!window.run().isRunning());
    }

    // Fault caught: rows gathered for a list that is cleared meanwhile shown after the clear, so
    // that the Registered list outgrows its cap of 101.
    void registeredListFollowsItsCap()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"), numberedNames(400));
        TestWhoisServer server({"--free-ratio", "0"});
        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        window.chooseCustomList = [&] { return folders.file("list.txt"); };
        choose(window, Source::CustomList);
        control<QToolButton>(window, "cmdDoSearch")->click();
        TRY_VERIFY_WITH_TIMEOUT(!window.run().isRunning(), 20000);
        QCOMPARE(items(control<QListWidget>(window, "List2")), window.results().items(ResultList::Registered));
        QVERIFY(control<QListWidget>(window, "List2")->count() <= ResultLists::RegisteredLimit + 1);
    }

    void terminationStopsTheRunAndKeepsItsPlace()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"), {"a", "b", "c"});
        TestWhoisServer server({"--silent-every", "1"});
        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        window.chooseCustomList = [&] { return folders.file("list.txt"); };
        window.show();
        choose(window, Source::CustomList);
        control<QToolButton>(window, "cmdDoSearch")->click();
        QVERIFY(window.run().isRunning());
        // As the program's entry point does for SIGTERM, SIGINT and SIGHUP.
        const auto exitSignals = ExitSignals::install([&window](int) { window.close(); });
        ::raise(SIGTERM);
        TRY_VERIFY(!window.run().isRunning());
        QVERIFY(readBytes(folders.config() + "/Tamarind/Quillon.ini").contains("CustWordNum=1"));
    }

    // Faults caught: a source chosen from the Tools menu during a run changed the list the run
    // reads, or the key its position is saved under, or let Start act in the middle of the run; the
    // band showed the next run's list while the run went on, or not once it had stopped.
    void toolsItemDuringARun()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("custom.txt"), numberedNames(100));
        QDir(folders.program()).mkdir("wordlists");
        DataFile::rewrite(folders.file("wordlists/AllTwoLetter.txt"), {"aa", "ab", "ac"});
        TestWhoisServer server({"--free-ratio", "1", "--latency-ms", "20"});
        Form1 window;
        startCustomList(window, server, folders.file("custom.txt"));
        QSignalSpy stopped(&window.run(), &RunControl::stopped);   // no event has run since the start
        QVERIFY(window.run().isRunning());
        window.findChild<QAction *>("mnuToolsItem5")->trigger();   // All Two Letter
        QCOMPARE(control<QComboBox>(window, "Combo1")->currentIndex(), int(Source::CustomList));
        QCOMPARE(control<QLineEdit>(window, "txtWordMax")->text(), QString("100"));
        QCOMPARE(window.statusBar()->currentMessage(),
            QString("All Two Letter is chosen for the next run; the run of Custom List goes on."));
        QVERIFY(!control<QToolButton>(window, "cmdDoSearch")->isEnabled());
        QVERIFY(control<QToolButton>(window, "Command3")->isEnabled());
        QVERIFY(stopped.wait(20000));
        QCOMPARE(window.results().items(ResultList::Mid).size() + window.results().items(ResultList::High).size()
                + window.results().items(ResultList::Low).size(),
            100);
        QCOMPARE(window.results().items(ResultList::Mid).constLast(), QString("name100.com"));
        QCOMPARE(control<QComboBox>(window, "Combo1")->currentIndex(), int(Source::AllTwoLetter));
        QCOMPARE(control<QLineEdit>(window, "txtWordMax")->text(), QString("3"));
        QCOMPARE(SettingsStore::get("Quillon", "Settings", "CustWordNum", "none"), QString("101"));
        QCOMPARE(SettingsStore::get("Quillon", "Settings", "TwoWordNum", "none"), QString("none"));
    }

    // The Creator's Start! during a run asks first, naming the run and its place; "Keep the run"
    // leaves it going and creates nothing, "Stop the run" stops it where it is and checks the new
    // names. Fault caught: the run stopped without a word (and its place taken by the new list).
    void createdNamesAskBeforeTheyReplaceARun()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("custom.txt"), numberedNames(400));
        // 100 names are answered; the run then waits at entry 101 for as long as the test needs.
        TestWhoisServer server(QStringList {"--free-ratio", "1"} + holdingReplies(100, folders.file("hold")));
        Form1 window;
        startCustomList(window, server, folders.file("custom.txt"));
        QVERIFY(window.run().isRunning());
        TRY_COMPARE(window.results().items(ResultList::Mid).size(), 100);
        window.findChild<QAction *>("mnuToolsItem1")->trigger();   // Generate names
        auto *maker = window.findChild<frmMake *>();
        QVERIFY(maker);
        maker->Text1->setText("shop");
        maker->Command1->click();
        const QString asked = answerQuestion(*maker, "Keep the run");
        QVERIFY2(asked.startsWith("A run of Custom List is going on, at entry "), qPrintable(asked));
        QVERIFY2(asked.contains(" of 400. Stopped, it keeps its place"), qPrintable(asked));
        waitMs(100);
        QVERIFY(window.run().isRunning());
        QCOMPARE(window.run().runSource(), Source::CustomList);

        maker->Command1->click();
        QSignalSpy started(&window.run(), &RunControl::started);
        QString summary;   // what the window said as the run stopped
        QObject::connect(&window.run(), &RunControl::stopped, [&] { summary = summaryOf(window); });
        QVERIFY(!answerQuestion(*maker, "Stop the run").isEmpty());
        QVERIFY(started.wait(10000));
        QCOMPARE(window.run().runSource(), Source::GenerateNames);
        QCOMPARE(SettingsStore::get("Quillon", "Settings", "CustWordNum", "0"), QString("101"));
        QVERIFY2(summary.startsWith("Custom List stopped at entry 100 of 400; it resumes at entry 101. "),
            qPrintable(summary));
    }

    // Every list keeps its own place. Faults caught: Check Saved Domains Again taking the place of
    // a stopped Custom List, and the same list file chosen again starting at entry 1.
    void eachListKeepsItsPlace()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("custom.txt"), numberedNames(400));
        DataFile::rewrite(folders.file("Remembered.txt"), {"saved1.com", "saved2.com"});
        TestWhoisServer server(QStringList {"--free-ratio", "1"} + holdingReplies(100, folders.file("hold")));
        Form1 window;
        startCustomList(window, server, folders.file("custom.txt"));
        QSignalSpy stopped(&window.run(), &RunControl::stopped);   // no event has run since the start
        TRY_COMPARE(window.results().items(ResultList::Mid).size(), 100);
        QTest::mouseClick(control<QToolButton>(window, "Command3"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(window, "txtWordNum")->text(), QString("101"));
        QVERIFY(QFile::remove(folders.file("hold")));

        window.findChild<QAction *>("mnuCheckSavedAgain")->trigger();
        QVERIFY(window.run().isRunning());
        QVERIFY(stopped.wait(20000));
        QVERIFY(!acceptMessage(window).isEmpty());   // what changed since the last check

        choose(window, Source::CustomList);
        QCOMPARE(control<QLineEdit>(window, "txtWordNum")->text(), QString("101"));

        // A search list resumes too, until a new search writes a new list (fault caught: a search
        // list always started at entry 1).
        QStringList found;
        for (int i = 1; i <= 200; ++i)
            found << QString("searchfound%1").arg(i);
        DataFile::rewrite(folders.file("BrowserSearch.txt"), found);
        TestWhoisServer search(QStringList {"--free-ratio", "1"} + holdingReplies(100, folders.file("hold2")));
        window.session().setServer(Whois::Server::parse(search.address()));
        choose(window, Source::YahooSearch);
        QTest::mouseClick(control<QToolButton>(window, "cmdDoSearch"), Qt::LeftButton);
        TRY_COMPARE(window.results().items(ResultList::Low).size(), 100);
        QTest::mouseClick(control<QToolButton>(window, "Command3"), Qt::LeftButton);
        choose(window, Source::CustomList);
        choose(window, Source::YahooSearch);
        QCOMPARE(control<QLineEdit>(window, "txtWordNum")->text(), QString("101"));
        DataFile::rewrite(folders.file("BrowserSearch.txt"), found.mid(0, 150));
        choose(window, Source::YahooSearch);
        QCOMPARE(control<QLineEdit>(window, "txtWordNum")->text(), QString("1"));
    }

    // A question answered late acts on the run it named. Fault caught: "Stop the run" in a question
    // about one run stopping a later run, started while the question was open.
    void lateAnswerStopsNoLaterRun()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("custom.txt"), numberedNames(400));
        TestWhoisServer server(QStringList {"--free-ratio", "1"} + holdingReplies(0, folders.file("hold")));
        Form1 window;
        startCustomList(window, server, folders.file("custom.txt"));
        QVERIFY(window.run().isRunning());
        window.findChild<QAction *>("mnuToolsItem1")->trigger();   // Generate names
        auto *maker = window.findChild<frmMake *>();
        QVERIFY(maker);
        maker->Text1->setText("shop");
        maker->Command1->click();   // asks about the first run
        QTest::mouseClick(control<QToolButton>(window, "Command3"), Qt::LeftButton);
        choose(window, Source::CustomList);
        QTest::mouseClick(control<QToolButton>(window, "cmdDoSearch"), Qt::LeftButton);
        QVERIFY(window.run().isRunning());
        const quint64 second = window.run().runNumber();

        QVERIFY(!answerQuestion(*maker, "Stop the run").isEmpty());
        QCOMPARE(window.run().runNumber(), second);
        QVERIFY(window.run().isRunning());
        // The created names are not checked over it without a word: the question comes again, about it.
        const QString again = answerQuestion(*maker, "Keep the run");
        QVERIFY2(again.startsWith("A run of Custom List is going on, at entry "), qPrintable(again));
        QCOMPARE(window.run().runNumber(), second);
        QVERIFY(window.run().isRunning());
    }

    // A run meets names on their way out, then Saved Domains is checked again after one of them was
    // released. Faults caught: a dropping name shown like any registered one, left out of the
    // summary or of the Dropping Names window; a check again that does not ask the Saved names, or
    // tells no change.
    void droppingNamesAndCheckAgain()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("custom.txt"), {"alpha", "bravo", "charlie"});
        DataFile::rewrite(folders.file("registered.txt"), {"alpha.com"});
        DataFile::rewrite(folders.file("dropping.txt"), {"bravo.com redemptionPeriod"});
        DataFile::rewrite(folders.file("Remembered.txt"), {"bravo.com", "charlie.com"});
        auto server = std::make_unique<TestWhoisServer>(
            QStringList {"--registered", folders.file("registered.txt"), "--dropping", folders.file("dropping.txt")});
        Form1 window;
        window.session().setServer(Whois::Server::parse(server->address()));
        window.chooseCustomList = [&] { return folders.file("custom.txt"); };
        choose(window, Source::CustomList);
        QSignalSpy stopped(&window.run(), &RunControl::stopped);
        control<QToolButton>(window, "cmdDoSearch")->click();
        QVERIFY(stopped.wait(20000));
        const QListWidget *registered = control<QListWidget>(window, "List2");
        const QList<QListWidgetItem *> bravo = registered->findItems("bravo.com", Qt::MatchExactly);
        QCOMPARE(bravo.size(), 1);
        QCOMPARE(bravo.first()->toolTip(),
            QString("Dropping: in redemption, to be released about 2026-12-25 (listed in Dropping.txt)"));
        QVERIFY(registered->findItems("alpha.com", Qt::MatchExactly).first()->toolTip().isEmpty());
        QVERIFY2(summaryOf(window).contains(", 2 registered (1 dropping), "), qPrintable(summaryOf(window)));
        window.findChild<QAction *>("mnuDroppingNames")->trigger();
        auto *dropping = window.findChild<DroppingWindow *>();
        QVERIFY(dropping && dropping->isVisible());
        QCOMPARE(dropping->table()->rowCount(), 1);
        QCOMPARE(dropping->table()->item(0, 2)->text(), QString("2026-12-25"));
        dropping->close();

        window.findChild<QAction *>("mnuCheckSavedAgain")->trigger();
        QVERIFY(stopped.wait(20000));
        QCOMPARE(acceptMessage(window),
            QString("No name changed state since the last check; 2 names checked for "
                    "the first time."));
        DataFile::rewrite(folders.file("dropping.txt"), {});   // released
        // A line that is no state is left out, and said (fault caught: it kept, or dropped silently).
        DataFile::append(folders.file("NameStates.txt"), {"stay.com\treg\t2026-12-01"});
        server = std::make_unique<TestWhoisServer>(
            QStringList {"--registered", folders.file("registered.txt"), "--dropping", folders.file("dropping.txt")});
        window.session().setServer(Whois::Server::parse(server->address()));
        window.findChild<QAction *>("mnuCheckSavedAgain")->trigger();
        QVERIFY(stopped.wait(20000));
        QCOMPARE(acceptMessage(window),
            QString("1 name changed state since the last check.\nbravo.com: dropping -> free\n\n1 line of %1 held no "
                    "name state and was left out of it.")
                .arg(QDir::toNativeSeparators(folders.file("NameStates.txt"))));
    }

    // As a user meets it: Tools > All Two Letter, Start, Stop, the program started again, Start:
    // the run resumes where it stopped, and the restart finds the Saved list and every profile file.
    // Faults caught: a resume that skips or loses names, a Saved list or profile file lost at restart.
    void stopRestartAndResume()
    {
        TestFolders folders;
        QStringList twoLetters;
        for (char a = 'a'; a <= 'z'; ++a)
            for (char b = 'a'; b <= 'z'; ++b)
                twoLetters << QString(QChar(a)) + QChar(b);
        QDir(folders.program()).mkdir("wordlists");
        DataFile::rewrite(folders.file("wordlists/AllTwoLetter.txt"), twoLetters);
        // The first run cannot pass entry 301 before Stop: the replies after 300 wait for the hold
        // file, which goes before the second run.
        TestWhoisServer server(QStringList {"--free-ratio", "1"} + holdingReplies(300, folders.file("hold")));
        QString stoppedAt;
        {
            Form1 window;
            window.session().setServer(Whois::Server::parse(server.address()));
            window.findChild<QAction *>("mnuToolsItem5")->trigger();
            QCOMPARE(control<QLineEdit>(window, "txtWordMax")->text(), QString("676"));
            QTest::mouseClick(control<QToolButton>(window, "cmdDoSearch"), Qt::LeftButton);
            TRY_COMPARE(window.results().items(ResultList::High).size(), 300);
            QTest::mouseClick(control<QToolButton>(window, "Command3"), Qt::LeftButton);
            QVERIFY(!window.run().isRunning());
            stoppedAt = control<QLineEdit>(window, "txtWordNum")->text();
            window.results().dropPositions("0", 3);   // what a drag of aa.com onto the Saved list gives
            QCOMPARE(items(control<QListWidget>(window, "List5")), QStringList {"aa.com"});
            window.close();
        }
        QCOMPARE(stoppedAt, QString("301"));
        QVERIFY(QFile::remove(folders.file("hold")));
        Form1 restarted;
        restarted.session().setServer(Whois::Server::parse(server.address()));
        QCOMPARE(items(control<QListWidget>(restarted, "List5")), QStringList {"aa.com"});
        restarted.findChild<QAction *>("mnuToolsItem5")->trigger();
        QCOMPARE(control<QLineEdit>(restarted, "txtWordNum")->text(), stoppedAt);
        QSignalSpy stopped(&restarted.run(), &RunControl::stopped);
        QTest::mouseClick(control<QToolButton>(restarted, "cmdDoSearch"), Qt::LeftButton);
        // The resumed run's progress counts the whole list, as the Entry Status panel does (fault
        // caught: 1 % shown at entry 300 of 676).
        auto *progress = control<QProgressBar>(restarted, "runProgress");
        QCOMPARE(progress->maximum(), 676);
        QVERIFY2(progress->value() >= stoppedAt.toInt() - 1, qPrintable(QString::number(progress->value())));
        QVERIFY(stopped.wait(20000));
        // Every name is in a profile file: the first run's, moved to backups, or the second's.
        QSet<QString> saved;
        QDirIterator it(folders.program(), {"SuperHighProfile*.txt"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            for (const QString &name : fileEntries(it.next()))
                saved.insert(name);
        for (const QString &name : std::as_const(twoLetters))
            QVERIFY2(saved.contains(name + ".com"), qPrintable(name));
    }

    // Fault caught: windows unloaded while sockets and timers of the run were still open.
    void exitDuringARunClosesConnectionsFirst()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("custom.txt"), numberedNames(100));
        TestWhoisServer server({"--silent-every", "1"});
        int ends = 0;
        Shutdown::endHook() = [&] { ++ends; };
        writeBytes(folders.file("Help.rtf"), "{\\rtf1 Help}");
        auto *window = new Form1;
        window->session().setServer(Whois::Server::parse(server.address()));
        window->chooseCustomList = [&] { return folders.file("custom.txt"); };
        window->showHelp();
        choose(*window, Source::CustomList);
        QTest::mouseClick(control<QToolButton>(*window, "cmdDoSearch"), Qt::LeftButton);
        TRY_COMPARE(window->session().pool().inFlight(), LookupPool::Slots);
        QWidget *help = window->helpWindow();
        QVERIFY(help);
        int openAtUnload = -1;
        bool runningAtUnload = true;
        EventWatch watch(help, QEvent::Close, [&] {
            openAtUnload = window->session().pool().inFlight();
            runningAtUnload = window->run().isRunning();
        });
        window->findChild<QAction *>("mnuFileItem0")->trigger();
        QCOMPARE(openAtUnload, 0);
        QVERIFY(!runningAtUnload);
        QCOMPARE(ends, 1);
        QCOMPARE(SettingsStore::get("Quillon", "Settings", "CustWordNum", "none"), QString("1"));
        delete window;
        Shutdown::endHook() = nullptr;
    }

    void stopRestoresTheSavedPosition()
    {
        TestFolders folders;
        QDir(folders.program()).mkdir("wordlists");
        QStringList words;
        for (int i = 0; i < 100; ++i)
            words << QString("w%1").arg(i);
        DataFile::rewrite(folders.file("wordlists/AllTwoLetter.txt"), words);
        TestWhoisServer server({"--silent-every", "1"});
        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        window.show();
        SettingsStore::save("Quillon", "Settings", "TwoWordNum", "40");
        choose(window, Source::AllTwoLetter);
        QCOMPARE(control<QLineEdit>(window, "txtWordNum")->text(), QString("40"));
        control<QToolButton>(window, "cmdDoSearch")->click();
        TRY_COMPARE(control<QLabel>(window, "Panel1")->text(), QString("65 of 100"));   // at the screen's pace
        // No verdict yet: a run killed now resumes at its first name.
        QCOMPARE(SettingsStore::get("Quillon", "Settings", "TwoWordNum"), QString("40"));
        control<QToolButton>(window, "Command3")->click();
        // No name had an answer: the list resumes at the first of them.
        QCOMPARE(control<QLineEdit>(window, "txtWordNum")->text(), QString("40"));
        QVERIFY(control<QToolButton>(window, "cmdDoSearch")->isEnabled()
            && !control<QToolButton>(window, "Command3")->isEnabled());
        QCOMPARE(control<QLabel>(window, "Panel1")->text(), QString("Entry Status"));
    }
};

QTEST_MAIN(TestMainWindowRun)
#include "TestMainWindowRun.moc"
