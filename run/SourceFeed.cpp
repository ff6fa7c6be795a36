#include "run/SourceFeed.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

void SourceFeed::setPath(const QString &path)
{
    m_path = path;
    m_loaded = false;
    m_index = {};
}

bool SourceFeed::refresh()
{
    if (m_path.isEmpty()) {
        m_error = QStringLiteral("no list is chosen");
        m_loaded = false;
        return false;
    }
    // A plain stat: this runs for every name, and QFileInfo's times convert to local time.
    struct stat status {
    };
    const bool exists = ::stat(QFile::encodeName(m_path).constData(), &status) == 0;
    const qint64 modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    if (m_loaded && exists && status.st_size == m_size && modified == m_modified)
        return true;
    const QFileInfo info(m_path);
    QFile file(m_path);
    QString refusal;
    if (info.isDir())
        refusal = QStringLiteral("it is a folder");
    else if (exists && !S_ISREG(status.st_mode))
        refusal = QStringLiteral("it is not a file but a device or pipe, which may never end");
    else if (!file.open(QIODevice::ReadOnly))
        refusal = file.errorString();
    else if (file.peek(4096).contains('\0'))
        refusal = QStringLiteral("it is not a text file (it holds NUL bytes)");
    if (!refusal.isEmpty()) {
        m_error = refusal;
        m_loaded = false;
        m_index = {};
        ++m_loads;
        return false;
    }
    m_index = DataFile::EntryIndex::read(file);
    m_size = status.st_size;
    m_modified = modified;
    m_loaded = true;
    ++m_loads;
    m_error.clear();
    return true;
}

QString SourceFeed::entry(qint64 n)
{
    if (!refresh())
        return DataFile::EndSentinel;
    return m_index.entry(n);
}

qint64 SourceFeed::count()
{
    return refresh() ? m_index.count() : 0;
}

QString SourceFeed::openError()
{
    return refresh() ? QString() : m_error;
}
