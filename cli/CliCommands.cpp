#include "cli/CliCommands.h"

#include <QTextStream>

namespace Cli {

int usageError(const QString &message)
{
    QTextStream(stderr) << "tamarind-cli: " << message << '\n';
    return 2;
}

int failure(const QString &message)
{
    QTextStream(stderr) << "tamarind-cli: " << message << '\n';
    return 1;
}

int runCheck(const QStringList &)
{
    return usageError(QStringLiteral("check is not available yet"));
}

int runWhois(const QStringList &)
{
    return usageError(QStringLiteral("whois is not available yet"));
}

} // namespace Cli
