#include "ui/RunProgressBar.h"

#include "run/CheckSession.h"

namespace {

QString duration(qint64 seconds)
{
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, QChar('0'))
            .arg(seconds % 60, 2, 10, QChar('0'));
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar('0'));
}

}   // namespace

RunProgressBar::RunProgressBar(CheckSession &session, QWidget *parent)
    : QProgressBar(parent)
    , m_session(session)
{
    setObjectName(QStringLiteral("runProgress"));
    setTextVisible(true);
    setMinimumWidth(320);
    hide();
    connect(&m_timer, &QTimer::timeout, this, &RunProgressBar::refresh);
    connect(&session.run(), &RunControl::started, this, &RunProgressBar::begin);
    connect(&session.run(), &RunControl::stopped, this, [this] {
        m_timer.stop();
        hide();
    });
    connect(&session, &CheckSession::verdict, this, [this] { ++m_names; });
    connect(&session, &CheckSession::unchecked, this, [this] { ++m_names; });
}

void RunProgressBar::begin()
{
    m_names = 0;
    m_clock.start();
    const RunControl &run = m_session.run();
    // Of the whole list, as the Entry Status panel counts: a resumed run starts where it stopped. A
    // progress bar counts in int; no list comes near that many entries.
    setRange(0, int(std::min<qint64>(std::max<qint64>(0, run.lastEntry()), INT_MAX)));
    refresh();
    show();
    m_timer.start(UpdateMs);
}

void RunProgressBar::refresh()
{
    const RunControl &run = m_session.run();
    const qint64 total = std::max<qint64>(0, run.lastEntry());
    const qint64 done = std::clamp<qint64>(run.resumePosition() - 1, 0, total);
    setValue(int(std::min<qint64>(done, maximum())));
    const double seconds = std::max(0.001, m_clock.elapsed() / 1000.0);
    const double entriesPerSecond = std::max<qint64>(0, run.resumePosition() - run.firstEntry()) / seconds;
    // The count of entries is the Entry Status panel's: the bar shows how far, and how fast.
    QString text = QStringLiteral("%p% - %1 names/s").arg(qint64(m_names / seconds));
    if (entriesPerSecond > 0)
        text += QStringLiteral(" - %1 left").arg(duration(qint64((total - done) / entriesPerSecond)));
    setFormat(text);
}
