#include "app/Helpers.h"

#include "app/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString withSlashes(const QString &path)
{
    return QString(path).replace('\\', '/');
}

}   // namespace

namespace Helpers {

void CopyFile(const QString &source, const QString &destination)
{
    QFile in(withSlashes(source));
    if (!in.open(QIODevice::ReadOnly))
        return;
    // Written beside the destination and renamed over it, so a failed copy leaves the old file.
    QSaveFile out(withSlashes(destination));
    if (!out.open(QIODevice::WriteOnly))
        return;
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (chunk.isEmpty() || out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            break;
        }
    }
    out.commit();
}

bool DirExists(const QString &path)
{
    QString folder = withSlashes(path);
    if (folder.isEmpty())
        return false;
    return QFileInfo(ProgramFolder::resolveCaseInsensitive(QDir(folder).absolutePath())).isDir();
}

bool FileExists(const QString &path)
{
    const QString file = withSlashes(path);
    const QString name = FileNameOf(file);
    if (name.isEmpty() || name.contains('*') || name.contains('?'))
        return false;
    const QFileInfo info(ProgramFolder::resolveCaseInsensitive(QDir(file).absolutePath()));
    return info.isFile() && !info.isHidden() && info.fileName().compare(name, Qt::CaseInsensitive) == 0;
}

QString FileNameOf(const QString &path)
{
    const qsizetype cut = std::max(path.lastIndexOf('\\'), path.lastIndexOf('/'));
    return path.mid(cut + 1);
}

}   // namespace Helpers
