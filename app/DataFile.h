#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

class QFile;
class QIODevice;

// The program's text lists: one entry per line, lines written with CR LF in UTF-8 (ASCII stays byte
// for byte). Readers accept CR LF, LF and a lone CR, skip empty lines, and read a last line that has
// no line break. A list that is valid UTF-8 is read as UTF-8; one that begins with a UTF-16 byte
// order mark as UTF-16; any other is single-byte text (Latin-1). A line longer than MaxEntryBytes is
// no name: it keeps its place among the entries, so that the entries after it keep their numbers,
// but only its start is kept, to be shown.
namespace DataFile {

inline const QString EndSentinel = QStringLiteral("endoffileffile");
constexpr qsizetype MaxEntryBytes = 64 * 1024;
// How much of a line longer than MaxEntryBytes is shown: its first characters and an ellipsis.
constexpr qsizetype OverlongShownChars = 200;

enum class Blanks {
    Keep,
    SkipSingleSpace
};

// Replaces the file with the entries, each followed by CR LF. The new content is written to a
// temporary file first and renamed over the old one, so a crash never leaves half a list.
bool rewrite(const QString &path, const QStringList &entries, QString *error = nullptr);
// The same for content that is already encoded.
bool rewriteBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// Adds the lines at the end of the file, creating it if missing. On failure the file keeps the size
// it had.
bool append(const QString &path, const QStringList &lines, QString *error = nullptr);
// Creates the file with one empty line (CR LF) when it does not exist; never touches one that does.
bool ensureExists(const QString &path, QString *error = nullptr);

// Every entry of the file in order; a missing or unreadable file gives none.
QStringList readEntries(const QString &path, Blanks blanks = Blanks::Keep);

enum class Pipes {
    Refuse,
    Allow
};
// Opens a text file for reading ("-": standard input), or says why it is none: a folder, a device
// (which may never end), a pipe unless allowed, a file with NUL bytes in its first 4 KB (a UTF-16
// text with its byte order mark excepted). Empty when the file is open.
QString openText(QFile &file, const QString &path, Pipes pipes = Pipes::Refuse);

QByteArray encode(const QStringList &entries);

// The entries of one file's content with their positions, so that entry n is found without reading
// the lines before it.
class EntryIndex
{
public:
    EntryIndex() = default;
    explicit EntryIndex(const QByteArray &content, Blanks blanks = Blanks::Keep, qsizetype maxEntry = MaxEntryBytes);
    // Reads the device to its end piece by piece: a line of a gigabyte costs no more memory than
    // maxEntry bytes.
    static EntryIndex read(QIODevice &device, Blanks blanks = Blanks::Keep, qsizetype maxEntry = MaxEntryBytes,
        qsizetype pieceBytes = 1 << 20);

    // Whether the bytes are UTF-8 by the rule the reader applies.
    static bool isUtf8(const QByteArray &bytes);

    // The number of entries, the lines longer than maxEntry among them.
    qsizetype count() const { return qsizetype(m_spans.size()); }
    // The lines longer than maxEntry.
    qsizetype overlong() const { return qsizetype(m_overlongEntries.size()); }
    // Whether entry n is a line longer than maxEntry, whose text is only its start and an ellipsis.
    bool isOverlong(qint64 n) const;
    bool isUtf8() const { return m_utf8.valid(); }
    // Entry number n, counted from 1; the end sentinel past the last entry; empty for n < 1.
    QString entry(qint64 n) const;
    // Every entry but the lines longer than maxEntry, which are no text a reader can use.
    QStringList all() const;

private:
    // Whether the bytes seen so far, piece after piece, are UTF-8 (RFC 3629: no overlong forms, no
    // surrogates, nothing past U+10FFFF, no sequence cut at the end).
    class Utf8Check
    {
    public:
        void add(const char *data, qsizetype size);
        bool valid() const { return !m_failed && m_pending == 0; }

    private:
        bool m_failed = false;
        int m_pending = 0;                           // continuation bytes still expected
        unsigned char m_low = 0x80, m_high = 0xBF;   // the range of the next continuation byte
    };

    struct Span {
        qsizetype start;
        qsizetype length;
    };

    EntryIndex(Blanks blanks, qsizetype maxEntry);
    void add(const char *data, qsizetype size);
    void endLine();
    void finish();

    // Only the lines that are entries are kept, one after the other.
    QByteArray m_content;
    std::vector<Span> m_spans;
    Blanks m_blanks = Blanks::Keep;
    qsizetype m_maxEntry = MaxEntryBytes;
    qsizetype m_lineStart = 0;
    bool m_lineTooLong = false;
    bool m_afterCr = false;                  // a line feed right after a CR ends no further line
    std::vector<qint64> m_overlongEntries;   // their entry numbers, in order
    qsizetype m_lines = 0;
    bool m_firstLineKept = false;   // the first line of the file is entry 1 (it may hold a byte order mark)
    Utf8Check m_utf8;
};

}   // namespace DataFile
