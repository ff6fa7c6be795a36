#include "app/DataFile.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace DataFile {

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

std::optional<QStringDecoder> utf16DecoderFor(const QByteArray &start)
{
    if (start.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE);
    if (start.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE);
    return std::nullopt;
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
        bytes += entry.toUtf8();
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
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered)) {
        setError(error, reason(file));
        return false;
    }
    const qint64 before = file.size();
    const QByteArray bytes = encode(lines);
    // Letters outside ASCII go in as UTF-8, and a file must be in one encoding to be read back: a
    // Latin-1 file is rewritten in UTF-8 first.
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; });
    if (!ascii && before > 0 && file.seek(0)) {
        const QByteArray content = file.readAll();
        if (!EntryIndex::isUtf8(content)) {
            file.close();
            return rewriteBytes(path, QString::fromLatin1(content).toUtf8() + bytes, error);
        }
    }
    errno = 0;
    if (file.write(bytes) != bytes.size()) {
        const QString why = reason(file);
        // Half a line left at the end would be read as an entry: say so when it cannot be taken back.
        setError(error,
            file.resize(before)
                ? why
                : QStringLiteral("%1, and the part written could not be taken back (%2)").arg(why, file.errorString()));
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
    return EntryIndex::read(file, blanks).all();
}

QString openText(QFile &file, const QString &path, Pipes pipes)
{
    const bool standardInput = path == QLatin1String("-");
    if (!standardInput && QFileInfo(path).isDir())
        return QStringLiteral("it is a folder");
    if (standardInput) {
        if (!file.open(stdin, QIODevice::ReadOnly))
            return file.errorString();
    } else {
        // Opened without blocking: a FIFO without a writer would hold open() for ever.
        const int handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (handle < 0)
            return QString::fromLocal8Bit(std::strerror(errno));
        if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(handle);
            return file.errorString();
        }
        ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK);
    }
    struct stat status {
    };
    QString refusal;
    if (::fstat(file.handle(), &status) == 0 && !S_ISREG(status.st_mode)) {
        if (S_ISDIR(status.st_mode))
            refusal = QStringLiteral("it is a folder");
        else if (pipes == Pipes::Refuse || !S_ISFIFO(status.st_mode))
            refusal = QStringLiteral("it is not a file but a device or pipe, which may never end");
    }
    if (refusal.isEmpty()) {
        const QByteArray start = file.peek(4096);
        if (start.contains('\0') && !utf16DecoderFor(start))
            refusal = QStringLiteral("it is not a text file (it holds NUL bytes)");
    }
    if (!refusal.isEmpty())
        file.close();
    return refusal;
}

bool EntryIndex::isUtf8(const QByteArray &bytes)
{
    Utf8Check check;
    check.add(bytes.constData(), bytes.size());
    return check.valid();
}

void EntryIndex::Utf8Check::add(const char *data, qsizetype size)
{
    for (qsizetype i = 0; i < size && !m_failed; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (m_pending > 0) {
            m_failed = byte < m_low || byte > m_high;
            m_low = 0x80;
            m_high = 0xBF;
            --m_pending;
            continue;
        }
        if (byte < 0x80)
            continue;
        if (byte >= 0xC2 && byte <= 0xDF) {
            m_pending = 1;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            m_pending = 2;
            if (byte == 0xE0)
                m_low = 0xA0;   // no overlong form
            if (byte == 0xED)
                m_high = 0x9F;   // no surrogate
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            m_pending = 3;
            if (byte == 0xF0)
                m_low = 0x90;
            if (byte == 0xF4)
                m_high = 0x8F;   // nothing past U+10FFFF
        } else {
            m_failed = true;
        }
    }
}

namespace {
// Enough bytes for the shown characters, each up to 4 bytes in UTF-8.
constexpr qsizetype OverlongKeptBytes = OverlongShownChars * 4;
}   // namespace

EntryIndex::EntryIndex(Blanks blanks, qsizetype maxEntry)
    : m_blanks(blanks)
    , m_maxEntry(maxEntry)
{ }

EntryIndex::EntryIndex(const QByteArray &content, Blanks blanks, qsizetype maxEntry)
    : EntryIndex(blanks, maxEntry)
{
    if (std::optional<QStringDecoder> utf16 = utf16DecoderFor(content)) {
        const QByteArray utf8 = QString(utf16->decode(content)).toUtf8();
        add(utf8.constData(), utf8.size());
    } else {
        m_content.reserve(content.size());
        add(content.constData(), content.size());
    }
    finish();
}

