#pragma once
#include <QString>

// The folder every data file lives in: the folder of the executable in a build tree, the per-user
// data folder ($XDG_DATA_HOME/Tamarind) of an installed program, unless TAMARIND_PROGRAM_FOLDER or
// an explicit override (--folder, tests) names another one.
namespace ProgramFolder {

QString path();
// The data an installed program came with (share/tamarind beside its bin folder); empty when the
// program runs from its build tree.
QString installedData();
// A data file of the program: the program folder's copy, else the one installed in the data's
// `kind` folder (share/tamarind/rdap), else the one in `shipped` (a build-tree run); empty if none.
QString dataFile(const QString &fileName, const QString &kind, const QString &shipped);
// The per-user folder of an installed program.
QString userFolder();
void setPath(const QString &folder);   // empty text returns to the default

// Turns a relative data path written with either separator ("\Backups\LowProfile.txt") into an
// absolute path. Every component is matched without regard to letter case against what is on disk;
// a folder that does not exist yet takes the spelling the program creates it with.
QString resolve(const QString &relative);

// Matches each component of an absolute path case-insensitively against the disk; components that
// do not exist are kept as written.
QString resolveCaseInsensitive(const QString &absolute);

}   // namespace ProgramFolder
