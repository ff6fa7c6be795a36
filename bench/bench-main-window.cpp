// Times the main window's list work at 20,000 names per list (a Copy and a resize) and, with
// --screenshot FILE, saves a picture of the window with some results in it.
// Usage: bench-main-window [--screenshot FILE]
#include "app/ProgramFolder.h"
#include "app/SettingsStore.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QListWidget>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

double milliseconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// Fills the High, Mid and Low lists through the classification, as a run does.
void fillLists(Form1 &window, int perList)
{
    for (int i = 0; i < perList; ++i) {
        window.results().AddUnregistered(QStringLiteral("%1.com").arg(i, 4, 36, QChar('0')));
        window.results().AddUnregistered(QStringLiteral("w%1.net").arg(i, 5, 36, QChar('0')));
        window.results().AddUnregistered(QStringLiteral("longname%1.com").arg(i, 4, 36, QChar('0')));
    }
}

}   // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    ProgramFolder::setPath(folder.path());
    const QStringList arguments = app.arguments();
    const qsizetype shot = arguments.indexOf(QStringLiteral("--screenshot"));

    Form1 window;
    if (shot > 0 && shot + 1 < arguments.size()) {
        for (const char *name : {"ab.com", "kiwi.com", "zq.net", "tamarind.net", "domainfinder.com", "sunset.com",
                 "bluefox.net", "netspark.com", "quietharbor.com"})
            window.results().AddUnregistered(QString::fromLatin1(name));
        for (const char *name : {"google.com", "apple.com", "example.com"})
            window.results().AddRegistered(QString::fromLatin1(name));
        window.results().dropPositions(QStringLiteral("0|1"), 3);
        window.setGeometry(window.screen()->availableGeometry());
        window.showMaximized();
        const QString file = arguments[shot + 1];
        QTimer::singleShot(1500, &app, [&] {
            const QPixmap picture = window.screen()->grabWindow(0);
            const bool saved = (picture.isNull() ? window.grab() : picture).save(file);
            std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(file));
            app.quit();
        });
        return app.exec();
    }

    const int perList = 20000;
    fillLists(window, perList);
    window.show();
    app.processEvents();
    QElapsedTimer timer;
    timer.start();
    window.cmdCopy_Click(3);
    std::printf("copy of %lld names to the clipboard: %.1f ms\n",
        static_cast<long long>(QApplication::clipboard()->text().count('\n')), milliseconds(timer));

    timer.restart();
    window.resize(1200, 900);
    app.processEvents();
    window.resize(1500, 1000);
    app.processEvents();
    std::printf("two resizes with %d names in each of three lists: %.1f ms\n", perList, milliseconds(timer));
    return 0;
}
