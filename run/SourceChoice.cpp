#include "run/SourceChoice.h"

#include "app/ProgramFiles.h"
#include "run/ResumeStore.h"

#include <QDir>
#include <QHash>

SourceSelection::Group groupOf(Source source)
{
    switch (source) {
    case Source::FullWordList:
    case Source::AllTwoLetter:
    case Source::AllThreeLetter:
    case Source::AllFourLetter:
    case Source::CustomList: return SourceSelection::Group::WordList;
    case Source::YahooSearch:
    case Source::GoogleSearch: return SourceSelection::Group::Search;
    case Source::GenerateNames:
    case Source::BrowseForNames:
    case Source::None: break;
    }
    return SourceSelection::Group::None;
}

QString SourceChoice::listProblem() const
{
    const QString error = m_list.openError();
    if (error.isEmpty())
        return {};
    return QStringLiteral("The list %1 cannot be opened: %2.").arg(QDir::toNativeSeparators(m_list.path()), error);
}

SourceSelection SourceChoice::select(Source source, const QString &customFile)
{
    using ProgramFiles::File;
    static const QHash<Source, File> installed = {
        {Source::FullWordList, File::FullWordList},
        {Source::AllTwoLetter, File::AllTwoLetter},
        {Source::AllThreeLetter, File::AllThreeLetter},
        {Source::AllFourLetter, File::AllFourLetter},
    };
    m_source = source;
    SourceSelection selection;
    selection.group = groupOf(source);
    switch (source) {
    case Source::None: break;
    case Source::FullWordList:
    case Source::AllTwoLetter:
    case Source::AllThreeLetter:
    case Source::AllFourLetter: {
        m_list.setPath(ProgramFiles::path(installed.value(source)));
        selection.wordMax = m_list.count();
        const ResumeStart resume = ResumeStore::resumeStart(*ResumeStore::settingFor(source), m_list);
        selection.wordNum = resume.entry;
        selection.startsOver = resume.startsOver;
        break;
    }
    case Source::CustomList: {
        m_list.setPath(customFile);
        selection.wordMax = m_list.count();
        // The same file again resumes where its last run stopped, unless it changed since.
        const ResumeStart resume = ResumeStore::customListStart(m_list);
        selection.wordNum = resume.entry;
        selection.startsOver = resume.startsOver;
        break;
    }
    case Source::YahooSearch:
    case Source::GoogleSearch: {
        // The list of a search resumes where its run stopped; a new search writes a new list, which
        // starts at entry 1.
        m_list.setPath(ProgramFiles::path(File::BrowserSearch));
        const ResumeStart resume = ResumeStore::resumeStart(*ResumeStore::settingFor(source), m_list);
        selection.wordNum = resume.entry;
        break;
    }
    case Source::GenerateNames:
        m_list.setPath(ProgramFiles::path(File::CreatedDomains));
        selection.wordNum = 1;
        break;
    case Source::BrowseForNames: break;
    }
    return selection;
}
