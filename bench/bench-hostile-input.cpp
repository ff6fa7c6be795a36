// Input that is not a list of names: prints how long a 100 KB name of nested "%2525..." escapes takes
// to decode and to prepare as a lookup name, and the time and peak memory of reading a list whose
// one line is a gigabyte long. Usage: bench-hostile-input [GIGABYTES]
#include "app/DataFile.h"
#include "engine/NameText.h"
#include "engine/Whois.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIODevice>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

// A file of `size` bytes of "x" and one line break at its end, made as it is read.
class EndlessLine : public QIODevice
{
public:
    explicit EndlessLine(qint64 size)
        : m_size(size)
    {
        open(QIODevice::ReadOnly);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min(maxSize, m_size - m_at);
        std::memset(data, 'x', size_t(n));
        if (n > 0 && m_at + n == m_size)
            data[n - 1] = '\n';
        m_at += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 m_size;
    qint64 m_at = 0;
};

long peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const double gigabytes = argc > 1 ? std::atof(argv[1]) : 1.0;

    const QString nested = QStringLiteral("%") + QStringLiteral("25").repeated(50 * 1024) + QStringLiteral("41.com");
    QElapsedTimer timer;
    timer.start();
    const QString decoded = URLDecode(nested);
    std::printf("URLDecode of a %lld KB name of nested escapes: %.2f ms (%lld characters left)\n",
        static_cast<long long>(nested.size() / 1024), timer.nsecsElapsed() / 1e6,
        static_cast<long long>(decoded.size()));
    timer.restart();
    const QString query = Names::prepareLookupName(nested);
    std::printf("lookup name of it: %.2f ms (\"%s\")\n", timer.nsecsElapsed() / 1e6, qPrintable(query));

    const long before = peakMegabytes();
    EndlessLine line(qint64(gigabytes * (1 << 30)));
    timer.restart();
    const DataFile::EntryIndex index = DataFile::EntryIndex::read(line);
    std::printf(
        "a list of one %.1f GB line: %.0f ms, %lld entries, %lld overlong, peak memory %ld MB (%ld MB before)\n",
        gigabytes, timer.nsecsElapsed() / 1e6, static_cast<long long>(index.count()),
        static_cast<long long>(index.overlong()), peakMegabytes(), before);
    return 0;
}
