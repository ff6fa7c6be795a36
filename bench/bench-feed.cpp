// Times reading entry 1 and entry 450,000 of the four-letter list through the feed, to show that an
// entry's cost does not grow with its number. Usage: bench-feed [LIST]
#include "run/SourceFeed.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString list = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QCoreApplication::applicationDirPath() + "/../wordlists/AllFourLetter.txt";
    SourceFeed feed;
    feed.setPath(list);
    QElapsedTimer timer;
    timer.start();
    const qint64 count = feed.count();
    std::printf("indexed %lld entries in %.1f ms\n", static_cast<long long>(count), timer.nsecsElapsed() / 1e6);
    if (count < 450000) {
        std::printf("the list needs 450,000 entries\n");
        return 1;
    }
    constexpr int Reads = 200000;
    for (qint64 entry : {qint64(1), qint64(450000)}) {
        timer.restart();
        qint64 length = 0;
        for (int i = 0; i < Reads; ++i)
            length += feed.entry(entry).size();
        std::printf("entry %lld: %.2f us per read (%lld characters)\n", static_cast<long long>(entry),
            timer.nsecsElapsed() / 1e3 / Reads, static_cast<long long>(length / Reads));
    }
    return 0;
}
