// tamarind: the desktop program. It starts with the splash window, which hands over to the main
// window.
#include "Version.h"
#include "app/ExitSignals.h"
#include "shell/Shutdown.h"
#include "shell/frmSplash.h"
#include "ui/Form1.h"
#include "ui/PrepareApplication.h"

#include "app/ProgramFolder.h"
#include "app/Startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QScreen>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // tamarind [--start] [LIST]: a list opened from the desktop. Nothing else changes without one.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Finds unregistered domain names."));
    const QCommandLineOption help(QStringList {QStringLiteral("h"), QStringLiteral("help")},
        QStringLiteral("Displays help on commandline options."));
    const QCommandLineOption version(
        QStringList {QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Displays version information."));
    const QCommandLineOption start(
        QStringLiteral("start"), QStringLiteral("Start checking the names of LIST at once."));
    parser.addOptions({help, version, start});
    parser.addPositionalArgument(QStringLiteral("LIST"),
        QStringLiteral("A list of names, one per line, chosen as Custom List."), QStringLiteral("[LIST]"));
    if (!parser.parse(arguments) || parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "tamarind: %s\n",
            qPrintable(parser.errorText().isEmpty() ? QStringLiteral("at most one LIST") : parser.errorText()));
        return 2;
    }
    if (parser.isSet(help)) {
        std::fputs(
            qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("tamarind"))),
            stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        const QCoreApplication core(argc, argv);   // no display needed to say which folder is used
        std::printf("tamarind %s\nprogram folder: %s\n", TAMARIND_VERSION,
            qPrintable(QDir::toNativeSeparators(ProgramFolder::path())));
        return 0;
    }
    if (parser.isSet(start) && parser.positionalArguments().isEmpty()) {
        std::fputs("tamarind: --start needs a LIST\n", stderr);
        return 2;
    }
    prepareApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(TAMARIND_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(TAMARIND_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);   // the program ends as the main window says
    Shutdown::endHook() = [] { QApplication::quit(); };

    Startup::ensureInstalledData();

    frmSplash splash;
    const QString list = parser.positionalArguments().value(0);
    const bool startRun = parser.isSet(start);
    splash.showMainWindow = [&splash, list, startRun] {
        auto *window = new Form1;
        window->windows().replace(Windows::Kind::Splash, &splash);   // closed with the main window
        // Where no window manager maximises, the window still fills the screen.
        window->setGeometry(window->screen()->availableGeometry());
        window->showMaximized();
        if (!list.isEmpty())
            QTimer::singleShot(0, window, [window, list, startRun] { window->openList(list, startRun); });
        // A check that the program starts: the installed package's test ends here.
        if (qEnvironmentVariableIsSet("TAMARIND_EXIT_WHEN_SHOWN"))
            QTimer::singleShot(0, window, [] {
                std::puts("main window shown");
                std::fflush(stdout);
                QApplication::exit(0);
            });
        return window;
    };
    splash.show();
    // A signal to end the program stops a run as Stop does and writes the settings first.
    const auto exitSignals = ExitSignals::install([&splash](int) {
        if (splash.mainWindow())
            splash.mainWindow()->close();
        QApplication::quit();
    });
    return app.exec();
}
