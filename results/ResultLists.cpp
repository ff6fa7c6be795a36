#include "results/ResultLists.h"

#include "app/DataFile.h"
#include "app/Helpers.h"
#include "app/ProgramFiles.h"
#include "app/RunStamp.h"

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
    return ProgramFiles::path(ProgramFiles::File::Remembered);
}

// The list each profile file holds, in the order of ResultFiles::profileKind.
ResultList profileList(int index)
{
    static const ResultList lists[] = {ResultList::Low, ResultList::Mid, ResultList::High};
    return lists[index];
}

}   // namespace

QString plainCaption(ResultList list)
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
    for (ResultList list :
        {ResultList::Low, ResultList::Registered, ResultList::High, ResultList::Mid, ResultList::Saved})
        m_captions[index(list)] = plainCaption(list);
    connect(&m_files, &ResultFiles::problem, this, &ResultLists::fileProblem);
    connect(&m_files, &ResultFiles::keptAside, this, &ResultLists::clearedFileKept);
}

QString ResultLists::profilePath(ResultList list) const
{
    for (int i = 0; i < ResultFiles::ProfileCount; ++i) {
        if (profileList(i) == list)
            return ProgramFiles::resultPath(ResultFiles::profileKind(i), m_runStamp);
    }
    return {};
}

QString ResultLists::uncheckedPath() const
{
    return ProgramFiles::resultPath(ProgramFiles::ResultFile::Unchecked, m_runStamp);
}

QString ResultLists::droppingPath() const
{
    return ProgramFiles::resultPath(ProgramFiles::ResultFile::Dropping, m_runStamp);
}

ResultList ResultLists::profileOf(const QString &name)
{
    const qsizetype length = firstLabelLength(name);
    return length < 5 ? ResultList::High : length <= 7 ? ResultList::Mid : ResultList::Low;
}

bool ResultLists::AddUnregistered(const QString &name)
{
    if (isBareEnding(name))
        return true;
    // A list checked twice finds its names again: each stays once in its list and its file.
    if (holdsFree(name))
        return true;
    const ResultList list = profileOf(name);
    // The file first: a name shown as free but not saved would be lost in a crash.
    m_items[index(list)].append(name);
    if (!WriteProfileFiles(list)) {
        m_items[index(list)].removeLast();
        return false;
    }
    m_listed[index(list)].insert(name);
    ++m_counters[index(list)];
    showCount(list, 0);
    emit itemsAdded(list, {name});
    return true;
}

bool ResultLists::holdsFree(const QString &name)
{
    const int list = index(profileOf(name));
    QSet<QString> &listed = m_listed[list];
    if (listed.size() != m_items[list].size())
        listed = QSet<QString>(m_items[list].cbegin(), m_items[list].cend());
    return listed.contains(name);
}

void ResultLists::AddRegistered(const QString &name)
{
    if (isBareEnding(name))
        return;
    if (items(ResultList::Registered).size() > RegisteredLimit)
        emptyList(ResultList::Registered);
    ++m_counters[index(ResultList::Registered)];
    showCount(ResultList::Registered, 1);   // the name is listed next
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
    m_listed[index(list)].clear();
    for (int i = 0; i < ResultFiles::ProfileCount; ++i) {
        if (profileList(i) == list)
            m_files.listCleared(ResultFiles::profileKind(i));   // a shorter list is not appended to
    }
    emit listCleared(list);
    if (list != ResultList::Saved && m_counters[index(list)] > 0)
        showCount(list, 0);   // the count stays, and the caption says the list is empty now
}

// "High Profile (12)" while the list holds what this run found; where it holds more or fewer
// (earlier runs' names, a Clear, the Registered list's last hundred) the caption says both:
// "High Profile (3849 new · 5252)", "Registered (9089 · last 101)".
void ResultLists::showCount(ResultList list, int coming)
{
    const int count = m_counters[index(list)];
    const qsizetype listed = items(list).size() + coming;
    QString text = plainCaption(list) + QStringLiteral(" (%1").arg(count);
    if (listed != count)
        text += list == ResultList::Registered ? QStringLiteral(" · last %1").arg(listed)
                                               : QStringLiteral(" new · %1").arg(listed);
    setCaption(list, text + QLatin1Char(')'));
}

void ResultLists::setCaption(ResultList list, const QString &text)
{
    m_captions[index(list)] = text;
    emit captionChanged(list, text);
}

