#pragma once
#include "engine/Rdap.h"
#include "engine/Whois.h"
#include "engine/WhoisRules.h"
#include "engine/WhoisServers.h"

#include <QString>
#include <QStringList>
#include <QUrl>
#include <memory>

// The service that answers one name.
struct NameService {
    // The pool that asks it: "" for .com and .net; for another ending, its RDAP service's origin or
    // "whois://HOST:PORT" (endings served by one host share its limits), or "unserved:ENDING" where
    // none is known.
    QString key;
    Rdap::Protocol protocol = Rdap::Protocol::Rdap;   // .com and .net: the run's; any other ending: RDAP or WHOIS
    QUrl rdapRequest;                                 // the name's RDAP request; invalid where none is known
    Whois::Server whoisServer;                        // the WHOIS server asked, for another ending over WHOIS
    const WhoisRules *rules = nullptr;                // how that server's replies read; none where unknown
    QString problem;                                  // why no service answers the name; empty when one does
    bool isServed() const { return problem.isEmpty(); }
    bool isWhois() const { return whoisServer.isValid(); }
};

// Which service answers a name, decided here and nowhere else: a .com or .net name is asked of the
// run's protocol (the WHOIS server, RDAP, or WHOIS and then RDAP under "auto"). A name under any
// other ending: under "rdap" of its RDAP service; under "whois" of its WHOIS server where rules
// tell how its replies read, else of its RDAP service; under "auto" of its RDAP service, else of its
// WHOIS server. A WHOIS server without rules is asked only where nothing else is known: its names
// get no verdict, with the reason. The served check of a
// run, the routing of the registry stage, the backends, the record window and the CLI all ask it.
struct ServiceDirectory {
    static inline const QString UnservedKey = QStringLiteral("unserved:");
    static inline const QString WhoisKeyScheme = QStringLiteral("whois://");

    Whois::Server server;
    Rdap::Protocol protocol = Rdap::Protocol::Auto;
    Rdap::Bases bases;
    Whois::ServerTable whoisServers;
    std::shared_ptr<const WhoisRuleBook> rules = std::make_shared<const WhoisRuleBook>();

    // The .com and .net server, the protocol and the RDAP services; no WHOIS server of another
    // ending until one is set.
    ServiceDirectory(Whois::Server comNet = {}, Rdap::Protocol asked = Rdap::Protocol::Auto, Rdap::Bases rdap = {})
        : server(std::move(comNet))
        , protocol(asked)
        , bases(std::move(rdap))
    { }

    NameService serviceFor(const QString &name) const;
    bool serves(const QString &name) const { return serviceFor(name).isServed(); }
    // Of these endings, those no known service answers.
    QStringList unservedEndings(const QStringList &endings) const;
    // How names under the ending are asked, as a line: the protocol, the host, the rules its
    // replies are read by and where they come from, the starting pace; or why they are skipped.
    QString endingText(const QString &ending) const;
    // Whether names under the ending can get a verdict: a service is known, and a WHOIS server's
    // replies have rules.
    bool answersFor(const QString &ending) const;
};
