#include "engine/LookupName.h"

#include <libpsl.h>

#include "engine/NameText.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace Names {

namespace {

// Where the name's public suffix begins, by the ICANN section of the Public Suffix List: "co.uk"
// in shop.example.co.uk (label 2), "io" in user.github.io (the private section's github.io is no
// registry). An ending the list does not know is a suffix of one label.
qsizetype publicSuffixStart(const QStringList &labels)
{
    static const psl_ctx_t *const list = psl_latest(nullptr);
    for (qsizetype first = 0; first + 1 < labels.size(); ++first) {
        const QByteArray suffix = labels.mid(first).join('.').toLower().toLatin1();
        if (list && psl_is_public_suffix2(list, suffix.constData(), PSL_TYPE_ICANN))
            return first;
    }
    return labels.size() - 1;
}

bool isLdh(QChar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// "scheme://user@host:port/path?query#fragment" gives its host, in lower case as hosts are; any
// other text gives nothing. An address in brackets is no name, and gives a text that cannot be one.
QString urlHost(const QString &text)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    const QRegularExpressionMatch match = scheme.match(text);
    if (!match.hasMatch())
        return {};
    QString authority = text.mid(match.capturedLength());
    static const QRegularExpression authorityEnd(QStringLiteral("[/?#]"));
    if (const qsizetype end = authority.indexOf(authorityEnd); end >= 0)
        authority.truncate(end);
    authority = authority.mid(authority.lastIndexOf('@') + 1);
    if (authority.startsWith('[')) {   // an address in brackets, or what cannot be a name
        const qsizetype close = authority.indexOf(']');
        return close < 0 ? QStringLiteral("[") : authority.left(close + 1);
    }
    if (const qsizetype colon = authority.indexOf(':'); colon >= 0)
        authority.truncate(colon);
    return authority.isEmpty() ? QStringLiteral("[") : authority.toLower();
}

// "example.com:43", "example.com:43/x", "someone@example.com": the host, when the text before the
// port or after the "@" has a dot. Otherwise the text is left to the search-operator rule.
QString hostWithPortOrUser(const QString &text)
{
    static const QRegularExpression hostPort(QStringLiteral("^([^/?#:@\\s]*\\.[^/?#:@\\s]*):[0-9]{0,5}(?:[/?#].*)?$"));
    if (const QRegularExpressionMatch match = hostPort.match(text); match.hasMatch())
        return match.captured(1);
    static const QRegularExpression mailbox(QStringLiteral("^[^@:/\\s]+@([^@:/\\s]*\\.[^@:/\\s]*)$"));
    if (const QRegularExpressionMatch match = mailbox.match(text); match.hasMatch())
        return match.captured(1);
    return {};
}

// A path, query or fragment behind a host with a dot is dropped: "google.com/" is google.com.
QString withoutPath(const QString &text)
{
    static const QRegularExpression hostPath(QStringLiteral("^([^/?#\\s]*\\.[^/?#\\s]*)[/?#]"));
    const QRegularExpressionMatch match = hostPath.match(text);
    return match.hasMatch() ? match.captured(1) : text;
}

// An "xn--" label must decode, and encode back to itself. Qt decodes only under the endings it
// trusts, .com among them, so the label is tried as a .com name.
bool isValidIdnaLabel(const QString &label)
{
    const QString name = label + QLatin1String(".com");
    const QString unicode = QUrl::fromAce(name.toLatin1());
    return !unicode.isEmpty() && !unicode.startsWith(QLatin1String("xn--"), Qt::CaseInsensitive)
        && QUrl::toAce(unicode) == name.toLower().toLatin1();
}

bool isRegistrableLabel(const QString &label)
{
    if (label.isEmpty() || label.size() > MaxLabelLength || label.startsWith('-') || label.endsWith('-'))
        return false;
    // Hyphens in the 3rd and 4th place are kept for IDNA's "xn--": registries refuse any other.
    if (label.size() >= 4 && label[2] == '-' && label[3] == '-'
        && !label.startsWith(QLatin1String("xn--"), Qt::CaseInsensitive))
        return false;
    if (!std::all_of(label.cbegin(), label.cend(), isLdh))
        return false;
    return !label.startsWith(QLatin1String("xn--"), Qt::CaseInsensitive) || isValidIdnaLabel(label);
}

// Text that says more than a name: words, columns, list separators, a comment. Line breaks are
// not among them: those that percent-decoding makes are dropped with the other control characters.
bool holdsMoreThanAName(const QString &name)
{
    return std::any_of(name.cbegin(), name.cend(), [](QChar c) {
        return (c.isSpace() && c.category() != QChar::Other_Control) || c == '\t' || c == ',' || c == ';' || c == '#'
            || c == '|';
    });
}

// Letters outside ASCII are left to the IDNA form; any other character is no part of a name.
bool hasForeignCharacter(const QString &name)
{
    return std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.unicode() < 0x80 && !isLdh(c) && c != '.'; });
}

