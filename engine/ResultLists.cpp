#include "engine/ResultLists.h"

#include "app/DataFile.h"
#include "app/Helpers.h"
#include "app/ProgramFolder.h"
#include "app/RunStamp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool isBareEnding(const QString &name)
{
    return name == QLatin1String(".net") || name == QLatin1String(".com");
}

qsizetype firstLabelLength(const QString &name)
{
    const qsizetype dot = name.indexOf('.');
    return dot < 0 ? name.size() : dot;
}

QString rememberedPath()
{
    return ProgramFolder::resolve(QStringLiteral("\\Remembered.txt"));
}

} // namespace

QString PlainCaption(ResultList list)
{
    switch (list) {
    case ResultList::Low: return QStringLiteral("Low Profile");
    case ResultList::Registered: return QStringLiteral("Registered");
    case ResultList::High: return QStringLiteral("High Profile");
    case ResultList::Mid: return QStringLiteral("Mid Profile");
    case ResultList::Saved: return QStringLiteral("Saved Domains");
    }
    return {};
}

ResultLists::ResultLists(QObject *parent)
    : QObject(parent)
{
    for (ResultList list : {ResultList::Low, ResultList::Registered, ResultList::High,
                            ResultList::Mid, ResultList::Saved})
        m_captions[index(list)] = PlainCaption(list);
    // The file named "HighProfile" holds the Mid list and "SuperHighProfile" the High list.
    m_profiles[0].name = QStringLiteral("/LowProfile");
    m_profiles[0].list = ResultList::Low;
    m_profiles[1].name = QStringLiteral("/HighProfile");
    m_profiles[1].list = ResultList::Mid;
    m_profiles[2].name = QStringLiteral("/SuperHighProfile");
    m_profiles[2].list = ResultList::High;
}

QString ResultLists::profilePath(ResultList list) const
{
    for (const ProfileFile &file : m_profiles) {
        if (file.list == list)
            return ProgramFolder::path() + file.name + m_runStamp + QStringLiteral(".txt");
    }
    return {};
}

void ResultLists::AddUnregistered(const QString &name)
{
    if (isBareEnding(name))
        return;
    const qsizetype length = firstLabelLength(name);
    const ResultList list = length < 5 ? ResultList::High
                            : length <= 7 ? ResultList::Mid
                                          : ResultList::Low;
    const int count = ++m_counters[index(list)];
    setCaption(list, PlainCaption(list) + QStringLiteral(" (%1)").arg(count));
    addTo(list, name);
    WriteProfileFiles();
}

void ResultLists::AddRegistered(const QString &name)
{
    if (isBareEnding(name))
        return;
    if (items(ResultList::Registered).size() > RegisteredLimit)
        emptyList(ResultList::Registered);
    const int count = ++m_counters[index(ResultList::Registered)];
    setCaption(ResultList::Registered, PlainCaption(ResultList::Registered) + QStringLiteral(" (%1)").arg(count));
    addTo(ResultList::Registered, name);
}

void ResultLists::addTo(ResultList list, const QString &name)
{
    m_items[index(list)].append(name);
    emit itemsAdded(list, {name});
}

void ResultLists::emptyList(ResultList list)
{
    m_items[index(list)].clear();
    for (ProfileFile &file : m_profiles) {
        if (file.list == list)
            file.needsRewrite = true;   // a shorter list cannot be appended to its file
    }
    emit listCleared(list);
}

void ResultLists::setCaption(ResultList list, const QString &text)
{
    m_captions[index(list)] = text;
    emit captionChanged(list, text);
}

bool ResultLists::WriteProfileFiles()
{
    bool ok = true;
    for (ProfileFile &file : m_profiles)
        ok = writeProfile(file) && ok;
    return ok;
}

// While a list only grows its file is appended to; a cleared list, a new stamp, a failed write or a
// file changed by someone else makes a whole rewrite. Either way the file equals the list after.
bool ResultLists::writeProfile(ProfileFile &file)
{
    const QString path = profilePath(file.list);
    if (path != file.path) {
        file.path = path;
        file.needsRewrite = true;
    }
    if (!m_ownFiles.contains(path)) {
        if (!moveEarlierFileAside(path))
            return false;
        m_ownFiles.insert(path);
    }
    const QStringList &list = items(file.list);
    if (!file.needsRewrite && list.size() == file.writtenItems)
        return true;   // nothing new for this file
    const QFileInfo info(path);
    const bool appendable = !file.needsRewrite && info.exists() && info.size() == file.writtenBytes
                            && list.size() >= file.writtenItems;
    QString error;
    if (appendable) {
        const QStringList added = list.mid(file.writtenItems);
        if (DataFile::append(path, added, &error)) {
            file.writtenItems = int(list.size());
            file.writtenBytes += DataFile::encode(added).size();
            return true;
        }
    } else if (DataFile::rewrite(path, list, &error)) {
        file.writtenItems = int(list.size());
        file.writtenBytes = QFileInfo(path).size();
        file.needsRewrite = false;
        return true;
    }
    file.needsRewrite = true;
    reportProblem(path, error);
    return false;
}

