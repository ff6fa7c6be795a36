#pragma once
#include <QList>
#include <QString>
#include <QStringList>

// Which candidates are asked, and as what. A registry only knows registrable names: a URL or a host
// is asked as its .com or .net name, and a line that cannot be one is never asked, because the
// registry's "No match" for a name that cannot exist says nothing about whether it is free.
namespace Names {

// Why a candidate is not asked; None when it is.
enum class Skip {
    None,
    Blank,            // nothing but spaces
    MoreThanAName,    // "google.com registered 2001", "google.com,registered"
    OtherEnding,      // not asked where only .com and .net are: "x.org", "my.company"
    NotRegistrable,   // letters, labels or a length that no registry takes
    NoIdnaForm,       // letters outside ASCII that have no IDNA form
    MixedScripts,     // Latin, Cyrillic or Greek side by side in one label: "раypal"
    NulCharacter,     // a NUL anywhere in the line: what follows it is no part of what was meant
    PublicSuffix,     // an ending itself: "co.uk"
    Address,          // an IP address, bare, in brackets or in a URL: "192.168.0.1", "2001:db8::1"
};
constexpr int SkipKinds = int(Skip::Address) + 1;

struct LookupName {
    QString name;   // what is asked and classified; empty when skipped
    Skip skip = Skip::None;
    bool isAsked() const { return skip == Skip::None; }
};

constexpr qsizetype MaxNameLength = 253;
constexpr qsizetype MaxLabelLength = 63;

// One name as it is asked, read as a line of a list is (below) with .com for a bare word: spaces
// around it dropped; decoded; a URL or "host:port/path" reduced to its host; otherwise the text
// after a first ":" (a search operator); cleaned; then made registrable.
LookupName prepareLookup(const QString &candidate);
// The names a line of a list stands for, each with why it is skipped if it is: the line is read
// once (dots outside ASCII as dots, a URL or host as its registrable name, the public-suffix rule),
// and only what has no dot at all (but a final one, the root's) is a bare word, asked under each of
// the endings in order (.com when none are given).
QList<LookupName> namesOfLine(const QString &line, const QStringList &endings);
// A candidate harvested from the web, read as a line of a list is, but asked only as a name under
// .com or .net: a bare word from a page is no name.
LookupName harvestedName(const QString &candidate);
// A cleaned name as it is asked: control characters and a trailing dot dropped, a bare word given
// ".com", letters outside ASCII in their IDNA form, labels left of the registrable one (one label
// and the public suffix, ICANN's section of the Public Suffix List) dropped.
// With addCom false a bare word is not a name either.
LookupName registrableName(QString name, bool addCom = true);
// A candidate as it is asked (see prepareLookup); empty when it is not asked.
QString prepareLookupName(const QString &candidate);
// Whether the name is under .com or .net, the endings the chosen protocol's service answers.
bool isComNet(const QString &name);
// The top-level domain of a name, in lower case: "io" of "shop.example.io".
QString topLevelOf(const QString &name);
// The name as its reader writes it: "xn--wgv71a119e.com" is "日本語.com".
QString unicodeForm(const QString &name);
// Why a text is no ending that names can be asked under, or empty when it is one: a label DNS could
// hold as a top-level domain, or an ending of ICANN's section of the Public Suffix List ("co.uk").
QString endingProblem(const QString &ending);
// The problem of the first of the endings that has one, or empty.
QString endingsProblem(const QStringList &endings);
// The endings of a text typed by a user: separated by spaces, commas or semicolons, in lower case,
// one leading dot each dropped (".com" is com, "..com" no ending); each given once, the others named
// in `repeated`; `problem` says why the text is no list of endings, or is empty.
struct TypedEndings {
    QStringList endings;
    QStringList repeated;
    QString problem;
};
TypedEndings typedEndings(const QString &text);
// "2 lines that hold more than a name" and the like, for the end of a run.
QString skipText(Skip skip, qint64 count);
// Why a single name is not asked, for a window or a command that was given one.
QString skipReason(const QString &given, Skip skip);

}   // namespace Names