// The files of the lists that did not change go first: one that cannot be written (a cleared list
// whose file cannot be moved aside) stops the new name before its own file holds it, so that the
// lists, their counts and their files still agree, and the name is asked again.
bool ResultLists::WriteProfileFiles(ResultList changed)
{
    int changedFile = -1;
    for (int i = 0; i < ResultFiles::ProfileCount; ++i) {
        if (profileList(i) == changed)
            changedFile = i;
        else if (!m_files.writeProfile(ResultFiles::profileKind(i), items(profileList(i)), m_runStamp))
            return false;
    }
    return changedFile < 0 || m_files.writeProfile(ResultFiles::profileKind(changedFile), items(changed), m_runStamp);
}

bool ResultLists::addUnchecked(const QString &name)
{
    if (!m_files.appendUnchecked(name, m_runStamp))
        return false;
    emit uncheckedAdded(name, ++m_uncheckedCount);
    return true;
}

bool ResultLists::addDropping(const QString &name, const QString &state, const QString &release, const QString &why)
{
    // A name a list gives in several forms (d1.com, D1.COM, a URL) is one line, as in the profile files.
    const QString key = name.toLower();   // names know no letter case
    if (m_droppingNames.contains(key))
        return true;
    if (!m_files.appendDropping(name + '\t' + state + '\t' + release, m_runStamp))
        return false;
    m_droppingNames.insert(key);
    ++m_droppingCount;
    m_dropping.append({name, state, release});
    emit droppingAdded(name, state, release, why);
    return true;
}

bool ResultLists::atCap() const
{
    return items(ResultList::Low).size() >= Cap || items(ResultList::High).size() >= Cap
        || items(ResultList::Mid).size() >= Cap;
}

bool ResultLists::applyCap()
{
    if (!atCap() || !SaveOverflow())
        return false;   // a failed save keeps the lists, and the next name tries again
    ResetResults();
    emit capReached();
    return true;
}

bool ResultLists::SaveOverflow()
{
    return m_files.SaveOverflow(
        {&items(ResultList::Low), &items(ResultList::Mid), &items(ResultList::High)}, m_runStamp);
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
    const QString made = makeRunStamp();
    QString stamp = made;
    for (int n = 2; m_usedStamps.contains(stamp); ++n)
        stamp = made + QStringLiteral("-%1").arg(n);
    m_runStamp = stamp;
    m_files.markNewStamp(m_runStamp);
    m_droppingNames.clear();   // the new stamp's Dropping file holds none yet
}

void ResultLists::resetCounters()
{
    m_counters.fill(0);
    m_uncheckedCount = 0;
    m_droppingCount = 0;
    m_files.beginRun();
    // The captions tell this run's new names from now on: none yet.
    for (ResultList list : {ResultList::Low, ResultList::Registered, ResultList::High, ResultList::Mid}) {
        if (items(list).isEmpty())
            setCaption(list, plainCaption(list));
        else
            showCount(list, 0);
    }
}

void ResultLists::clear(ResultList list, bool resetCounterAndCaption)
{
    emptyList(list);
    if (resetCounterAndCaption && list != ResultList::Saved) {
        m_counters[index(list)] = 0;
        setCaption(list, plainCaption(list));
    }
}

QString ResultLists::copyText(const QStringList &names)
{
    QString text;
    for (const QString &name : names)
        text += name + QStringLiteral("\r\n");
    return text;
}

void ResultLists::LoadRememberedList()
{
    const QString path = rememberedPath();
    if (!Helpers::FileExists(path))
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
    return m_files.rewrite(path, items(ResultList::Saved));
}

bool ResultLists::removeSaved(const QStringList &names)
{
    QStringList &saved = m_items[index(ResultList::Saved)];
    for (const QString &name : names)
        saved.removeAll(name);
    emit listCleared(ResultList::Saved);
    emit itemsAdded(ResultList::Saved, saved);
    return SaveRememberedList();
}

int ResultLists::dropPositions(const QString &positions, int dragSourceMarker)
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
    return addSaved(names);
}

int ResultLists::addSaved(const QStringList &names)
{
    // Each name is saved once: a second drop of it adds nothing.
    QStringList added;
    const QStringList &saved = items(ResultList::Saved);
    for (const QString &name : names) {
        if (!saved.contains(name) && !added.contains(name))
            added.append(name);
    }
    if (!added.isEmpty()) {
        m_items[index(ResultList::Saved)] += added;
        emit itemsAdded(ResultList::Saved, added);
    }
    SaveRememberedList();
    return int(added.size());
}
