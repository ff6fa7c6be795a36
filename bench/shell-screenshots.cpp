// Pictures of the shell's windows as they show on a screen: the splash, the main window skinned
// with some results, a run in progress and its names about to drop, the about box, the help viewer
// and the WHOIS window.
// Usage: xvfb-run -a -s "-screen 0 1600x1000x24" build/bench/shell-screenshots OUTPUT_FOLDER
// The program folder is a scratch folder holding the build's Help.rtf; the WHOIS window asks a
// whois-test-server started from the build folder.
#include "Screenshots.h"
#include "app/ProgramFolder.h"
#include "engine/Whois.h"
#include "shell/Form8.h"
#include "shell/frmAbout.h"
#include "shell/frmSplash.h"
#include "ui/Form1.h"
#include "ui/frmWhois.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const ScreenshotRun run(argc, argv);
    if (run.output.isEmpty())
        return 2;
    const QString &output = run.output;
    QFile::copy(run.build + QStringLiteral("/Help.rtf"), run.folder.path() + QStringLiteral("/Help.rtf"));

    frmSplash splash;
    saveScreenshot(&splash, output, QStringLiteral("splash"));
    splash.Timer2->stop();
    splash.hide();

    Form1 main;
    for (const char *name : {"abc.com", "quiz.net", "shopper.com", "gardening.com", "bookstore.net"})
        main.results().AddUnregistered(QString::fromLatin1(name));
    main.results().AddRegistered(QStringLiteral("google.com"));
    main.resize(1400, 900);
    saveScreenshot(&main, output, QStringLiteral("main-window"));
    if (main.helpWindow())
        saveScreenshot(main.helpWindow(), output, QStringLiteral("help"));

    frmAbout about;
    saveScreenshot(&about, output, QStringLiteral("about"));

    // A run over the four-letter list, a few seconds in, against a server that answers in 50 ms.
    QProcess runServer;
    runServer.start(run.build + QStringLiteral("/whois-test-server"),
        {"--port", "0", "--free-ratio", "0.35", "--dropping-ratio", "0.1", "--latency-ms", "50"});
    runServer.waitForReadyRead(5000);
    const QByteArray runLine = runServer.readLine().trimmed();
    {
        Form1 running;
        running.session().setService(
            {Whois::Server::parse(QString::fromLatin1(runLine.mid(runLine.lastIndexOf(' ') + 1))),
                Rdap::Protocol::Whois, {}});
        running.resize(1400, 900);
        running.show();
        auto *endings = control<QLineEdit>(running, "txtEndings");
        endings->setText(QStringLiteral("com net"));
        QMetaObject::invokeMethod(endings, "editingFinished");
        running.openList(run.build + QStringLiteral("/wordlists/AllFourLetter.txt"), true);
        QTest::qWait(4000);
        saveScreenshot(&running, output, QStringLiteral("run-in-progress"));
        // Stopped: the summary stays in the status bar until the next run.
        control<QToolButton>(running, "Command3")->click();
        saveScreenshot(&running, output, QStringLiteral("run-summary"));
        // Tools > Dropping Names: the names of the run on their way out.
        running.findChild<QAction *>(QStringLiteral("mnuDroppingNames"))->trigger();
        if (QWidget *dropping = running.findChild<QWidget *>(QStringLiteral("DroppingWindow")))
            saveScreenshot(dropping, output, QStringLiteral("dropping"));
    }
    runServer.kill();
    runServer.waitForFinished();

    QProcess server;
    server.start(run.build + QStringLiteral("/whois-test-server"), {"--port", "0", "--free-ratio", "0"});
    server.waitForReadyRead(5000);
    const QByteArray line = server.readLine().trimmed();
    frmWhois whois(
        {Whois::Server::parse(QString::fromLatin1(line.mid(line.lastIndexOf(' ') + 1))), Rdap::Protocol::Whois, {}},
        QStringLiteral("example.com"));
    whois.show();
    if (!QTest::qWaitFor([&] { return !whois.Text1->toPlainText().isEmpty(); }, 5000))
        std::fprintf(stderr, "the WHOIS record did not come\n");
    saveScreenshot(&whois, output, QStringLiteral("whois"));
    server.kill();
    server.waitForFinished();
    return 0;
}
