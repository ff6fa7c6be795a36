#pragma once
#include <QString>
#include <optional>

// A server's address as a user writes it: "host", "host:port", "[IPv6]" or "[IPv6]:port" (a bare
// IPv6 address has several colons, and no port). The WHOIS server and the DNS resolvers are both
// read this way.
struct HostPort {
    QString host;
    quint16 port = 0;

    // None when the text is no such address; a port left out is `defaultPort`.
    static std::optional<HostPort> parse(const QString &text, quint16 defaultPort);
    // "host:port", or "[IPv6]:port".
    QString text() const;
};
