#include "cli/Command.h"

#include "engine/RdapServices.h"

#include "Version.h"
#include "app/ProgramFolder.h"
#include "app/Settings.h"
#include "engine/WhoisServers.h"

#include <QDir>

#include <unistd.h>

namespace Cli {

const QList<Command> &commands()
{
    static const QList<Command> commands = {cleanCommand(), checkCommand(), watchCommand(), whoisCommand(),
        endingsCommand(), extractCommand(), generateCommand()};
    return commands;
}

namespace {

// Writes all of the bytes with as few system calls as it takes: a line goes out whole.
void writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        done += written;
    }
}

QString overview()
{
    QString text =
        QStringLiteral("Finds unregistered domain names with the same engine and files as the Tamarind program.\n\n"
                       "Commands:\n");
    for (const Command &command : commands())
        text += QStringLiteral("  %1 %2\n      %3\n").arg(command.name, command.arguments, command.description);
    text += QStringLiteral("\n\"tamarind-cli COMMAND --help\" tells more of a command.\n");
    return text;
}

QString usage()
{
    return QStringLiteral("Usage: tamarind-cli COMMAND [options]\n\n") + overview()
        + QStringLiteral(
            "\nOptions:\n  -h, --help     Displays help.\n  -v, --version  Displays version information.\n");
}

// The parser's help with a usage line of the command's own: the program may run under any name.
QString helpText(const QCommandLineParser &parser, const Command &command)
{
    const QString help = parser.helpText();
    const qsizetype lineEnd = help.indexOf('\n');
    const QString usage = help.left(lineEnd);
    const qsizetype options = usage.indexOf(QLatin1String(" [options]"));
    return QStringLiteral("Usage: tamarind-cli ") + command.name + (options < 0 ? QString() : usage.mid(options))
        + help.mid(lineEnd);
}

}   // namespace

Console Console::standard()
{
    return {[](const QByteArray &bytes) { writeAll(STDOUT_FILENO, bytes); },
        [](const QByteArray &bytes) { writeAll(STDERR_FILENO, bytes); }, isatty(STDERR_FILENO) == 1,
        isatty(STDOUT_FILENO) == 1};
}

void Console::print(const QString &line) const
{
    const QByteArray bytes = line.toLocal8Bit();
    out((outIsTerminal ? shownOnTerminal(bytes) : bytes) + '\n');
}

void Console::tell(const QString &line) const
{
    err(shownOnTerminal(line.toLocal8Bit()) + '\n');
}

int usageError(const Console &console, const QString &message)
{
    console.tell(QStringLiteral("tamarind-cli: ") + message);
    return 2;
}

int failure(const Console &console, const QString &message)
{
    console.tell(QStringLiteral("tamarind-cli: ") + message);
    return 1;
}

const QCommandLineOption &serverOption()
{
    static const QCommandLineOption option(QStringLiteral("server"),
        QStringLiteral("WHOIS server of .com and .net, and ENDING=HOST[:PORT] items for other endings, separated "
                       "by spaces or commas."),
        QStringLiteral("HOST[:PORT]"));
    return option;
}

bool chooseServer(const QCommandLineParser &parser, Whois::Server *server, QString *error)
{
    if (!parser.isSet(serverOption()))
        return (*server = Whois::configuredServer(error)).isValid();
    const std::optional<Whois::ServerItems> items = Whois::parseServerItems(parser.value(serverOption()));
    *server = items ? items->comNet : Whois::Server {};
    if (!server->isValid())
        *error = Whois::notAServer(parser.value(serverOption()), QStringLiteral("--server"));
    return server->isValid();
}

namespace {

const QCommandLineOption ProtocolOption(QStringLiteral("protocol"),
    QStringLiteral("Ask WHOIS (port 43), RDAP, or WHOIS and RDAP when port 43 fails (default: the setting, auto)."),
    QStringLiteral("whois|rdap|auto"));
const QCommandLineOption RdapBaseOption(QStringLiteral("rdap-base"),
    QStringLiteral("RDAP service of .com and .net (other endings keep theirs, or ENDING=URL); a name is asked as "
                   "URL/domain/NAME."),
    QStringLiteral("URL"));

}   // namespace

