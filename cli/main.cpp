// tamarind-cli: the command-line face of the checking engine.
#include "Version.h"
#include "app/TextUtils.h"
#include "cli/CliCommands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

const char *Overview =
    "Finds unregistered domain names with the same engine and files as the Tamarind program.\n"
    "\n"
    "Commands:\n"
    "  clean NAME...                 print each NAME decoded and cleaned as it is looked up\n"
    "  check [options] FILE          look up every name of FILE (a custom list run)\n"
    "  whois [--server H[:P]] NAME   print the WHOIS record of NAME\n";

int runClean(const QStringList &names)
{
    if (names.isEmpty())
        return Cli::usageError(QStringLiteral("clean needs at least one NAME"));
    QTextStream out(stdout);
    for (const QString &name : names) {
        QString cleaned = URLDecode(name);
        out << CorrectName(cleaned) << '\n';
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tamarind-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAMARIND_VERSION));

    const QStringList arguments = app.arguments();
    const QString command = arguments.size() > 1 ? arguments[1] : QString();
    if (command == "clean")
        return runClean(arguments.mid(2));
    if (command == "check")
        return Cli::runCheck(arguments.mid(1));
    if (command == "whois")
        return Cli::runWhois(arguments.mid(1));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Overview));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("clean, check or whois"));
    if (!parser.parse(arguments))
        return Cli::usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (command.isEmpty())
        return Cli::usageError(QStringLiteral("no command given; see --help"));
    return Cli::usageError(QStringLiteral("unknown command \"%1\"; see --help").arg(command));
}
