#pragma once
#include <QStringList>

namespace Cli {

// Prints the message on stderr and returns the exit code of a usage error.
int usageError(const QString &message);
// Prints the message on stderr and returns the exit code of a runtime failure.
int failure(const QString &message);

int runCheck(const QStringList &arguments);
int runWhois(const QStringList &arguments);

}
