#pragma once
#include <QStringList>

// The start-up steps that need no window. Each step goes on past a failure; the texts returned name
// what could not be made, for callers that want to report it.
namespace Startup {

// "\BrowserSearch.txt", "\Appends.txt", "\CreatedDomains.txt", "\Remembered.txt": each created with
// one empty line when missing, never touched when present.
QStringList EnsureWorkingFiles();
// "\backups", "\overflow", "\wordlists", "\searches", created when missing.
QStringList EnsureWorkingFolders();
// The saved "wordNumber", 0 when there is none.
qint32 LoadWordNumber();

}
