#include "run/WatchLog.h"

#include "app/DataFile.h"
#include "app/ProgramFiles.h"

#include <QDateTime>
#include <QFile>

namespace WatchLog {

namespace {
// A notice shows this many changes; the rest are counted.
constexpr int NoticeLines = 5;
}   // namespace

bool append(const NameWatch::Change &change, QString *error)
{
    const QString when = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    return DataFile::append(
        ProgramFiles::path(ProgramFiles::File::WatchChanges), {when + QStringLiteral("  ") + change.text()}, error);
}

QStringList takeUnshown()
{
    const QString unshown = ProgramFiles::path(ProgramFiles::File::WatchChanges);
    const QString shown = ProgramFiles::path(ProgramFiles::File::WatchChangesShown);
    if (!QFile::exists(unshown))
        return {};
    // Moved before it is read: a watch that tells a change meanwhile starts a new file, for the
    // next start.
    QFile::remove(shown);
    if (!QFile::rename(unshown, shown))
        return {};
    return DataFile::readEntries(shown);
}

Notice noticeOf(const QList<NameWatch::Change> &changes)
{
    if (changes.isEmpty())
        return {};
    Notice notice;
    notice.summary = changes.size() == 1
        ? QStringLiteral("%1 is %2").arg(changes.constFirst().name, changes.constFirst().after)
        : QStringLiteral("%1 saved names changed").arg(changes.size());
    QStringList lines;
    for (const NameWatch::Change &change : changes.mid(0, NoticeLines))
        lines << change.text();
    if (changes.size() > NoticeLines)
        lines << QStringLiteral("and %1 more").arg(changes.size() - NoticeLines);
    notice.body = lines.join(QLatin1Char('\n'));
    return notice;
}

}   // namespace WatchLog
