#pragma once
#include <QStringList>

// The start-up steps that need no window. Each step goes on past a failure; the texts returned name
// what could not be made, for callers that want to report it.
namespace Startup {

// The working files of the program folder: each created with one empty line when missing, never
// touched when present.
QStringList ensureWorkingFiles();
// The working folders, created when missing.
QStringList ensureWorkingFolders();

}   // namespace Startup
