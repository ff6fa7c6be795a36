#include "run/NameWatch.h"

#include "app/ProgramFiles.h"
#include "engine/LookupName.h"
#include "run/CheckSession.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString NameWatch::Change::text() const
{
    return QStringLiteral("%1: %2 -> %3%4")
        .arg(name, before, after, detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(detail));
}

NameWatch::NameWatch(QObject *parent)
    : QObject(parent)
{ }

NameWatch::~NameWatch() = default;

QString NameWatch::journalPath()
{
    return ProgramFiles::path(ProgramFiles::File::NameStatesJournal);
}

QString NameWatch::path()
{
    return ProgramFiles::path(ProgramFiles::File::NameStates);
}

QString NameWatch::stateOf(bool unregistered, const NameState &state)
{
    return unregistered      ? QStringLiteral("free")
        : state.isDropping() ? QStringLiteral("dropping")
                             : QStringLiteral("registered");
}

namespace {

// The state as one of the three texts every state shares, or empty when it is none of them: a
// million names then hold three strings between them.
QString knownState(const QString &state)
{
    for (const QString &known :
        {NameWatch::stateOf(true, {}), NameWatch::stateOf(false, {}), QStringLiteral("dropping")}) {
        if (state == known)
            return known;
    }
    return {};
}

// A name as the watch writes it: one that would be asked as itself, in its written form.
bool isWatchedName(const QString &name)
{
    const Names::LookupName asked = Names::prepareLookup(name);
    return asked.isAsked() && Names::unicodeForm(asked.name).compare(name, Qt::CaseInsensitive) == 0;
}

}   // namespace

bool NameWatch::load(QString *error)
{
    m_known.clear();
    m_droppedLines = 0;
    QString why;
    // The states, then the journal of a watch that did not save: its states are the later ones.
    for (const QString &file : {path(), journalPath()}) {
        if (!readStates(file, &why)) {
            if (error)
                *error = why;
            return false;
        }
    }
    // What is not a state is not kept, and the journal is folded in: the file is written again.
    if ((m_droppedLines > 0 || QFileInfo::exists(journalPath())) && !save(error))
        return false;
    return true;
}

bool NameWatch::readStates(const QString &statesPath, QString *why)
{
    const QFileInfo info(statesPath);
    if (!info.exists() && !info.isSymLink())
        return true;
    // A FIFO would never end, a device never stop: only a regular file is read.
    if (!info.isFile()) {
        *why = QStringLiteral("it is not a regular file (a FIFO, a device, or a link to one)");
        return false;
    }
    if (info.size() > MaxFileBytes) {
        *why = QStringLiteral("it holds %1 bytes, more than the %2 MB a states file may")
                   .arg(info.size())
                   .arg(MaxFileBytes >> 20);
        return false;
    }
    QFile file(statesPath);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.errorString();
        return false;
    }
    while (!file.atEnd()) {
        const QByteArray line = file.readLine(4096).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList fields = QString::fromUtf8(line).split(QLatin1Char('\t'));
        const QDate day = QDate::fromString(fields.value(2), Qt::ISODate);
        const QString state = knownState(fields.value(1));
        if (fields.size() != 3 || state.isEmpty() || !day.isValid() || !isWatchedName(fields[0])) {
            ++m_droppedLines;
            continue;
        }
        m_known.insert(fields[0], {state, day});
    }
    return true;
}

bool NameWatch::save(QString *error) const
{
    // Written a piece at a time: a million states need not be held twice.
    QSaveFile file(path());
    bool written = file.open(QIODevice::WriteOnly);
    QByteArray piece;
    for (auto it = m_known.cbegin(); written && it != m_known.cend(); ++it) {
        piece += it.key().toUtf8() + '\t' + it->state.toUtf8() + '\t' + it->day.toString(Qt::ISODate).toUtf8() + "\r\n";
        if (piece.size() >= (1 << 16) || std::next(it) == m_known.cend()) {
            written = file.write(piece) == piece.size();
            piece.clear();
        }
    }
    if (written && file.commit()) {
        QFile::remove(journalPath());   // every state of it is in the file now
        return true;
    }
    if (error)
        *error = file.errorString();
    return false;
}

void NameWatch::follow(CheckSession &session)
{
    stopFollowing();
    m_changes.clear();
    m_firstSeen = 0;
    m_journal = std::make_unique<QFile>(journalPath());
    if (!m_journal->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        m_journal.reset();   // the states are still saved at the end of the check
    m_following = connect(&session, &CheckSession::verdict, this,
        [this](const QString &asked, bool unregistered, qint64, const NameState &state) {
            const QString detail = state.isDropping()
                ? QStringLiteral("%1, release %2").arg(state.phaseText(), state.releaseText())
                : QString();
            record(Names::unicodeForm(asked), stateOf(unregistered, state), detail);
        });
}

void NameWatch::stopFollowing()
{
    disconnect(m_following);
    m_journal.reset();
}

void NameWatch::record(const QString &name, const QString &state, const QString &detail)
{
    const auto known = m_known.constFind(name);
    const QString before = known == m_known.cend() ? QString() : known->state;
    const QDate today = QDate::currentDate();
    m_known.insert(name, {state, today});
    // Kept before it is told: a watch killed after telling it does not tell it again.
    if (m_journal)
        m_journal->write(name.toUtf8() + '\t' + state.toUtf8() + '\t' + today.toString(Qt::ISODate).toUtf8() + "\r\n");
    if (before.isEmpty()) {
        ++m_firstSeen;
    } else if (before != state) {
        const Change change {name, before, state, detail};
        m_changes << change;
        emit changed(change);
    }
}

QString NameWatch::countsText() const
{
    const auto names = [](qsizetype count) {
        return count == 1 ? QStringLiteral("1 name") : QStringLiteral("%1 names").arg(count);
    };
    QString text = m_changes.isEmpty()
        ? QStringLiteral("No name changed state since the last check")
        : QStringLiteral("%1 changed state since the last check").arg(names(m_changes.size()));
    if (m_firstSeen > 0)
        text += QStringLiteral("; %1 checked for the first time").arg(names(m_firstSeen));
    return text + '.';
}

QString NameWatch::summary() const
{
    QString text = countsText();
    for (const Change &change : m_changes)
        text += '\n' + change.text();
    return text;
}