// An IPv4 or IPv6 address, bare or in brackets, or dotted numbers: no ending is a number, and a
// registry's "No match" for an address says nothing.
bool isAddress(QString text)
{
    if (text.startsWith('[') && text.endsWith(']'))
        text = text.mid(1, text.size() - 2);
    if (text.contains(QLatin1Char(':')))   // a bare number is a word ("1234.com"), not IPv4's shortest form
        return QHostAddress(text).protocol() == QAbstractSocket::IPv6Protocol;
    static const QRegularExpression numbers(QStringLiteral("^[0-9]+(\\.[0-9]+)+\\.?$"));
    return numbers.match(text).hasMatch();
}

// UTS #46 maps the ideographic and full-width full stops to ".": before anything looks for dots.
QString withAsciiDots(QString text)
{
    for (QChar &c : text) {
        if (c == QChar(0x3002) || c == QChar(0xFF0E) || c == QChar(0xFF61))
            c = '.';
    }
    return text;
}

// Latin, Cyrillic and Greek letters look alike: a label that mixes them imitates another name.
// Other mixtures (Han with Hiragana, Katakana or Latin) are how their languages are written.
bool mixesLookAlikeScripts(const QString &label)
{
    bool latin = false, cyrillic = false, greek = false;
    for (const char32_t c : label.toUcs4()) {
        switch (QChar::script(c)) {
        case QChar::Script_Latin: latin = true; break;
        case QChar::Script_Cyrillic: cyrillic = true; break;
        case QChar::Script_Greek: greek = true; break;
        default: break;
        }
    }
    return int(latin) + int(cyrillic) + int(greek) > 1;
}

}   // namespace

namespace {

// The candidate as far as the rules of a line go, before it is made registrable: decoded, a URL or
// host reduced to its host, a search operator dropped, cleaned.
LookupName cleanedCandidate(const QString &candidate)
{
    const QString trimmed = withAsciiDots(candidate.trimmed());
    if (trimmed.isEmpty())
        return {{}, Skip::Blank};
    QString name = URLDecode(trimmed).trimmed();
    if (name.contains(QChar(0)) || trimmed.contains(QChar(0)))
        return {{}, Skip::NulCharacter};
    if (isAddress(name))
        return {{}, Skip::Address};
    if (QString host = urlHost(name); !host.isEmpty()) {
        name = host;
    } else if (host = hostWithPortOrUser(name); !host.isEmpty()) {
        name = host;
    } else {
        if (const qsizetype colon = name.indexOf(':'); colon >= 0)   // "site:", "related:"
            name = name.mid(colon + 1);
        name = withoutPath(name);
    }
    if (isAddress(name))
        return {{}, Skip::Address};
    CorrectName(name);
    return {name, Skip::None};
}

}   // namespace

LookupName prepareLookup(const QString &candidate)
{
    return namesOfLine(candidate, {}).constFirst();
}

QList<LookupName> namesOfLine(const QString &line, const QStringList &endings)
{
    const LookupName cleaned = cleanedCandidate(line);
    if (!cleaned.isAsked())
        return {cleaned};
    const LookupName registrable = registrableName(cleaned.name, false);
    if (registrable.skip != Skip::OtherEnding)
        return {registrable};
    if (endings.isEmpty())
        return {registrableName(cleaned.name)};
    QString word = withAsciiDots(cleaned.name);
    if (word.endsWith(QLatin1Char('.')))
        word.chop(1);   // "abc." is the bare word "abc", as it is without endings
    QList<LookupName> names;
    for (const QString &ending : endings)
        names << registrableName(word + QLatin1Char('.') + ending);
    return names;
}

LookupName harvestedName(const QString &candidate)
{
    const LookupName cleaned = cleanedCandidate(candidate);
    if (!cleaned.isAsked())
        return cleaned;
    const LookupName asked = registrableName(cleaned.name, false);
    if (asked.isAsked() && !isComNet(asked.name))
        return {{}, Skip::OtherEnding};   // "shop.com.au", "example.org"
    return asked;
}

