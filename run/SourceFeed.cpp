#include "run/SourceFeed.h"

#include <QCryptographicHash>
#include <QFile>
#include <sys/stat.h>

namespace {
constexpr qint64 FingerprintBytes = 64 * 1024;
}

QString SourceFeed::changeFrom(const QString &kept, const QString &fingerprint)
{
    const QStringList before = kept.split(' ');
    const QStringList now = fingerprint.split(' ');
    if (kept.isEmpty() || before.size() != 3 || now.size() != 3)
        return {};
    if (before[0] != now[0])
        return QStringLiteral("its size changed");
    if (before[1] != now[1])
        return QStringLiteral("its modification time changed");
    if (before[2] != now[2])
        return QStringLiteral("its first 64 KB changed");
    return {};
}

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
    const QByteArray start = file.peek(FingerprintBytes);
    m_index = DataFile::EntryIndex::read(file);
    m_size = status.st_size;
    m_modified = qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    m_fingerprint = QStringLiteral("%1 %2 %3")
                        .arg(QString::number(m_size), QString::number(m_modified),
                            QString::fromLatin1(QCryptographicHash::hash(start, QCryptographicHash::Sha256).toHex()));
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