EntryIndex EntryIndex::read(QIODevice &device, Blanks blanks, qsizetype maxEntry, qsizetype pieceBytes)
{
    EntryIndex index(blanks, maxEntry);
    // A UTF-16 text is taken as its UTF-8 form, piece by piece.
    std::optional<QStringDecoder> utf16 = utf16DecoderFor(device.peek(2));
    QByteArray piece(pieceBytes, Qt::Uninitialized);
    for (qint64 got = device.read(piece.data(), pieceBytes); got > 0; got = device.read(piece.data(), pieceBytes)) {
        if (utf16) {
            const QByteArray utf8 = QString(utf16->decode(QByteArrayView(piece.constData(), got))).toUtf8();
            index.add(utf8.constData(), utf8.size());
        } else {
            index.add(piece.constData(), got);
        }
    }
    index.finish();
    return index;
}

void EntryIndex::add(const char *data, qsizetype size)
{
    m_utf8.add(data, size);
    qsizetype i = 0;
    if (m_afterCr && size > 0 && data[0] == '\n')
        i = 1;
    m_afterCr = false;
    while (i < size) {
        qsizetype end = i;
        while (end < size && data[end] != '\r' && data[end] != '\n')
            ++end;
        // The bytes of the line up to here; of a line too long to be a name, only what is shown.
        const qsizetype kept = m_content.size() - m_lineStart;
        if (!m_lineTooLong && kept + (end - i) > m_maxEntry)
            m_lineTooLong = true;
        if (!m_lineTooLong)
            m_content.append(data + i, end - i);
        else if (kept < OverlongKeptBytes)
            m_content.append(data + i, std::min(OverlongKeptBytes - kept, end - i));
        else
            m_content.truncate(m_lineStart + OverlongKeptBytes);
        if (end == size)
            break;
        endLine();
        if (data[end] == '\r') {
            if (end + 1 == size)
                m_afterCr = true;
            else if (data[end + 1] == '\n')
                ++end;
        }
        i = end + 1;
    }
}

void EntryIndex::endLine()
{
    const qsizetype length = m_content.size() - m_lineStart;
    if (m_lineTooLong) {
        m_spans.push_back({m_lineStart, length});
        m_overlongEntries.push_back(qint64(m_spans.size()));
    } else if (length > 0 && !(m_blanks == Blanks::SkipSingleSpace && length == 1 && m_content[m_lineStart] == ' '))
        m_spans.push_back({m_lineStart, length});
    else
        m_content.truncate(m_lineStart);
    if (m_lines++ == 0)
        m_firstLineKept = !m_spans.empty();
    m_lineStart = m_content.size();
    m_lineTooLong = false;
}

void EntryIndex::finish()
{
    endLine();   // a last line without a line break is an entry too
    // A UTF-8 list may begin with a byte order mark, which is no part of its first entry.
    if (isUtf8() && m_firstLineKept && m_content.startsWith("\xEF\xBB\xBF")) {
        Span &first = m_spans.front();
        first.start += 3;
        first.length -= 3;
        if (first.length == 0)
            m_spans.erase(m_spans.begin());
    }
    m_content.squeeze();
}

QString EntryIndex::entry(qint64 n) const
{
    if (n < 1)
        return {};
    if (n > count())
        return EndSentinel;
    const Span &span = m_spans[size_t(n - 1)];
    const char *bytes = m_content.constData() + span.start;
    const QString text = isUtf8() ? QString::fromUtf8(bytes, span.length) : QString::fromLatin1(bytes, span.length);
    if (!isOverlong(n))
        return text;
    qsizetype end = 0;   // after the shown characters, a letter beyond U+FFFF being one
    for (qsizetype shown = 0; shown < OverlongShownChars && end < text.size(); ++shown)
        end += text[end].isHighSurrogate() && end + 1 < text.size() ? 2 : 1;
    return text.left(end) + QChar(0x2026);
}

bool EntryIndex::isOverlong(qint64 n) const
{
    return std::binary_search(m_overlongEntries.cbegin(), m_overlongEntries.cend(), n);
}

QStringList EntryIndex::all() const
{
    QStringList entries;
    entries.reserve(count());
    for (qint64 n = 1; n <= count(); ++n) {
        if (!isOverlong(n))
            entries.append(entry(n));
    }
    return entries;
}

}   // namespace DataFile
