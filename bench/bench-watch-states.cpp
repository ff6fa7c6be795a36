// What a watch over many saved names holds: a states file of COUNT names (1,000,000 unless given) is
// loaded, every name is recorded again as a check tells it (journalled, a tenth of them changed),
// and the states are saved. Prints the time of each step and the process's peak memory, beside the
// goal of 300 MB for a million names. The network is left out: its cost is bench-whois's.
// Usage: bench-watch-states [COUNT]
#include "app/ProgramFolder.h"
#include "run/CheckSession.h"
#include "run/NameWatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

qint64 peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() / 1024;
    }
    return -1;
}

}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 1000000;
    QTemporaryDir folder;
    ProgramFolder::setPath(folder.path());
    {
        QFile states(NameWatch::path());
        if (!states.open(QIODevice::WriteOnly))
            return 1;
        for (int i = 0; i < count; ++i)
            states.write(QStringLiteral("name%1.com\tregistered\t2026-12-01\r\n").arg(i, 7, 10, QChar('0')).toUtf8());
    }
    std::printf("states file: %d names, %lld MB\n", count, qint64(QFile(NameWatch::path()).size()) >> 20);
    QElapsedTimer timer;
    timer.start();
    NameWatch watch;
    QString error;
    if (!watch.load(&error)) {
        std::printf("load failed: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("load: %.1f s, %d lines dropped\n", double(timer.elapsed()) / 1000.0, watch.droppedLines());
    CheckSession session;
    watch.follow(session);
    timer.restart();
    for (int i = 0; i < count; ++i)
        watch.record(QStringLiteral("name%1.com").arg(i, 7, 10, QChar('0')),
            i % 10 == 0 ? QStringLiteral("free") : QStringLiteral("registered"));
    watch.stopFollowing();
    std::printf("record (journalled): %.1f s, %lld changes\n", double(timer.elapsed()) / 1000.0,
        qint64(watch.changes().size()));
    timer.restart();
    if (!watch.save(&error)) {
        std::printf("save failed: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("save: %.1f s\n", double(timer.elapsed()) / 1000.0);
    std::printf("peak memory: %lld MB (goal: under 300 MB for 1,000,000 names)\n", peakMegabytes());
    return 0;
}
