// The help document's reader over any bytes: it returns, and shows no more text than it was given.
#include "Fuzz.h"
#include "shell/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication<QGuiApplication>();

    const QByteArray rtf = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    readRtf(rtf, &document);
    const QString text = document.toRawText();   // as held: no space for a no-break space
    FUZZ_CHECK(text.size() <= rtf.size());
    // Text without control words or groups is shown as it stands, apart from its line breaks.
    if (!rtf.contains('\\') && !rtf.contains('{') && !rtf.contains('}')) {
        QString expected = QString::fromLatin1(rtf);
        expected.remove('\r').remove('\n');
        QString shown = text;
        shown.remove(QChar::ParagraphSeparator).remove(QChar::LineSeparator).remove('\n');
        FUZZ_CHECK(shown == expected);
    }
    return 0;
}
