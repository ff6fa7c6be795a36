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

QString ServiceDirectory::endingText(const QString &ending) const
{
    const QString name = QStringLiteral("example.") + ending;
    const NameService service = serviceFor(name);
    const QString learnt = QStringLiteral("pace learnt from its refusals");
    QString text = QStringLiteral(".%1: ").arg(ending);
    if (!service.isServed())
        return text + QStringLiteral("skipped, %1").arg(service.problem);
    if (Names::isComNet(name)) {
        const QString rdap = bases.requestFor(name).adjusted(QUrl::RemovePath).toString();
        switch (protocol) {
        case Rdap::Protocol::Whois: text += QStringLiteral("WHOIS at %1").arg(server.text()); break;
        case Rdap::Protocol::Rdap: text += QStringLiteral("RDAP at %1").arg(rdap); break;
        case Rdap::Protocol::Auto:
            text += QStringLiteral("WHOIS at %1, RDAP at %2 if it fails").arg(server.text(), rdap);
            break;
        }
        return text + QStringLiteral("; replies read by the record marker and \"No match for\"; ") + learnt;
    }
    if (!service.isWhois())
        return text + QStringLiteral("RDAP at %1; %2").arg(service.key, learnt);
    text += QStringLiteral("WHOIS at %1; ").arg(service.whoisServer.text());
    if (!service.rules)
        return text + QStringLiteral("no rules are known for this registry's answers, so its names get no verdict");
    text += QStringLiteral("rules of %1 in %2 (from %3); ")
                .arg(service.rules->registry, rules->path.isEmpty() ? WhoisRulesFileName : rules->path,
                    service.rules->source);
    if (service.rules->perMinute > 0)
        return text + QStringLiteral("pace %1 a minute, as the registry publishes").arg(service.rules->perMinute);
    return text + learnt;
}

bool ServiceDirectory::answersFor(const QString &ending) const
{
    const NameService service = serviceFor(QStringLiteral("example.") + ending);
    return service.isServed() && (!service.isWhois() || service.rules);
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
