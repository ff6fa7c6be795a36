#include "cli/CheckProgress.h"

#include <cstdio>
#include <unistd.h>

namespace {

QString Duration(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

} // namespace

CheckProgress::CheckProgress(qint64 entries, qint64 firstEntry, QObject *parent)
    : QObject(parent)
    , m_total(std::max<qint64>(0, entries - std::max<qint64>(firstEntry, 1) + 1))
    , m_terminal(isatty(STDERR_FILENO) == 1)
{
    connect(&m_timer, &QTimer::timeout, this, &CheckProgress::show);
}

void CheckProgress::start()
{
    m_clock.start();
    m_timer.start(m_terminal ? 250 : 5000);
}

QString CheckProgress::summary() const
{
    const double seconds = std::max(0.001, m_clock.elapsed() / 1000.0);
    const double rate = m_done / seconds;
    const qint64 left = rate > 0 ? qint64((m_total - std::min(m_done, m_total)) / rate) : 0;
    return QStringLiteral("%1 of %2 names, %3 names per second, %4 left")
        .arg(m_done)
        .arg(m_total)
        .arg(qint64(rate))
        .arg(Duration(left));
}

void CheckProgress::show()
{
    if (!m_terminal) {
        std::fprintf(stderr, "progress: %s\n", qPrintable(summary()));
        return;
    }
    constexpr int Width = 30;
    const int filled = m_total > 0 ? int(Width * std::min(m_done, m_total) / m_total) : Width;
    const QString bar = QString(filled, QChar('#')) + QString(Width - filled, QChar('.'));
    std::fprintf(stderr, "\r[%s] %s\033[K", qPrintable(bar), qPrintable(summary()));
    std::fflush(stderr);
}

void CheckProgress::finish()
{
    m_timer.stop();
    if (m_terminal) {
        show();
        std::fputs("\n", stderr);
    }
}
