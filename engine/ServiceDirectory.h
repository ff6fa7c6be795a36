#pragma once
#include "engine/Rdap.h"
#include "engine/Whois.h"

#include <QString>
#include <QStringList>
#include <QUrl>

// The service that answers one name.
struct NameService {
    // The pool that asks it: "" for .com and .net; for another ending, its RDAP service's origin
    // (endings served by one host share its limits), or "unserved:ENDING" where none is known.
    QString key;
    Rdap::Protocol protocol = Rdap::Protocol::Rdap;   // .com and .net: the run's; any other ending: RDAP
    QUrl rdapRequest;                                 // the name's RDAP request; invalid where none is known
    QString problem;                                  // why no service answers the name; empty when one does
    bool isServed() const { return problem.isEmpty(); }
};

// Which service answers a name, decided here and nowhere else: a .com or .net name is asked of the
// run's protocol (the WHOIS server, RDAP, or WHOIS and then RDAP under "auto"); a name under any
// other ending of the RDAP service named for its ending, or of none. The served check of a run,
// the routing of the registry stage, the backends, the record window and the CLI all ask it.
struct ServiceDirectory {
    static inline const QString UnservedKey = QStringLiteral("unserved:");

    Whois::Server server;
    Rdap::Protocol protocol = Rdap::Protocol::Auto;
    Rdap::Bases bases;

    NameService serviceFor(const QString &name) const;
    bool serves(const QString &name) const { return serviceFor(name).isServed(); }
    // Of these endings, those no known service answers.
    QStringList unservedEndings(const QStringList &endings) const;
};
