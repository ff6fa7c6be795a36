// URLDecode, CorrectName and the lookup name built from them.
#include "Fuzz.h"
#include "engine/NameText.h"
#include "engine/Whois.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// Decoding as the rule reads: "%25" again and again until none is left, then each other escape.
QString slowDecode(QString text)
{
    while (text.contains(QLatin1String("%25"), Qt::CaseInsensitive))
        text.replace(QLatin1String("%25"), QLatin1String("%"), Qt::CaseInsensitive);
    static const char *const escapes[][2] = {{"%20", " "}, {"%3C", "<"}, {"%3E", ">"}, {"%23", "#"}, {"%7B", "{"},
        {"%7D", "}"}, {"%7C", "|"}, {"%5C", "\\"}, {"%5E", "^"}, {"%7E", "~"}, {"%5B", "["}, {"%5D", "]"}, {"%60", "`"},
        {"%3B", ";"}, {"%2F", "/"}, {"%3F", "?"}, {"%3A", ":"}, {"%40", "@"}, {"%3D", "="}, {"%26", "&"}, {"%24", "$"},
        {"%0A", "\n"}, {"%0D", "\r"}};
    for (const auto &escape : escapes)
        text.replace(QLatin1String(escape[0]), QLatin1String(escape[1]), Qt::CaseInsensitive);
    return text;
}

QString head(const QString &name)
{
    const qsizetype dot = name.indexOf('.');
    return dot < 0 ? name : name.left(dot);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const bool latin1 = input.byte() & 1;
    const QByteArray bytes = input.rest();
    const QString text = latin1 ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);

    const QString decoded = URLDecode(text);
    FUZZ_CHECK(URLDecode(decoded) == decoded);
    if (text.size() < 2000)
        FUZZ_CHECK(decoded == slowDecode(text));

    // Cleaning takes characters out of the first label only, and a second cleaning finds nothing.
    QString cleaned = text;
    CorrectName(cleaned);
    const qsizetype dot = text.indexOf('.');
    if (dot >= 0)
        FUZZ_CHECK(cleaned.endsWith(QStringView(text).mid(dot)));
    for (const char *removed : {" ", "/", "%", "!", "~", "@", "#", "$", "^", "&", "*", "(", ")", "=", "\\", "|", "+",
             "`", "?", ">", "<", ",", "'", ";", ":", "_"})
        FUZZ_CHECK(!head(cleaned).contains(QLatin1String(removed)));
    QString again = cleaned;
    FUZZ_CHECK(CorrectName(again) == cleaned);

    // What is asked is a registrable name (labels of 1 to 63 letters, digits and hyphens, no hyphen
    // at either end, at least two of them), or nothing at all, and asking it again asks the same.
    const Names::LookupName prepared = Names::prepareLookup(text);
    const QString &query = prepared.name;
    FUZZ_CHECK(query.isEmpty() != prepared.isAsked());
    if (query.isEmpty())
        return 0;
    static const QRegularExpression registrable(
        QStringLiteral(
            "^([A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?\\.)+[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"),
        QRegularExpression::CaseInsensitiveOption);
    FUZZ_CHECK(registrable.match(query).hasMatch());
    FUZZ_CHECK(Names::prepareLookup(query).name == query);
    return 0;
}
