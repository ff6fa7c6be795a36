#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The program's text lists: one entry per line, single-byte text, lines written with CR LF. Readers
// accept CR LF, LF and a lone CR, skip empty lines, and read a last line that has no line break.
// Text is carried byte for byte (Latin-1), so whatever a list holds comes back unchanged.
namespace DataFile {

inline const QString EndSentinel = QStringLiteral("endoffileffile");

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

QByteArray encode(const QStringList &entries);

// The entries of one file's content with their positions, so that entry n is found without reading
// the lines before it.
class EntryIndex
{
public:
    EntryIndex() = default;
    explicit EntryIndex(QByteArray content, Blanks blanks = Blanks::Keep);

    qsizetype count() const { return qsizetype(m_spans.size()); }
    // Entry number n, counted from 1; the end sentinel past the last entry; empty for n < 1.
    QString entry(qint64 n) const;
    QStringList all() const;

private:
    struct Span {
        qsizetype start;
        qsizetype length;
    };
    QByteArray m_content;
    std::vector<Span> m_spans;
};

}   // namespace DataFile
