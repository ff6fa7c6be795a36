#pragma once
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>

// Which RDAP service answers for which ending: IANA's bootstrap file (dns.json, RFC 9224) as
// shipped, and the override file (rdap-overrides.txt) for endings it lacks or names wrongly. A copy
// of either file in the program folder is read instead of the shipped one.
namespace Rdap {

struct Services {
    QHash<QString, QUrl> byEnding;   // "com", "co.uk": lower case, no dots around
    QString publication;             // of the bootstrap file, as it says
    QStringList problems;            // each file that could not be read, and why
};

inline const QString BootstrapFileName = QStringLiteral("dns.json");
inline const QString OverridesFileName = QStringLiteral("rdap-overrides.txt");

// The services of a bootstrap file; an https address is taken before an http one. False, with why,
// when the text is not such a file.
bool parseBootstrap(const QByteArray &json, Services *into, QString *error);
// "ENDING URL" a line, "#" for comments; an ending given again takes the later address. False,
// with the line, when a line is neither.
bool parseOverrides(const QByteArray &text, Services *into, QString *error);
// The file read for `fileName`: the program folder's copy, else the shipped one; empty if none.
QString servicesFile(const QString &fileName);
// Both files, the overrides over the bootstrap. A missing, empty or malformed file is told in
// problems, and its endings are simply not known.
Services loadServices();

}   // namespace Rdap
