#pragma once
#include <QString>
#include <QStringList>

// Every file and folder of the program folder, named once. Paths come back absolute, resolved
// without regard to letter case against what is on disk.
namespace ProgramFiles {

enum class Folder {
    Backups,
    Overflow,
    Wordlists,
    Searches,
    CustomLists
};

enum class File {
    BrowserSearch,    // names harvested from the web
    Appends,          // the generator's affixes
    CreatedDomains,   // names the generator made
    Remembered,       // the Saved Domains list
    SearchOutput,
    FullWordList,   // the installed word lists, in the wordlists folder
    AllTwoLetter,
    AllThreeLetter,
    AllFourLetter,
    RunLock,             // held by the program that runs a check in this folder
    Help,                // the help document
    NameStates,          // the last state of each name checked again
    NameStatesJournal,   // the states a watch recorded since NameStates.txt was last written
    SavedCheck,          // the Saved Domains list as the list of its check again, in CustomLists
    WatchChanges,        // the changes that watches told, until the desktop program shows them
    WatchChangesShown,   // the changes it showed last
};

// The result files of a run, named after their kind and the run's stamp. The file called
// "HighProfile" holds the Mid list and "SuperHighProfile" the High list.
enum class ResultFile {
    LowProfile,
    HighProfile,
    SuperHighProfile,
    MidProfile,
    Unchecked,
    Skipped,    // the lines of a run's list that were not asked, each with why
    Dropping,   // registered names on their way out: NAME, STATE and RELEASE, tab-separated
};

QString folderName(Folder folder);
QString path(Folder folder);
QString path(File file);
// A result file in the program folder itself, or in one of its folders (overflow, backups).
QString resultPath(ResultFile file, const QString &stamp);
QString resultPath(Folder folder, ResultFile file, const QString &stamp);

// The files and folders that start-up makes when they are missing.
QList<File> workingFiles();
QList<Folder> workingFolders();
// The spelling of a folder the program creates, for a name given in any letter case; the name
// itself when it is none of them.
QString canonicalFolderName(const QString &name);

}   // namespace ProgramFiles
