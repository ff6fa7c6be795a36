// tamarind-cli: the command-line face of the checking engine.
#include "Version.h"
#include "cli/Command.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tamarind-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAMARIND_VERSION));
    return Cli::run(app.arguments(), Cli::Console::standard());
}
