#include "engine/ServiceDirectory.h"

#include "engine/LookupName.h"

NameService ServiceDirectory::serviceFor(const QString &name) const
{
    NameService service;
    service.rdapRequest = bases.requestFor(name);
    if (Names::isComNet(name)) {
        service.protocol = protocol;   // a run without its service refuses to start, or stops at its first name
        return service;
    }
    const QString ending = name.section('.', -1).toLower();
    const Whois::Server whois = protocol == Rdap::Protocol::Rdap ? Whois::Server {} : whoisServers.serverFor(name);
    const WhoisRules *whoisRules = rules->forName(name);
    // A service given for the ending wins over one only known from the files; then under "whois" a
    // server whose replies the rules can read comes first, else the RDAP service.
    const bool rdapGiven = service.rdapRequest.isValid() && bases.givenFor(name);
    const bool whoisGiven = whois.isValid() && whoisServers.givenFor(name);
    const bool whoisFirst =
        whois.isValid() && (rdapGiven == whoisGiven ? protocol == Rdap::Protocol::Whois && whoisRules : whoisGiven);
    if (service.rdapRequest.isValid() && !whoisFirst) {
        service.key = service.rdapRequest
                          .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo)
                          .toString();
        return service;
    }
    service.rdapRequest.clear();
    if (!whois.isValid()) {
        service.key = UnservedKey + ending;
        service.problem = protocol == Rdap::Protocol::Rdap
            ? QStringLiteral("no RDAP service is known for .%1").arg(ending)
            : QStringLiteral("no RDAP service or WHOIS server is known for .%1").arg(ending);
        return service;
    }
    service.protocol = Rdap::Protocol::Whois;
    service.whoisServer = whois;
    service.key = WhoisKeyScheme + whois.text();
    service.rules = whoisRules;
    return service;
}

QStringList ServiceDirectory::unservedEndings(const QStringList &endings) const
{
    QStringList unserved;
    for (const QString &ending : endings) {
        if (!serves(QStringLiteral("example.") + ending))
            unserved << ending;
    }
    return unserved;
}
