#include "app/ProgramFolder.h"

#include "Version.h"
#include "app/ProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

QString &overrideFolder()
{
    static QString folder;
    return folder;
}

QString matchInFolder(const QString &folder, const QString &name)
{
    if (QFileInfo::exists(folder + '/' + name))
        return name;
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

// Appends each part to base, taking the spelling found on disk where one matches.
QString resolveBelow(QString result, const QStringList &parts, bool canonicalFolders)
{
    bool onDisk = true;
    for (int i = 0; i < parts.size(); ++i) {
        const QString &name = parts[i];
        if (onDisk) {
            const QString match = matchInFolder(result.isEmpty() ? "/" : result, name);
            if (!match.isEmpty()) {
                result += '/' + match;
                continue;
            }
            onDisk = false;
        }
        result += '/' + (canonicalFolders ? ProgramFiles::canonicalFolderName(name) : name);
    }
    return result;
}

}   // namespace

namespace ProgramFolder {

QString path()
{
    QString folder = overrideFolder();
    if (folder.isEmpty())
        folder = qEnvironmentVariable("TAMARIND_PROGRAM_FOLDER");
    if (folder.isEmpty())
        folder = installedData().isEmpty() ? QCoreApplication::applicationDirPath() : userFolder();
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    return folder == "/" ? QString() : folder;
}

QString installedData()
{
    const QString data =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/" TAMARIND_DATA_FROM_BIN));
    return QFileInfo::exists(data + QStringLiteral("/Help.rtf")) ? data : QString();
}

QString userFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(base))   // unset, empty or relative: the XDG default
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/Tamarind"));
}

void setPath(const QString &folder)
{
    overrideFolder() = folder;
}

QString resolveCaseInsensitive(const QString &absolute)
{
    return resolveBelow(QString(), QDir::cleanPath(absolute).split('/', Qt::SkipEmptyParts), false);
}

QString resolve(const QString &relative)
{
    return resolveBelow(path(), QString(relative).replace('\\', '/').split('/', Qt::SkipEmptyParts), true);
}

QString dataFile(const QString &fileName, const QString &kind, const QString &shipped)
{
    QStringList places {path()};
    if (const QString installed = installedData(); !installed.isEmpty())
        places << installed + QLatin1Char('/') + kind;
    places << shipped;
    for (const QString &place : std::as_const(places)) {
        const QString file = place + QLatin1Char('/') + fileName;
        if (QFileInfo(file).isFile())
            return file;
    }
    return {};
}

}   // namespace ProgramFolder
