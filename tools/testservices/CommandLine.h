#pragma once
#include "tools/testservices/Options.h"

#include <QSslConfiguration>
#include <QStringList>
#include <optional>

// What whois-test-server's options ask for: the registry's options and where each service listens.
struct ServerSetup {
    Options options;
    quint16 port = 0;
    std::optional<quint16> rdapPort;
    std::optional<quint16> dnsPort;
    std::optional<QSslConfiguration> tls;   // RDAP over HTTPS
    QString logPath;
    QString statsPath;
};

// Reads the options (--help prints them and ends the program); false, with why, for options that
// cannot be used.
bool parseCommandLine(const QStringList &arguments, ServerSetup *setup, QString *error);
