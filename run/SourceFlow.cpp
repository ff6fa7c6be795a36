#include "run/SourceFlow.h"

#include <QLocale>

namespace {

bool isSearchEngine(Source source)
{
    return source == Source::YahooSearch || source == Source::GoogleSearch;
}

}   // namespace

BandNumbers SourceFlow::choose(Source source, const QString &customFile)
{
    const SourceSelection selection = m_session.selectSource(source, customFile);
    BandNumbers shown;
    if (selection.wordMax)
        shown.entries = QString::number(*selection.wordMax);
    if (selection.wordNum)
        shown.startNumber = QString::number(*selection.wordNum);
    if (source == Source::CustomList && m_session.choice().file().isEmpty())
        shown.startNumber = shown.entries = QString();   // the dialog was cancelled: no numbers for no list
    shown.status = selection.startsOver;
    return shown;
}

QString SourceFlow::start(const QString &startNumber, const QString &entries, BandNumbers *after)
{
    bool numberOk = false;
    const qint64 first = startNumber.trimmed().toLongLong(&numberOk);
    // Without a list, Start says so whatever the number field holds.
    if (!numberOk && !isSearchEngine(m_session.choice().source()) && !m_session.choice().file().isEmpty())
        return QStringLiteral("The start number \"%1\" is not a whole number. Type the "
                              "number of the first entry to check, for example 1.")
            .arg(startNumber);
    // The entries are shown only: one that is not a number counts as 0.
    if (const QString problem = m_session.start(first, entries.trimmed().toLongLong()); !problem.isEmpty())
        return problem;
    if (isSearchEngine(m_session.choice().source()))
        after->startNumber = QStringLiteral("1");
    return {};
}

BandNumbers SourceFlow::afterRun()
{
    const RunControl &run = m_session.run();
    const Source source = m_session.choice().source();
    if (source == Source::CustomList && !run.runFile().isEmpty() && m_session.choice().file() != run.runFile())
        return choose(source, m_session.choice().file());   // another file was chosen during the run
    if (source == Source::CustomList || source == Source::GenerateNames) {
        BandNumbers shown;
        if (m_session.choice().file() == run.runFile() && run.resumeSaved() > 0)
            shown.startNumber = QString::number(run.resumeSaved());
        return shown;
    }
    if (source == Source::BrowseForNames)
        return {};
    return choose(source);
}

QString SourceFlow::runToReplace() const
{
    const RunControl &run = m_session.run();
    if (!run.isRunning())
        return {};
    const QLocale english(QLocale::English);
    const QString position = english.toString(run.resumePosition());
    return QStringLiteral("A run of %1 is going on, at entry %2 of %3. Stopped, it keeps its place and "
                          "resumes there when you start it again.")
        .arg(RunControl::sourceName(run.runSource()), position, english.toString(run.lastEntry()));
}

void SourceFlow::stopForNewGeneratedList()
{
    if (m_session.isRunning())
        m_session.stop();
}
