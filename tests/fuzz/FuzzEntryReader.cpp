// The list reader: the entries are exactly the file's lines, however the file is cut into pieces.
#include "Fuzz.h"
#include "app/DataFile.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QStringList>

namespace {

struct Expected {
    QStringList entries;
    qsizetype overlong = 0;
    qsizetype count = 0;   // the overlong lines keep their places
};

// The lines as the format describes them, split in the plainest way.
Expected splitLines(const QByteArray &content, DataFile::Blanks blanks, qsizetype maxEntry)
{
    QList<QByteArray> lines;
    QByteArray line;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n')
            ++i;
        lines << line;
        line.clear();
    }
    lines << line;
    // Valid UTF-8 is exactly what survives a round trip through UTF-16 unchanged.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    const bool utf8 = QString(decoder(content)).toUtf8() == content;
    Expected expected;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QByteArray entry = lines[n];
        if (entry.size() > maxEntry) {
            ++expected.overlong;
            ++expected.count;
            continue;
        }
        if (entry.isEmpty() || (blanks == DataFile::Blanks::SkipSingleSpace && entry == " "))
            continue;
        if (n == 0 && utf8 && entry.startsWith("\xEF\xBB\xBF")) {
            entry.remove(0, 3);
            if (entry.isEmpty())
                continue;
        }
        ++expected.count;
        expected.entries << (utf8 ? QString::fromUtf8(entry) : QString::fromLatin1(entry));
    }
    return expected;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const unsigned char control = input.byte();
    const auto blanks = control & 1 ? DataFile::Blanks::SkipSingleSpace : DataFile::Blanks::Keep;
    const qsizetype maxEntry = 1 + input.byte() % 64;
    const qsizetype piece = 1 + (control >> 1) % 16;
    QByteArray content = input.rest();

    const Expected expected = splitLines(content, blanks, maxEntry);
    const DataFile::EntryIndex whole(content, blanks, maxEntry);
    FUZZ_CHECK(whole.all() == expected.entries);
    FUZZ_CHECK(whole.overlong() == expected.overlong);
    FUZZ_CHECK(whole.count() == expected.count);
    FUZZ_CHECK(whole.entry(whole.count() + 1) == DataFile::EndSentinel);

    QBuffer buffer(&content);
    buffer.open(QIODevice::ReadOnly);
    const DataFile::EntryIndex pieces = DataFile::EntryIndex::read(buffer, blanks, maxEntry, piece);
    FUZZ_CHECK(pieces.all() == expected.entries);
    FUZZ_CHECK(pieces.overlong() == expected.overlong);
    FUZZ_CHECK(pieces.count() == expected.count);
    for (qint64 n = 1; n <= pieces.count(); ++n)
        FUZZ_CHECK(pieces.entry(n) == whole.entry(n));
    return 0;
}