// A profile file left by an earlier program run would be overwritten by this run's first write:
// it goes to the backups folder under its own name followed by the stamp of its last change.
bool ResultLists::moveEarlierFileAside(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() == 0)
        return true;
    const QString backups = ProgramFolder::resolve(QStringLiteral("\\backups"));
    QDir().mkpath(backups);
    const QString base = backups + '/' + info.completeBaseName() + MakeRunStamp(info.lastModified());
    QString target = base + QStringLiteral(".txt");
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + QStringLiteral("-%1.txt").arg(n);
    if (QFile::rename(path, target))
        return true;
    reportProblem(path, QStringLiteral("it is left from an earlier session and could not be moved to %1")
                            .arg(QDir::toNativeSeparators(backups)));
    return false;
}

void ResultLists::reportProblem(const QString &path, const QString &reason)
{
    if (m_reportedFiles.contains(path))
        return;
    m_reportedFiles.insert(path);
    emit fileProblem(QStringLiteral("The file %1 could not be written: %2. Every name stays in its "
                                    "list, and the file is written again with the next name.")
                         .arg(QDir::toNativeSeparators(path), reason));
}

bool ResultLists::ApplyCap()
{
    const bool full = items(ResultList::Low).size() >= Cap || items(ResultList::High).size() >= Cap
                      || items(ResultList::Mid).size() >= Cap;
    if (!full || !SaveOverflow())
        return false;   // a failed save keeps the lists, and the next name tries again
    ResetResults();
    emit capReached();
    return true;
}

bool ResultLists::SaveOverflow()
{
    bool ok = true;
    for (const ProfileFile &file : m_profiles) {
        const QString path = ProgramFolder::resolve(QStringLiteral("\\overflow") + file.name + m_runStamp
                                                    + QStringLiteral(".txt"));
        QString error;
        if (!DataFile::rewrite(path, items(file.list), &error)) {
            reportProblem(path, error);
            ok = false;
        }
    }
    return ok;
}

void ResultLists::ResetResults()
{
    for (ResultList list : {ResultList::Low, ResultList::Registered, ResultList::High, ResultList::Mid}) {
        emptyList(list);
        m_counters[index(list)] = 0;
    }
    NewRunStamp();
}

void ResultLists::NewRunStamp()
{
    // Two stamps made within one second would name the same files and overwrite the first set.
    m_usedStamps.insert(m_runStamp);
    const QString made = MakeRunStamp();
    QString stamp = made;
    for (int n = 2; m_usedStamps.contains(stamp); ++n)
        stamp = made + QStringLiteral("-%1").arg(n);
    m_runStamp = stamp;
    const QString high = ProgramFolder::resolve(QStringLiteral("\\backups\\HighProfile") + m_runStamp + ".txt");
    const QString mid = ProgramFolder::resolve(QStringLiteral("\\backups\\MidProfile") + m_runStamp + ".txt");
    DataFile::append(high, {QStringLiteral(" ")});
    DataFile::append(mid, {QStringLiteral(" ")});
    DataFile::append(high, {QStringLiteral(" ")});
}

void ResultLists::ResetCounters()
{
    m_counters.fill(0);
    m_reportedFiles.clear();
}

void ResultLists::Clear(ResultList list, bool resetCounterAndCaption)
{
    emptyList(list);
    if (resetCounterAndCaption && list != ResultList::Saved) {
        m_counters[index(list)] = 0;
        setCaption(list, PlainCaption(list));
    }
}

QString ResultLists::CopyText(ResultList list) const
{
    QString text;
    for (const QString &name : items(list))
        text += name + QStringLiteral("\r\n");
    return text;
}

void ResultLists::LoadRememberedList()
{
    const QString path = rememberedPath();
    if (!FileExists(path))
        return;
    const QStringList names = DataFile::readEntries(path, DataFile::Blanks::SkipSingleSpace);
    if (names.isEmpty())
        return;
    m_items[index(ResultList::Saved)] += names;
    emit itemsAdded(ResultList::Saved, names);
}

bool ResultLists::SaveRememberedList()
{
    const QString path = rememberedPath();
    QString error;
    if (DataFile::rewrite(path, items(ResultList::Saved), &error))
        return true;
    reportProblem(path, error);
    return false;
}

int ResultLists::DropPositions(const QString &positions, int dragSourceMarker)
{
    QStringList names;
    if (dragSourceMarker == 1 || dragSourceMarker == 3 || dragSourceMarker == 4) {
        const QStringList &source = items(ResultList(dragSourceMarker));
        for (const QString &piece : positions.split('|')) {
            bool ok = false;
            const int position = piece.toInt(&ok);
            if (ok && position >= 0 && position < source.size())
                names.append(source[position]);
        }
    }
    if (!names.isEmpty()) {
        m_items[index(ResultList::Saved)] += names;
        emit itemsAdded(ResultList::Saved, names);
    }
    SaveRememberedList();
    return int(names.size());
}
