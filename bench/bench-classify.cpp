// Classifies 20,000 free names into the High Profile list with every file write that goes with them
// (profile files after every name, the overflow files and new stamp at the cap) and prints names per
// second. Usage: bench-classify [COUNT]
#include "app/ProgramFolder.h"
#include "app/Startup.h"
#include "results/ResultLists.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : ResultLists::Cap;
    QTemporaryDir folder;
    ProgramFolder::setPath(folder.path());
    Startup::ensureWorkingFolders();

    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("%1.com").arg(i, 4, 36, QChar('0')).right(8);
    ResultLists results;
    int caps = 0;
    QElapsedTimer timer;
    timer.start();
    for (const QString &name : names) {
        results.AddUnregistered(name);
        caps += results.applyCap() ? 1 : 0;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("classified %d free names in %.3f s: %.0f names per second (%d cap sequence%s)\n", count, seconds,
        count / seconds, caps, caps == 1 ? "" : "s");
    return 0;
}
