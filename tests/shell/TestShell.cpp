#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "app/SettingsStore.h"
#include "shell/Branding.h"
#include "shell/Form8.h"
#include "shell/Shutdown.h"
#include "shell/Skin.h"
#include "shell/frmAbout.h"
#include "shell/frmSplash.h"
#include "shell/frmWebsite.h"
#include "ui/Form1.h"
#include "ui/ResultListWidgets.h"
#include "ui/frmWhois.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextEdit>
#include <QUrlQuery>
#include <QWebEngineView>

namespace { }   // namespace

class TestShell : public QObject
{
    Q_OBJECT

private slots:

    // Runs first: no splash window has published the skin yet.
    void skinnedBeforeAnySplash()
    {
        TestFolders folders;
        QVERIFY(!Skin::programSkin());
        frmAbout about;
        QVERIFY(about.property("skinned").toBool());
        QVERIFY(Skin::programSkin());
        // The splash window that published it stays hidden and never hands over.
        const QList<frmSplash *> splashes = [] {
            QList<frmSplash *> found;
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *splash = qobject_cast<frmSplash *>(widget))
                    found << splash;
            return found;
        }();
        QCOMPARE(splashes.size(), 1);
        QVERIFY(!splashes[0]->isVisible() && !splashes[0]->Timer2->isActive());
    }

    void branding()
    {
        auto prefix = std::make_unique<EnvironmentVariable>(
            "TAMARIND_PURCHASE_PREFIX", "https://shop.test/bfast/click?siteid=1&STRING=");
        LoadBranding();
        QCOMPARE(::branding().productName, QString("Tamarind"));
        QVERIFY(::branding().purchaseLinksOn && ::branding().skinningOn);
        // A name keeps to its one query value whatever it holds.
        QCOMPARE(::branding().purchaseAddress("a&b #c.com"),
            QString("https://shop.test/bfast/click?siteid=1&STRING=a%26b%20%23c.com"));
        prefix.reset();
        LoadBranding();
        const QUrl standard(::branding().purchaseLinkPrefix);
        QCOMPARE(standard.path(), QString("/bfast/click"));
        QCOMPARE(QUrlQuery(standard).queryItems().size(), 6);
        QCOMPARE(QUrlQuery(standard).queryItems().constFirst().first, QString("siteid"));
        QCOMPARE(QUrlQuery(standard).queryItems().constLast().first, QString("STRING"));
        QCOMPARE(majorMinorVersion(), QString("1.0"));
    }

    void splashHandsOver()
    {
        TestFolders folders;
        frmSplash splash;
        QVERIFY(Skin::programSkin());
        QVERIFY(Skin::companionRunning());
        QWidget *made = nullptr;
        splash.showMainWindow = [&] { return made = new QWidget; };
        splash.show();
        TRY_VERIFY(made);
        QVERIFY(!splash.isVisible() && !splash.Timer2->isActive());
        QCOMPARE(splash.mainWindow(), made);
    }

    void aboutBox()
    {
        TestFolders folders;
        frmAbout about;
        QCOMPARE(about.windowTitle(), QString("About Tamarind"));
        QCOMPARE(about.lblVersion->text(), QString("1.0"));
        QCOMPARE(about.lblCompany->text(), QString("Tamarind Software"));
        QVERIFY(!about.Picture1->pixmap().isNull());
        QVERIFY(about.property("skinned").toBool());
        // Which folder holds the results: the user's once installed (fault: a program writing in
        // a folder the user cannot see named nowhere).
        QCOMPARE(about.lblFolder->text(), QDir::toNativeSeparators(folders.program()));
        // The five skin labels of its own, the template, and one over each of the five plain labels.
        QCOMPARE(about.findChildren<SkinLabel *>().size(), 5 + 1 + 5);
    }

    void helpAtStartUp_data()
    {
        QTest::addColumn<QString>("showHelp");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<Qt::CheckState>("box");
        QTest::addRow("1") << "1" << true << Qt::Checked;
        QTest::addRow("0") << "0" << false << Qt::Unchecked;
        QTest::addRow("2") << "2" << false << Qt::PartiallyChecked;
        QTest::addRow("not a number") << "yes" << false << Qt::Checked;
    }
    void helpAtStartUp()
    {
        QFETCH(QString, showHelp);
        QFETCH(bool, shown);
        QFETCH(Qt::CheckState, box);
        TestFolders folders;
        QFile::copy(TAMARIND_BUILD_DIR "/Help.rtf", folders.file("Help.rtf"));
        SettingsStore::save("Tamarind", "Settings", "showHelp", showHelp);
        Form1 window;
        QCOMPARE(window.helpWindow() != nullptr, shown);
        window.findChild<QAction *>("mnuHelpItem0")->trigger();
        auto *help = qobject_cast<Form8 *>(window.helpWindow());
        QVERIFY(help && help->isVisible());
        QVERIFY(help->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(help->rtf1->toPlainText().startsWith("Tamarind Help"));
        QCOMPARE(help->Check1->checkState(), box);
        help->Check1->setCheckState(Qt::Checked);
        help->Check1->click();   // unchecked by the user
        QCOMPARE(SettingsStore::get("Tamarind", "Settings", "showHelp"), QString("0"));
        help->close();
    }

    void noHelpFileNoWindow()
    {
        TestFolders folders;
        Form1 window;
        window.findChild<QAction *>("mnuHelpItem0")->trigger();
        QVERIFY(!window.helpWindow());
    }

    void mainWindowWaitsForTheWebsiteWindow()
    {
        TestFolders folders;
        int ends = 0;
        Shutdown::endHook() = [&] { ++ends; };
        {
            Form1 window;
            window.show();
            window.close();
            QCOMPARE(ends, 1);   // alone, the main window ends the program
        }
        Form1 window;
        window.show();
        control<QPushButton>(window, "cmdWebsite")->click();
        QPointer<QWidget> website = window.websiteWindow();
        QVERIFY(website && website->isVisible());
        window.close();
        QCOMPARE(ends, 1);   // still running while the website window is open
        QVERIFY(window.windows().endPending());
        website->close();
        QCOMPARE(ends, 2);
        Shutdown::endHook() = nullptr;
    }

    void websiteWindow()
    {
        TestFolders folders;
        TestWebServer pages;
        LoadBranding();
        frmWebsite website;
        QCOMPARE(website.StatusBar1->findChildren<QLabel *>().size(), 2);
        QVERIFY(website.findChildren<SkinLabel *>().size() == 2);   // the template and the one for "URL:"
        // Fault caught: an address typed without its scheme showed a blank page.
        website.Text1->setText(pages.host() + "/page.html");
        QTest::keyClick(website.Text1, Qt::Key_Return);
        TRY_COMPARE_WITH_TIMEOUT(website.windowTitle(), QString("Test Page"), 15000);
        QCOMPARE(website.Text1->text(), pages.address("/page.html"));
        QCOMPARE(website.panel1->text(), QString("Done"));

        // However small the window, no size goes negative.
        for (const QSize size : {QSize(1, 1), QSize(100, 40), QSize(2000, 1500)}) {
            const WebsiteLayout layout = computeWebsiteLayout(size.width() * 15, size.height() * 15, 300);
            for (int value : {layout.panelWidth, layout.browserFrameWidth, layout.browserFrameHeight, layout.text1Width,
                     layout.command3Left, layout.webBrowserWidth, layout.webBrowserHeight})
                QVERIFY(value >= 0);
        }
    }

    void doubleClickOpensThePurchasePage()
    {
        TestFolders folders;
        EnvironmentVariable prefix("TAMARIND_PURCHASE_PREFIX", "http://127.0.0.1:1/bfast/click?STRING=");
        Form1 window;
        window.results().AddRegistered("a&b c.com");
        doubleClick(control<QListWidget>(window, "List2"), 0);
        auto *website = qobject_cast<frmWebsite *>(window.websiteWindow());
        QVERIFY(website);
        TRY_COMPARE(website->WebBrowser1->url().toString(QUrl::FullyEncoded),
            QString("http://127.0.0.1:1/bfast/click?STRING=a%26b%20c.com"));
        // Escape in the page closes the window, as it closes the WHOIS window. Fault caught: a
        // purchase page that only the mouse can close.
        QPointer<QWidget> shown = website;
        QWidget *page = website->WebBrowser1->focusProxy() ? website->WebBrowser1->focusProxy() : website->WebBrowser1;
        QTest::keyClick(page, Qt::Key_Escape);
        TRY_VERIFY(!shown);
    }

    void doubleClickShowsTheWhoisRecord()
    {
        TestFolders folders;
        EnvironmentVariable links("TAMARIND_PURCHASE_LINKS", "0");
        TestWhoisServer server({"--free-ratio", "0", "--latency-ms", "300"});
        Form1 window;
        QCOMPARE(control<QGroupBox>(window, "Frame2")->title(), QString("Domain Name Manager"));
        window.session().setServer(Whois::Server::parse(server.address()));
        for (const char *name : {"first.com", "second.com"})
            window.results().AddRegistered(name);
        doubleClick(control<QListWidget>(window, "List2"), 0);
        doubleClick(control<QListWidget>(window, "List2"), 1);   // the second replaces the first
        QPointer<QWidget> shown = window.whoisWindow();
        auto *whois = qobject_cast<frmWhois *>(shown.data());
        QVERIFY(whois && whois->isVisible());
        QCOMPARE(whois->windowTitle(), QString("WHOIS Information"));
        QVERIFY(whois->Text1->toPlainText().isEmpty());   // nothing until the server has closed
        TRY_VERIFY_WITH_TIMEOUT(!whois->Text1->toPlainText().isEmpty(), 5000);
        QVERIFY(whois->Text1->toPlainText().startsWith("   Domain Name: SECOND.COM"));
        QVERIFY(whois->Text1->toPlainText().contains("DNSSEC: unsigned"));
        waitMs(400);
        QVERIFY(!whois->Text1->toPlainText().contains("FIRST.COM"));

        TestWhoisServer silent({"--silent-every", "1"});
        window.session().setServer(Whois::Server::parse(silent.address()));
        doubleClick(control<QListWidget>(window, "List2"), 0);
        QVERIFY(!shown);   // a fresh window for every double-click
        waitMs(200);
        QVERIFY(static_cast<frmWhois *>(window.whoisWindow())->Text1->toPlainText().isEmpty());
        window.whoisWindow()->close();

        // An RDAP record is shown as its fields, then its JSON.
        TestWhoisServer rdap({"--free-ratio", "0", "--rdap-port", "0"});
        window.session().setProtocol(Rdap::Protocol::Rdap);
        window.session().setRdapBases(*Rdap::Bases::parse(rdap.rdapBase()));
        doubleClick(control<QListWidget>(window, "List2"), 0);
        auto *record = static_cast<frmWhois *>(window.whoisWindow());
        TRY_VERIFY_WITH_TIMEOUT(!record->Text1->toPlainText().isEmpty(), 5000);
        QVERIFY(record->Text1->toPlainText().startsWith("Domain Name: FIRST.COM\n"));
        QVERIFY(record->Text1->toPlainText().contains("Registrar: Example Registrar, Inc.\n"));
        QVERIFY(record->Text1->toPlainText().contains("\"ldhName\": \"FIRST.COM\""));
        record->close();
    }

    void skinning_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addRow("on") << true;
        QTest::addRow("off") << false;
    }
    void skinning()
    {
        QFETCH(bool, on);
        TestFolders folders;
        EnvironmentVariable skinning("TAMARIND_SKINNING", on ? "1" : "0");
        Form1 window;
        const QList<SkinLabel *> labels = window.findChildren<SkinLabel *>();
        QCOMPARE(window.property("skinned").toBool(), on);
        if (!on) {
            QCOMPARE(labels.size(), 1);   // the template only
            return;
        }
        // Only the labels beside the template, in the top band, get skin labels.
        QCOMPARE(labels.size(), 1 + 6);
        int visible = 0;
        for (const SkinLabel *label : labels) {
            QCOMPARE(label->parentWidget(), control<QGroupBox>(window, "Frame1"));
            visible += label->isVisibleTo(control<QGroupBox>(window, "Frame1"));
        }
        QCOMPARE(visible, 2);   // "Search Type:" and "Endings:"; the labels hidden at first stay hidden
        QCOMPARE(
            control<QListWidget>(window, "List3")->palette().color(QPalette::Base), Skin::programSkin()->colour(2));
        QCOMPARE(control<QPushButton>(window, "cmdCopy3")->palette().color(QPalette::Button),
            Skin::programSkin()->colour(2));

        // Fault caught: the clear "Search Type:" label lies over the left of Combo1 and took its clicks.
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget *hit =
            window.childAt(control<QComboBox>(window, "Combo1")
                               ->mapTo(&window, QPoint(5, control<QComboBox>(window, "Combo1")->height() / 2)));
        QVERIFY(hit == control<QComboBox>(window, "Combo1") || control<QComboBox>(window, "Combo1")->isAncestorOf(hit));
        // A label shown later is drawn where it is, and a label that moves takes its skin label along.
        writeBytes(folders.file("list.txt"), "abc\r\n");
        window.chooseCustomList = [&folders] { return folders.file("list.txt"); };
        choose(window, int(Source::CustomList));
        const auto startNumber = std::find_if(
            labels.cbegin(), labels.cend(), [](const SkinLabel *label) { return label->text() == "Start Number:"; });
        QVERIFY(startNumber != labels.cend() && (*startNumber)->isVisible());
        QCOMPARE((*startNumber)->geometry(), control<QLabel>(window, "wLabel1")->geometry());
    }
};

QTEST_MAIN(TestShell)
#include "TestShell.moc"
