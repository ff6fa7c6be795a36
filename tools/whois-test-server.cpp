// A WHOIS server on 127.0.0.1 for tests and benchmarks: one query per connection, the reply, then
// the connection is closed. Replies are shaped like the .com registry's. With --rdap-port it also
// answers RDAP over HTTP/1.1 (HTTPS with a certificate), connections kept alive, with the same
// rule of free and registered names, the same delays and the same limit (429 with Retry-After).
// With --dns-port it answers DNS over UDP and TCP as a resolver would for the same names: NS records
// for a registered name, NXDOMAIN for a free one. With --replay it answers the names of a folder of
// captured answers with those answers, as the registries sent them.
//
// The services live in tools/testservices/, one file each; this program wires the options to them.
#include "tools/testservices/CommandLine.h"
#include "tools/testservices/DnsService.h"
#include "tools/testservices/RdapService.h"
#include "tools/testservices/Registry.h"
#include "tools/testservices/WhoisService.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "whois-test-server: %s\n", qPrintable(message));
    return 2;
}

}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ServerSetup setup;
    if (QString error; !parseCommandLine(app.arguments(), &setup, &error))
        return fail(error);

    Registry registry(setup.options, setup.logPath);
    WhoisService whois(registry);
    if (!whois.listen(setup.port))
        return fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(setup.port));
    if (!setup.statsPath.isEmpty())
        registry.writeStats(setup.statsPath);
    std::printf("listening on 127.0.0.1:%u\n", unsigned(whois.port()));
    RdapService rdap(registry);
    if (setup.rdapPort) {
        if (!rdap.listen(*setup.rdapPort, setup.tls))
            return fail(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(*setup.rdapPort));
        std::printf("rdap on %s://127.0.0.1:%u/\n", setup.tls ? "https" : "http", unsigned(rdap.port()));
    }
    DnsService dns(registry.options(), registry.rules());
    if (setup.dnsPort) {
        if (!dns.listen(*setup.dnsPort))
            return fail(QStringLiteral("cannot listen for DNS on 127.0.0.1:%1").arg(*setup.dnsPort));
        std::printf("dns on 127.0.0.1:%u\n", unsigned(dns.port()));
    }
    std::fflush(stdout);
    return app.exec();
}
