#include "run/SourceFeed.h"

#include <QFile>
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
    QFile file;
    if (const QString refusal = DataFile::openText(file, m_path); !refusal.isEmpty()) {
        m_error = refusal;
        m_loaded = false;
        m_index = {};
        ++m_loads;
        return false;
    }
    // The size and time of the file that was read, not of the one seen before it was opened: a
    // list replaced in between would otherwise read as changed at the next entry.
    if (::fstat(file.handle(), &status) != 0)
        status = {};
    m_index = DataFile::EntryIndex::read(file);
    m_size = status.st_size;
    m_modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
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
