#include "app/Startup.h"

#include "app/DataFile.h"
#include "app/Helpers.h"
#include "app/ProgramFiles.h"

#include <QDir>

namespace Startup {

QStringList ensureWorkingFiles()
{
    QStringList failures;
    for (ProgramFiles::File file : ProgramFiles::workingFiles()) {
        const QString path = ProgramFiles::path(file);
        QString error;
        if (!Helpers::FileExists(path) && !DataFile::ensureExists(path, &error))
            failures << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), error);
    }
    return failures;
}

QStringList ensureWorkingFolders()
{
    QStringList failures;
    for (ProgramFiles::Folder folder : ProgramFiles::workingFolders()) {
        const QString path = ProgramFiles::path(folder);
        if (!Helpers::DirExists(path) && !QDir().mkdir(path))
            failures << QStringLiteral("%1: the folder cannot be created").arg(QDir::toNativeSeparators(path));
    }
    return failures;
}

}   // namespace Startup
