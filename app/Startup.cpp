#include "app/Startup.h"

#include "app/DataFile.h"
#include "app/Helpers.h"
#include "app/ProgramFolder.h"
#include "app/SettingsStore.h"

#include <QDir>

namespace Startup {

QStringList EnsureWorkingFiles()
{
    QStringList failures;
    for (const char *name : {"\\BrowserSearch.txt", "\\Appends.txt", "\\CreatedDomains.txt",
                             "\\Remembered.txt"}) {
        const QString path = ProgramFolder::resolve(QString::fromLatin1(name));
        QString error;
        if (!FileExists(path) && !DataFile::ensureExists(path, &error))
            failures << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), error);
    }
    return failures;
}

QStringList EnsureWorkingFolders()
{
    QStringList failures;
    for (const char *name : {"\\backups", "\\overflow", "\\wordlists", "\\searches"}) {
        const QString path = ProgramFolder::resolve(QString::fromLatin1(name));
        if (!DirExists(path) && !QDir().mkdir(path))
            failures << QStringLiteral("%1: the folder cannot be created").arg(path);
    }
    return failures;
}

qint32 LoadWordNumber()
{
    bool ok = false;
    const qint32 value = SettingsStore::get(SettingsStore::RunKey, SettingsStore::SettingsSection,
                                            QStringLiteral("wordNumber"), QStringLiteral("0"))
                             .trimmed()
                             .toInt(&ok);
    return ok ? value : 0;
}

} // namespace Startup
