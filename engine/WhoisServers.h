#pragma once
#include "engine/Whois.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

// The WHOIS server of every ending that has one: IANA's root zone table as shipped (the "whois:"
// line of each ending's record), the override file beside it, and the servers given in the
// setting WhoisServer or on the command line, which win over both. A copy of either file in the
// program folder is read instead of the shipped one.
namespace Whois {

inline const QString ServerTableFileName = QStringLiteral("whois-servers-iana.txt");
inline const QString ServerOverridesFileName = QStringLiteral("whois-servers.txt");

struct ServerTable {
    QHash<QString, Server> byEnding;   // given in the setting or on the command line
    QHash<QString, Server> known;      // from the files
    QStringList knownProblems;         // why a file could not be read
    QString tableFile;                 // the table read, and what it says of its source
    QString tableSource;

    // The server of the name's longest ending that either table names; invalid where none does.
    Server serverFor(const QString &name) const;
    // Whether a server was given for the name's ending (not only known from the files).
    bool givenFor(const QString &name) const;
};

// The servers of a text of "HOST[:PORT]" and "ENDING=HOST[:PORT]" items, separated by spaces or
// commas: a bare server serves .com and .net. Empty, with the item, when one is neither.
struct ServerItems {
    Server comNet;
    QHash<QString, Server> byEnding;
};
std::optional<ServerItems> parseServerItems(const QString &text, QString *badItem = nullptr);
// "ENDING HOST[:PORT]" a line, "#" for comments: whole or not at all. False, with the line and
// why, when a line is neither.
bool parseServerFile(const QByteArray &text, QHash<QString, Server> *into, QString *error);
// The table, with the files' servers beneath the ones given.
ServerTable withKnownServers(const QHash<QString, Server> &given);
// The setting's servers of endings, over the files'.
ServerTable configuredServerTable();
// The .com and .net server from TAMARIND_WHOIS_SERVER, else the setting "WhoisServer" (its bare
// HOST[:PORT] item; other items name the servers of other endings), else the .com registry.
// A value that is not a server gives an invalid server and, in error, says where it came from.
Server configuredServer(QString *error = nullptr);

}   // namespace Whois