void addServiceOptions(QCommandLineParser &parser)
{
    parser.addOptions({serverOption(), ProtocolOption, RdapBaseOption});
}

bool chooseService(const QCommandLineParser &parser, ServiceDirectory *service, QString *error)
{
    if (parser.isSet(ProtocolOption)) {
        const auto protocol = Rdap::parseProtocol(parser.value(ProtocolOption));
        if (!protocol) {
            *error =
                QStringLiteral("--protocol takes whois, rdap or auto, not \"%1\"").arg(parser.value(ProtocolOption));
            return false;
        }
        service->protocol = *protocol;
    } else {
        service->protocol = Rdap::configuredProtocol(error);
        if (!error->isEmpty())
            return false;
    }
    // RDAP serves every ending but .com and .net whatever the protocol: its services are always read.
    if (parser.isSet(RdapBaseOption)) {
        const auto bases = Rdap::Bases::parse(parser.value(RdapBaseOption));
        if (!bases) {
            *error = QStringLiteral("--rdap-base takes an http or https address, not \"%1\"")
                         .arg(parser.value(RdapBaseOption));
            return false;
        }
        service->bases = Rdap::withKnownServices(*bases);
    } else {
        QString basesError;
        service->bases = Rdap::configuredBases(&basesError);
        // Over WHOIS alone, a setting that cannot be read only leaves the other endings unknown.
        if (!basesError.isEmpty() && service->protocol != Rdap::Protocol::Whois) {
            *error = basesError;
            return false;
        }
    }
    // The servers of other endings: those given, over the shipped and the program folder's files.
    const std::optional<Whois::ServerItems> items = Whois::parseServerItems(
        parser.isSet(serverOption()) ? parser.value(serverOption()) : Settings::WhoisServer.text());
    service->whoisServers = Whois::withKnownServers(items ? items->byEnding : QHash<QString, Whois::Server> {});
    service->rules = loadWhoisRules();
    return service->protocol == Rdap::Protocol::Rdap || chooseServer(parser, &service->server, error);
}

int run(const QStringList &arguments, const Console &console)
{
    const QString name = arguments.value(1);
    for (const Command &command : commands()) {
        if (command.name != name)
            continue;
        QCommandLineParser parser;
        parser.setApplicationDescription(command.details);
        parser.addHelpOption();
        if (command.addOptions)
            command.addOptions(parser);
        if (!parser.parse(arguments.mid(1)))
            return usageError(console, parser.errorText());
        if (parser.isSet(QStringLiteral("help"))) {
            console.out(helpText(parser, command).toLocal8Bit());
            return 0;
        }
        return command.run(parser, console);
    }
    if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
        console.out(usage().toLocal8Bit());
        return 0;
    }
    if (name == QLatin1String("--version") || name == QLatin1String("-v")) {
        const Rdap::Services services = Rdap::loadServices();
        const QString bootstrap = Rdap::servicesFile(Rdap::BootstrapFileName);
        console.print(QStringLiteral("tamarind-cli " TAMARIND_VERSION "\nprogram folder: ")
            + QDir::toNativeSeparators(ProgramFolder::path())
            + QStringLiteral("\nRDAP services: %1, published %2")
                  .arg(bootstrap.isEmpty() ? Rdap::BootstrapFileName : QDir::toNativeSeparators(bootstrap),
                      services.publication.isEmpty() ? QStringLiteral("(unknown)") : services.publication));
        for (const QString &problem : services.problems)
            console.tell(QStringLiteral("tamarind-cli: ") + problem);
        return 0;
    }
    if (name.isEmpty())
        return usageError(console, QStringLiteral("no command given; see --help"));
    return usageError(console, QStringLiteral("unknown command \"%1\"; see --help").arg(name));
}

}   // namespace Cli
