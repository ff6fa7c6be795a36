#include "app/ProgramFiles.h"

#include "app/ProgramFolder.h"

namespace ProgramFiles {

namespace {

const QList<Folder> &allFolders()
{
    static const QList<Folder> folders = {
        Folder::Backups, Folder::Overflow, Folder::Wordlists, Folder::Searches, Folder::CustomLists};
    return folders;
}

// Relative to the program folder.
QString relativePath(File file)
{
    switch (file) {
    case File::BrowserSearch: return QStringLiteral("BrowserSearch.txt");
    case File::Appends: return QStringLiteral("Appends.txt");
    case File::CreatedDomains: return QStringLiteral("CreatedDomains.txt");
    case File::Remembered: return QStringLiteral("Remembered.txt");
    case File::SearchOutput: return QStringLiteral("SearchOutput.txt");
    case File::FullWordList: return QStringLiteral("wordlists/FullWordList.txt");
    case File::AllTwoLetter: return QStringLiteral("wordlists/AllTwoLetter.txt");
    case File::AllThreeLetter: return QStringLiteral("wordlists/AllThreeLetter.txt");
    case File::AllFourLetter: return QStringLiteral("wordlists/AllFourLetter.txt");
    case File::RunLock: return QStringLiteral(".tamarind-run.lock");
    case File::Help: return QStringLiteral("Help.rtf");
    case File::NameStates: return QStringLiteral("NameStates.txt");
    case File::NameStatesJournal: return QStringLiteral("NameStates.journal");
    case File::SavedCheck: return QStringLiteral("CustomLists/Saved Domains.txt");
    case File::WatchChanges: return QStringLiteral("WatchChanges.txt");
    case File::WatchChangesShown: return QStringLiteral("WatchChanges.shown.txt");
    }
    return {};
}

QString baseName(ResultFile file)
{
    switch (file) {
    case ResultFile::LowProfile: return QStringLiteral("LowProfile");
    case ResultFile::HighProfile: return QStringLiteral("HighProfile");
    case ResultFile::SuperHighProfile: return QStringLiteral("SuperHighProfile");
    case ResultFile::MidProfile: return QStringLiteral("MidProfile");
    case ResultFile::Unchecked: return QStringLiteral("Unchecked");
    case ResultFile::Skipped: return QStringLiteral("Skipped");
    case ResultFile::Dropping: return QStringLiteral("Dropping");
    }
    return {};
}

}   // namespace

QString folderName(Folder folder)
{
    switch (folder) {
    case Folder::Backups: return QStringLiteral("backups");
    case Folder::Overflow: return QStringLiteral("overflow");
    case Folder::Wordlists: return QStringLiteral("wordlists");
    case Folder::Searches: return QStringLiteral("searches");
    case Folder::CustomLists: return QStringLiteral("CustomLists");
    }
    return {};
}

QString path(Folder folder)
{
    return ProgramFolder::resolve(folderName(folder));
}

QString path(File file)
{
    return ProgramFolder::resolve(relativePath(file));
}

QString resultPath(ResultFile file, const QString &stamp)
{
    return ProgramFolder::path() + '/' + baseName(file) + stamp + QStringLiteral(".txt");
}

QString resultPath(Folder folder, ResultFile file, const QString &stamp)
{
    return ProgramFolder::resolve(folderName(folder) + '/' + baseName(file) + stamp + QStringLiteral(".txt"));
}

QList<File> workingFiles()
{
    return {File::BrowserSearch, File::Appends, File::CreatedDomains, File::Remembered};
}

QList<Folder> workingFolders()
{
    return {Folder::Backups, Folder::Overflow, Folder::Wordlists, Folder::Searches};
}

QString canonicalFolderName(const QString &name)
{
    for (Folder folder : allFolders()) {
        if (folderName(folder).compare(name, Qt::CaseInsensitive) == 0)
            return folderName(folder);
    }
    return name;
}

}   // namespace ProgramFiles
