#pragma once
#include <QStringList>

// The start-up steps that need no window. Each step goes on past a failure; the texts returned name
// what could not be made, for callers that want to report it.
namespace Startup {

// An installed program's folder: created, and given the word lists, help and affixes it was
// installed with where it has none of its own. Nothing in a build tree.
QStringList ensureInstalledData();
// The working files of the program folder: each created with one empty line when missing, never
// touched when present.
QStringList ensureWorkingFiles();
// The working folders, created when missing.
QStringList ensureWorkingFolders();

}   // namespace Startup
