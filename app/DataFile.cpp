#include "app/DataFile.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace DataFile {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// The system's reason for a failed operation: Qt reports some write failures as "Unknown error".
QString reason(const QFileDevice &file)
{
    const int code = errno;
    if (code != 0 && (file.error() == QFileDevice::NoError || file.errorString() == QLatin1String("Unknown error")))
        return QString::fromLocal8Bit(std::strerror(code));
    return file.errorString();
}

}   // namespace

QByteArray encode(const QStringList &entries)
{
    QByteArray bytes;
    qsizetype size = 0;
    for (const QString &entry : entries)
        size += entry.size() + 2;
    bytes.reserve(size);
    for (const QString &entry : entries) {
        bytes += entry.toLatin1();
        bytes += "\r\n";
    }
    return bytes;
}

bool rewrite(const QString &path, const QStringList &entries, QString *error)
{
    return rewriteBytes(path, encode(entries), error);
}

bool rewriteBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    // Unbuffered: a buffered write that the system cuts short would still be committed.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        setError(error, reason(file));
        return false;
    }
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        setError(error, reason(file));
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit()) {
        setError(error, reason(file));
        return false;
    }
    return true;
}

// Either every line is added or the file keeps its earlier size: a failed write (a full disk)
// never leaves half a line at its end.
bool append(const QString &path, const QStringList &lines, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        setError(error, reason(file));
        return false;
    }
    const qint64 before = file.size();
    const QByteArray bytes = encode(lines);
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        setError(error, reason(file));
        file.resize(before);
        return false;
    }
    return true;
}

bool ensureExists(const QString &path, QString *error)
{
    if (QFile::exists(path))
        return true;
    return append(path, {QString()}, error);
}

QStringList readEntries(const QString &path, Blanks blanks)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return EntryIndex(file.readAll(), blanks).all();
}

EntryIndex::EntryIndex(QByteArray content, Blanks blanks)
    : m_content(std::move(content))
{
    const char *data = m_content.constData();
    const qsizetype size = m_content.size();
    qsizetype lineStart = 0;
    auto addLine = [&](qsizetype end) {
        const qsizetype length = end - lineStart;
        if (length == 0)
            return;
        if (blanks == Blanks::SkipSingleSpace && length == 1 && data[lineStart] == ' ')
            return;
        m_spans.push_back({lineStart, length});
    };
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        addLine(i);
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        lineStart = i + 1;
    }
    addLine(size);   // a last line without a line break is an entry too
}

QString EntryIndex::entry(qint64 n) const
{
    if (n < 1)
        return {};
    if (n > count())
        return EndSentinel;
    const Span &span = m_spans[size_t(n - 1)];
    return QString::fromLatin1(m_content.constData() + span.start, span.length);
}

QStringList EntryIndex::all() const
{
    QStringList entries;
    entries.reserve(count());
    for (qint64 n = 1; n <= count(); ++n)
        entries.append(entry(n));
    return entries;
}

}   // namespace DataFile
