#include "ui/SavedWatch.h"

#include "app/DataFile.h"
#include "app/ProgramFiles.h"
#include "run/CheckSession.h"
#include "run/SourceFlow.h"
#include "run/WatchLog.h"
#include "ui/Messages.h"

#include <QDir>
#include <QFileInfo>

SavedWatch::SavedWatch(CheckSession &session, SourceFlow &flow, QWidget *window, StartList startList)
    : m_session(session)
    , m_flow(flow)
    , m_window(window)
    , m_startList(std::move(startList))
{ }

void SavedWatch::checkAgain()
{
    const QStringList names = m_session.results().items(ResultList::Saved);
    const QString title = QStringLiteral("Check Saved Domains Again");
    if (names.isEmpty())
        return ::showMessage(
            m_window, title, QStringLiteral("Saved Domains holds no name to check."), QMessageBox::Information);
    if (const QString run = m_flow.runToReplace(); !run.isEmpty()) {
        askFirst(m_window, title, run + QStringLiteral(" Stop it and check Saved Domains again?"),
            QStringLiteral("Stop the run"), QStringLiteral("Keep the run"), this,
            [this, asked = m_session.run().runNumber()] {
                m_session.stopRun(asked);
                checkAgain();   // asks again about a run started since
            });
        return;
    }
    const QString path = ProgramFiles::path(ProgramFiles::File::SavedCheck);
    QString error;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !DataFile::rewrite(path, names, &error))
        return ::showMessage(m_window, title,
            QStringLiteral("The list of Saved Domains to check, %1, cannot be written: %2")
                .arg(QDir::toNativeSeparators(path), error.isEmpty() ? QStringLiteral("no folder") : error),
            QMessageBox::Warning);
    if (!m_watch.load(&error))
        return ::showMessage(m_window, title,
            QStringLiteral("The states of the last check, %1, cannot be read: %2")
                .arg(QDir::toNativeSeparators(NameWatch::path()), error),
            QMessageBox::Warning);
    m_watch.follow(m_session);
    m_watching = true;
    m_startList(path);   // every name, whatever an earlier check of them reached
    if (!m_session.run().isRunning())
        runEnded();
}

void SavedWatch::runEnded()
{
    if (!std::exchange(m_watching, false))
        return;
    m_watch.stopFollowing();
    QString error;
    QString text = m_watch.summary();
    if (m_watch.droppedLines() > 0)
        text += QStringLiteral("\n\n%1 of %2 held no name state and %3 left out of it.")
                    .arg(m_watch.droppedLines() == 1 ? QStringLiteral("1 line")
                                                     : QStringLiteral("%1 lines").arg(m_watch.droppedLines()),
                        QDir::toNativeSeparators(NameWatch::path()),
                        m_watch.droppedLines() == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    if (!m_watch.save(&error))
        text += QStringLiteral("\n\nThese states could not be kept in %1 (%2): the next check compares with the "
                               "last one kept.")
                    .arg(QDir::toNativeSeparators(NameWatch::path()), error);
    ::showMessage(m_window, QStringLiteral("Check Saved Domains Again"), text, QMessageBox::Information);
}

void SavedWatch::showChangesSinceLastOpen()
{
    constexpr qsizetype ShownLines = 20;   // the rest are in the file
    const QStringList changes = WatchLog::takeUnshown();
    if (changes.isEmpty())
        return;
    QString text =
        QStringLiteral("Since Tamarind was last open, the watch found %1:\n\n%2")
            .arg(changes.size() == 1 ? QStringLiteral("a change") : QStringLiteral("%1 changes").arg(changes.size()),
                changes.mid(0, ShownLines).join(QLatin1Char('\n')));
    if (changes.size() > ShownLines)
        text += QStringLiteral("\n\nThe other %1 are in %2.")
                    .arg(QString::number(changes.size() - ShownLines),
                        QDir::toNativeSeparators(ProgramFiles::path(ProgramFiles::File::WatchChangesShown)));
    ::showMessage(m_window, QStringLiteral("Saved Domains Watched"), text, QMessageBox::Information);
}
