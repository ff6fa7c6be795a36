#include "app/Startup.h"

#include "app/DataFile.h"
#include "app/Helpers.h"
#include "app/ProgramFiles.h"
#include "app/ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace Startup {

QStringList ensureInstalledData()
{
    const QString from = ProgramFolder::installedData();
    if (from.isEmpty())
        return {};
    const QString to = ProgramFolder::path();
    if (!QDir().mkpath(to))
        return {QStringLiteral("%1: the folder cannot be created").arg(QDir::toNativeSeparators(to))};
    QStringList failures;
    QDirIterator files(from, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        if (source.startsWith(from + QStringLiteral("/rdap/")))
            continue;   // the RDAP service files are read where they are installed
        const QString target = to + source.mid(from.size());
        if (QFileInfo::exists(target))
            continue;
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(source, target))
            failures << QStringLiteral("%1: cannot be copied").arg(QDir::toNativeSeparators(target));
        else
            QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    return failures;
}

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