LookupName registrableName(QString name, bool addCom)
{
    name = withAsciiDots(name);
    if (name.contains(QChar(0)))
        return {{}, Skip::NulCharacter};
    if (holdsMoreThanAName(name))
        return {{}, Skip::MoreThanAName};
    name.removeIf([](QChar c) { return c.category() == QChar::Other_Control; });
    if (name.endsWith('.'))
        name.chop(1);   // the root of a fully qualified name
    if (hasForeignCharacter(name))
        return {{}, Skip::NotRegistrable};
    if (!name.contains('.')) {
        if (!addCom)
            return {{}, Skip::OtherEnding};
        name += QLatin1String(".com");
    }
    const QStringList unicodeLabels = unicodeForm(name).split('.');
    if (std::any_of(unicodeLabels.cbegin(), unicodeLabels.cend(), mixesLookAlikeScripts))
        return {{}, Skip::MixedScripts};
    if (!isAscii(name)) {
        name = QString::fromLatin1(QUrl::toAce(name));
        if (name.isEmpty())
            return {{}, Skip::NoIdnaForm};
    }
    if (name.size() > MaxNameLength)
        return {{}, Skip::NotRegistrable};
    const QStringList labels = name.split('.');
    if (!std::all_of(labels.cbegin(), labels.cend(), isRegistrableLabel))
        return {{}, Skip::NotRegistrable};
    // A host under the registrable name: the registry knows only the name.
    const qsizetype suffix = publicSuffixStart(labels);
    if (suffix == 0)
        return {{}, Skip::PublicSuffix};
    return {labels.mid(suffix - 1).join('.'), Skip::None};
}

QString endingProblem(const QString &ending)
{
    const QString what = QLatin1Char('"') + ending + QLatin1Char('"');
    const QStringList labels = ending.split(QLatin1Char('.'));
    for (const QString &label : labels) {
        if (label.isEmpty())
            return what + QStringLiteral(" has an empty label");
        if (label.startsWith(QLatin1Char('-')) || label.endsWith(QLatin1Char('-')))
            return what + QStringLiteral(" begins or ends a label with a hyphen");
        if (const auto bad =
                std::find_if(label.cbegin(), label.cend(), [](QChar c) { return c.unicode() < 0x80 && !isLdh(c); });
            bad != label.cend())
            return what + QStringLiteral(" holds \"%1\", which no ending has").arg(*bad);
        if (mixesLookAlikeScripts(label))
            return what + QStringLiteral(" mixes Latin, Cyrillic or Greek letters, as look-alike endings do");
    }
    const QByteArray ace = isAscii(ending) ? ending.toLatin1() : QUrl::toAce(ending);
    if (ace.isEmpty())
        return what + QStringLiteral(" has letters that have no IDNA form");
    const QList<QByteArray> aceLabels = ace.split('.');
    if (std::any_of(aceLabels.cbegin(), aceLabels.cend(),
            [](const QByteArray &label) { return label.size() > MaxLabelLength; }))
        return what + QStringLiteral(" has a label longer than %1 characters").arg(MaxLabelLength);
    // A longer ending is one the registries run (co.uk), not a name under one (github.io).
    if (aceLabels.size() > 1 && publicSuffixStart(QString::fromLatin1(ace).split(QLatin1Char('.'))) != 0)
        return what + QStringLiteral(" is no ending of ICANN's section of the Public Suffix List");
    return {};
}

QString endingsProblem(const QStringList &endings)
{
    for (const QString &ending : endings) {
        if (QString problem = endingProblem(ending); !problem.isEmpty())
            return problem;
    }
    return {};
}

TypedEndings typedEndings(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    TypedEndings typed;
    QStringList asked;   // each ending in its IDNA form: "рф" and "xn--p1ai" are one ending
    for (QString ending : text.toLower().split(separators, Qt::SkipEmptyParts)) {
        if (ending.startsWith(QLatin1Char('.')))
            ending.remove(0, 1);
        const QString ace = QString::fromLatin1(QUrl::toAce(ending));
        if (asked.contains(ace.isEmpty() ? ending : ace)) {
            if (!typed.repeated.contains(ending))
                typed.repeated << ending;
            continue;
        }
        asked << (ace.isEmpty() ? ending : ace);
        typed.endings << ending;
        if (typed.problem.isEmpty())
            typed.problem = ending.isEmpty() ? QStringLiteral("\".\" is no ending") : endingProblem(ending);
    }
    if (typed.endings.isEmpty())
        typed.problem = QStringLiteral("no ending is given");
    return typed;
}

QString prepareLookupName(const QString &candidate)
{
    return prepareLookup(candidate).name;
}

bool isComNet(const QString &name)
{
    return name.endsWith(QLatin1String(".com"), Qt::CaseInsensitive)
        || name.endsWith(QLatin1String(".net"), Qt::CaseInsensitive);
}

QString topLevelOf(const QString &name)
{
    return name.section(QLatin1Char('.'), -1).toLower();
}

QString unicodeForm(const QString &name)
{
    return name.contains(QLatin1String("xn--"), Qt::CaseInsensitive) ? QUrl::fromAce(name.toLatin1()) : name;
}

}   // namespace Names
