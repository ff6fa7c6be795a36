#pragma once
#include <QByteArray>

class QTextDocument;

// A small reader of rich text format, enough for the help document: groups, bold, italic,
// underline, font sizes, paragraphs and line breaks, tabs, escaped and hex characters and Unicode
// escapes. Unknown control words are ignored and the known destinations that hold no text (font
// and colour tables, pictures, ...) are skipped. Any input, RTF or not, cut short or nested
// without end, gives what can be shown and returns.
void readRtf(const QByteArray &rtf, QTextDocument *document);
