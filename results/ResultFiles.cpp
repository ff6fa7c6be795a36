#include "results/ResultFiles.h"

#include "app/DataFile.h"
#include "app/RunStamp.h"

#include <QDir>
#include <QFileInfo>

namespace {

int profileIndex(ResultFiles::Kind kind)
{
    switch (kind) {
    case ResultFiles::Kind::LowProfile: return 0;
    case ResultFiles::Kind::HighProfile: return 1;
    case ResultFiles::Kind::SuperHighProfile: return 2;
    default: return -1;
    }
}

}   // namespace

ResultFiles::ResultFiles(QObject *parent)
    : QObject(parent)
{ }

ResultFiles::Kind ResultFiles::profileKind(int index)
{
    static const Kind kinds[ProfileCount] = {Kind::LowProfile, Kind::HighProfile, Kind::SuperHighProfile};
    return kinds[index];
}

void ResultFiles::beginRun()
{
    m_reportedFiles.clear();
    m_writeFailed = false;
}

void ResultFiles::listCleared(Kind file)
{
    if (const int i = profileIndex(file); i >= 0)
        m_profiles[size_t(i)].needsRewrite = m_profiles[size_t(i)].cleared = true;
}

bool ResultFiles::writeProfile(Kind kind, const QStringList &items, const QString &stamp)
{
    Written &file = m_profiles[size_t(profileIndex(kind))];
    const QString path = ProgramFiles::resultPath(kind, stamp);
    if (path != file.path) {
        file.path = path;
        file.needsRewrite = true;
    }
    if (!prepare(path) || (file.cleared && !moveClearedFileAside(path)))
        return false;
    file.cleared = false;
    // One stat tells whether the file is still what was written: someone may have deleted or
    // shortened it since.
    const QFileInfo info(path);
    const bool intact = info.exists() && info.size() == file.bytes;
    if (!file.needsRewrite && intact && items.size() == file.items)
        return true;
    QString error;
    if (!file.needsRewrite && intact && items.size() > file.items) {
        const QStringList added = items.mid(file.items);
        if (DataFile::append(path, added, &error)) {
            file.items = items.size();
            file.bytes += DataFile::encode(added).size();
            return true;
        }
    } else if (DataFile::rewrite(path, items, &error)) {
        file.items = items.size();
        file.bytes = QFileInfo(path).size();
        file.needsRewrite = false;
        return true;
    }
    file.needsRewrite = true;
    report(path, error);
    return false;
}

bool ResultFiles::appendUnchecked(const QString &name, const QString &stamp)
{
    return appendLine(Kind::Unchecked, name, stamp);
}

bool ResultFiles::appendDropping(const QString &line, const QString &stamp)
{
    return appendLine(Kind::Dropping, line, stamp);
}

bool ResultFiles::appendLine(Kind kind, const QString &line, const QString &stamp)
{
    const QString path = ProgramFiles::resultPath(kind, stamp);
    QString error;
    if (prepare(path) && DataFile::append(path, {line}, &error))
        return true;
    if (!error.isEmpty())
        report(path, error);
    return false;
}

bool ResultFiles::SaveOverflow(const std::array<const QStringList *, ProfileCount> &lists, const QString &stamp)
{
    QString failedPath, error;
    for (int i = 0; i < ProfileCount; ++i) {
        const QString path = ProgramFiles::resultPath(ProgramFiles::Folder::Overflow, profileKind(i), stamp);
        if (!DataFile::rewrite(path, *lists[size_t(i)], failedPath.isEmpty() ? &error : nullptr)
            && failedPath.isEmpty())
            failedPath = path;
    }
    if (failedPath.isEmpty())
        return true;
    m_writeFailed = true;
    if (!m_lastOverflowWarning.isValid() || m_lastOverflowWarning.elapsed() >= m_warningIntervalMs) {
        m_lastOverflowWarning.start();
        report(failedPath, error, true);
    }
    return false;
}

void ResultFiles::markNewStamp(const QString &stamp)
{
    const QString high = ProgramFiles::resultPath(ProgramFiles::Folder::Backups, Kind::HighProfile, stamp);
    const QString mid = ProgramFiles::resultPath(ProgramFiles::Folder::Backups, Kind::MidProfile, stamp);
    QDir().mkpath(QFileInfo(high).path());
    DataFile::append(high, {QStringLiteral(" ")});
    DataFile::append(mid, {QStringLiteral(" ")});
    DataFile::append(high, {QStringLiteral(" ")});
}

bool ResultFiles::rewrite(const QString &path, const QStringList &items)
{
    QString error;
    if (DataFile::rewrite(path, items, &error))
        return true;
    report(path, error);
    return false;
}

// Before this session's first write to a file: one left by an earlier session goes to backups.
bool ResultFiles::prepare(const QString &path)
{
    if (m_ownFiles.contains(path))
        return true;
    if (!moveEarlierFileAside(path))
        return false;
    m_ownFiles.insert(path);
    return true;
}

// A non-empty file goes to the backups folder under its own name followed by the stamp of its last
// change. Returns where it went: the path itself when there was nothing to move, empty on failure.
QString ResultFiles::moveToBackups(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0)
        return path;
    const QString backups = ProgramFiles::path(ProgramFiles::Folder::Backups);
    QDir().mkpath(backups);
    const QString base = backups + '/' + info.completeBaseName() + makeRunStamp(info.lastModified());
    QString target = base + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + QStringLiteral("-%1.txt").arg(n);
    return QFile::rename(path, target) ? target : QString();
}

bool ResultFiles::moveEarlierFileAside(const QString &path)
{
    if (!moveToBackups(path).isEmpty())
        return true;
    report(path,
        QStringLiteral("it is left from an earlier session and could not be moved to %1")
            .arg(QDir::toNativeSeparators(ProgramFiles::path(ProgramFiles::Folder::Backups))));
    return false;
}

// The names a cleared list's file held are kept: the next write would replace them.
bool ResultFiles::moveClearedFileAside(const QString &path)
{
    const QString target = moveToBackups(path);
    if (target.isEmpty()) {
        report(path,
            QStringLiteral("its list was cleared, and the file as it stood could not be moved to %1")
                .arg(QDir::toNativeSeparators(ProgramFiles::path(ProgramFiles::Folder::Backups))));
        return false;
    }
    if (target != path)
        emit keptAside(
            QStringLiteral("The names of the cleared list are kept in %1.").arg(QDir::toNativeSeparators(target)));
    return true;
}

void ResultFiles::report(const QString &path, const QString &reason, bool repeat)
{
    m_writeFailed = true;
    if (m_reportedFiles.contains(path) && !repeat)
        return;
    m_reportedFiles.insert(path);
    emit problem(QStringLiteral("The file %1 could not be written: %2.").arg(QDir::toNativeSeparators(path), reason));
}
