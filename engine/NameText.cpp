#include "engine/NameText.h"

#include <QStringList>
#include <utility>

QString URLDecode(const QString &text)
{
    static const std::pair<QString, QString> rules[] = {
        {"%20", " "},
        {"%3C", "<"},
        {"%3E", ">"},
        {"%23", "#"},
        {"%7B", "{"},
        {"%7D", "}"},
        {"%7C", "|"},
        {"%5C", "\\"},
        {"%5E", "^"},
        {"%7E", "~"},
        {"%5B", "["},
        {"%5D", "]"},
        {"%60", "`"},
        {"%3B", ";"},
        {"%2F", "/"},
        {"%3F", "?"},
        {"%3A", ":"},
        {"%40", "@"},
        {"%3D", "="},
        {"%26", "&"},
        {"%24", "$"},
        {"%0A", "\n"},
        {"%0D", "\r"},
    };
    // "%25" again and again until none is left: in one pass, each "%" that "%25" leaves can start the
    // next "%25" with what follows. Rewriting "%25" cannot overlap itself, so any order of rewriting
    // ends in the same text, and this one takes linear time where repeated passes take quadratic.
    QString decoded;
    decoded.reserve(text.size());
    for (const QChar c : text) {
        decoded += c;
        const qsizetype n = decoded.size();
        if (n >= 3 && decoded[n - 1] == '5' && decoded[n - 2] == '2' && decoded[n - 3] == '%')
            decoded.chop(2);
    }
    // The other escapes make no "%", so one replacement each leaves none of them.
    for (const auto &[escape, character] : rules)
        decoded.replace(escape, character, Qt::CaseInsensitive);
    return decoded;
}

QString CorrectName(QString &name)
{
    // Order matters for the entries of several characters: "&nbsp;" before "&" and ";",
    // "related:" and "site:" before ":", "nbsp;" after "&" but before ";".
    static const QStringList removals = {
        "&nbsp;",
        "related:",
        "site:",
        " ",
        "/",
        ".",
        "%",
        "!",
        "~",
        "@",
        "#",
        "$",
        "^",
        "&",
        "*",
        "(",
        ")",
        "=",
        "\\",
        "|",
        "+",
        "`",
        "?",
        ">",
        "<",
        ",",
        "'",
        "nbsp;",
        ";",
        ":",
        QString(QChar(0x00AB)),
        QString(QChar(0x00B4)),
        QString(QChar(0x00AF)),
        QString(QChar(0x00BA)),
        QString(QChar(0x00B8)),
        "_",
    };
    const qsizetype dot = name.indexOf('.');
    QString head = dot < 0 ? name : name.left(dot);
    const QString tail = dot < 0 ? QString() : name.mid(dot);
    for (const QString &removal : removals)
        head.remove(removal, Qt::CaseSensitive);
    name = head + tail;
    return name;
}
