// The windows as a screen shows them, under Xvfb: drawn, not solid black, also while a web window
// is open. Run by ctest through xvfb-run when it is installed.
#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "shell/frmAbout.h"
#include "shell/frmWebsite.h"
#include "ui/Form1.h"
#include "ui/PrepareApplication.h"
#include "ui/frmWhois.h"

#include <QApplication>
#include <QComboBox>
#include <QScreen>
#include <QTextEdit>
#include <QWebEngineView>

namespace {

// The share of the window's pixels, as the screen shows them, that are not black.
double drawnShare(QWidget *window)
{
    const QImage picture = window->screen()->grabWindow(window->winId()).toImage();
    if (picture.isNull() || picture.width() * picture.height() == 0)
        return 0;
    qint64 drawn = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            drawn += qGray(picture.pixel(x, y)) > 16;
    return double(drawn) / (picture.width() * picture.height());
}

bool showsDrawn(QWidget *window)
{
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return false;
    return waitUntil([window] { return drawnShare(window) > 0.5; }, 5000);
}

}   // namespace

class TestScreens : public QObject
{
    Q_OBJECT

private slots:
    // Fault caught: with a web view open, the About box, the WHOIS window and the source list's
    // drop-down drew solid black (the web engine's GL contexts were not shared).
    void windowsAreDrawnBesideAWebWindow()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs a screen: run under xvfb-run");
        TestFolders folders;
        TestWebServer pages;
        TestWhoisServer whois({"--free-ratio", "0"});
        frmWebsite website;
        website.show();
        website.findChild<QWebEngineView *>()->load(QUrl(pages.address("/page.html")));
        TRY_COMPARE_WITH_TIMEOUT(website.findChild<QWebEngineView *>()->title(), QString("Test Page"), 15000);

        frmAbout about;
        QVERIFY2(showsDrawn(&about), qPrintable(QString::number(drawnShare(&about))));
        frmWhois record({Whois::Server::parse(whois.address()), Rdap::Protocol::Whois, {}}, "example.com");
        QVERIFY(waitUntil([&] { return !record.Text1->toPlainText().isEmpty(); }, 5000));
        QVERIFY2(showsDrawn(&record), qPrintable(QString::number(drawnShare(&record))));
        Form1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *combo = control<QComboBox>(window, "Combo1");
        combo->showPopup();
        QWidget *popup = combo->view()->window();
        QVERIFY2(showsDrawn(popup), qPrintable(QString::number(drawnShare(popup))));
        combo->hidePopup();
    }
};

int main(int argc, char **argv)
{
    prepareApplication();
    QApplication app(argc, argv);
    TestScreens test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestScreens.moc"
