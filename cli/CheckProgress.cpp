#include "cli/CheckProgress.h"

#include "engine/LookupPool.h"

namespace {

QString duration(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

}   // namespace

CheckProgress::CheckProgress(const Cli::Console &console, const LookupPool &pool, qint64 entries,
    std::function<qint64()> entriesDone, QObject *parent)
    : QObject(parent)
    , m_console(console)
    , m_pool(pool)
    , m_total(std::max<qint64>(0, entries))
    , m_entriesDone(std::move(entriesDone))
{
    connect(&m_timer, &QTimer::timeout, this, &CheckProgress::show);
}

void CheckProgress::start()
{
    m_clock.start();
    m_timer.start(m_console.errIsTerminal ? 250 : 5000);
}

QString CheckProgress::summary() const
{
    const qint64 done = std::clamp<qint64>(m_entriesDone(), 0, m_total);
    QString text = QStringLiteral("%1 of %2 entries").arg(done).arg(m_total);
    if (const int wait = m_pool.askedWaitLeft(); wait > 0) {
        text += QStringLiteral(", the registry asks to wait %1").arg(Pace::waitText(wait));
    } else if (m_pool.waitingForServer() || m_pool.isPaused()) {
        text += QStringLiteral(", waiting for the server");
    } else {
        const double seconds = std::max(0.001, m_clock.elapsed() / 1000.0);
        const double rate = done / seconds;
        const qint64 left = rate > 0 ? qint64((m_total - done) / rate) : 0;
        text += QStringLiteral(", %1 entries per second, %2 left").arg(qint64(rate)).arg(duration(left));
    }
    text += QStringLiteral(", %1 in flight").arg(m_pool.inFlight());
    if (m_pool.rate() > 0)
        text += QStringLiteral(", pace: %1 names/s, set by the server").arg(m_pool.rate(), 0, 'f', 1);
    return text;
}

void CheckProgress::show()
{
    if (!m_console.errIsTerminal) {
        m_console.tell(QStringLiteral("progress: ") + summary());
        return;
    }
    constexpr int Width = 30;
    const int filled = m_total > 0 ? int(Width * std::clamp<qint64>(m_entriesDone(), 0, m_total) / m_total) : Width;
    const QString bar = QString(filled, QChar('#')) + QString(Width - filled, QChar('.'));
    m_console.err(QStringLiteral("\r[%1] %2\033[K").arg(bar, summary()).toLocal8Bit());
}

void CheckProgress::finish()
{
    m_timer.stop();
    if (m_console.errIsTerminal) {
        show();
        m_console.err("\n");
    }
}
