#include "run/SourceFeed.h"

#include <QFile>
#include <QFileInfo>

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
    const QFileInfo info(m_path);
    if (m_loaded && info.exists() && info.size() == m_size && info.lastModified() == m_modified)
        return true;
    QFile file(m_path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        m_error = info.isDir() ? QStringLiteral("it is a folder") : file.errorString();
        m_loaded = false;
        m_index = {};
        return false;
    }
    m_index = DataFile::EntryIndex(file.readAll());
    m_size = info.size();
    m_modified = info.lastModified();
    m_loaded = true;
    m_error.clear();
    return true;
}

QString SourceFeed::ReadSourceLine(qint64 n)
{
    if (!refresh())
        return DataFile::EndSentinel;
    return m_index.entry(n);
}

qint64 SourceFeed::CountSourceLines()
{
    return refresh() ? m_index.count() : 0;
}

QString SourceFeed::openError()
{
    return refresh() ? QString() : m_error;
}
