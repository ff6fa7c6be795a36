#include "app/DataFile.h"

#include <QFile>
#include <QSaveFile>

namespace DataFile {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

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

QString decode(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}

bool rewrite(const QString &path, const QStringList &entries, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    file.write(encode(entries));
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

bool append(const QString &path, const QStringList &lines, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        setError(error, file.errorString());
        return false;
    }
    const QByteArray bytes = encode(lines);
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        setError(error, file.errorString());
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

} // namespace DataFile
