// How each kind of skipped line or name is told: counted at the end of a run, and one by one in
// the report of skipped lines.
#include "engine/LookupName.h"

namespace Names {

QString skipText(Skip skip, qint64 count)
{
    const bool one = count == 1;
    const QString n = QString::number(count);
    switch (skip) {
    case Skip::None:
    case Skip::Blank: break;
    case Skip::MoreThanAName:
        return n
            + (one ? QStringLiteral(" line that holds more than a name")
                   : QStringLiteral(" lines that hold more than a name"));
    case Skip::OtherEnding:
        return n + (one ? QStringLiteral(" name") : QStringLiteral(" names"))
            + QStringLiteral(" not under .com or .net");
    case Skip::NotRegistrable:
        return n
            + (one ? QStringLiteral(" name that cannot be registered")
                   : QStringLiteral(" names that cannot be registered"))
            + QStringLiteral(" (letters, labels or length)");
    case Skip::NoIdnaForm:
        return n + (one ? QStringLiteral(" name") : QStringLiteral(" names"))
            + QStringLiteral(" with letters that have no IDNA form");
    case Skip::MixedScripts:
        return n + (one ? QStringLiteral(" name that mixes") : QStringLiteral(" names that mix"))
            + QStringLiteral(" Latin, Cyrillic or Greek letters in one label");
    case Skip::NulCharacter:
        return n + (one ? QStringLiteral(" line") : QStringLiteral(" lines")) + QStringLiteral(" with a NUL character");
    case Skip::PublicSuffix:
        return n + (one ? QStringLiteral(" ending") : QStringLiteral(" endings"))
            + QStringLiteral(" of the Public Suffix List, which nobody registers");
    case Skip::Address: return n + (one ? QStringLiteral(" IP address") : QStringLiteral(" IP addresses"));
    }
    return {};
}

QString skipReason(const QString &given, Skip skip)
{
    const QString what = QLatin1Char('"') + given + QLatin1Char('"');
    switch (skip) {
    case Skip::None: break;
    case Skip::Blank: return QStringLiteral("no name was given");
    case Skip::MoreThanAName: return what + QStringLiteral(" holds more than a name");
    case Skip::OtherEnding: return what + QStringLiteral(" is not a .com or .net name");
    case Skip::NotRegistrable:
        return what
            + QStringLiteral(" is no name that can be registered: a name is letters, digits and hyphens, in "
                             "labels of 1 to 63 that neither begin nor end with a hyphen, nor have two in the "
                             "3rd and 4th place unless they are IDNA's \"xn--\"");
    case Skip::NoIdnaForm: return what + QStringLiteral(" has letters that have no IDNA form");
    case Skip::MixedScripts:
        return what + QStringLiteral(" mixes Latin, Cyrillic or Greek letters in one label, as look-alike names do");
    case Skip::NulCharacter: return what + QStringLiteral(" holds a NUL character");
    case Skip::PublicSuffix: return what + QStringLiteral(" is an ending of the Public Suffix List, not a name");
    case Skip::Address: return what + QStringLiteral(" is an IP address, not a name");
    }
    return {};
}

}   // namespace Names
