#pragma once
#include "engine/ServiceDirectory.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <functional>

// tamarind-cli is a table of commands. Each command lives in a file of its own and is listed once in
// commands(); the overview of --help is made from the table.
namespace Cli {

// Where a command writes. The program writes to its standard output and error, each call whole and
// at once, so that a killed run never leaves half a line; tests capture both.
struct Console {
    std::function<void(const QByteArray &)> out;
    std::function<void(const QByteArray &)> err;
    bool errIsTerminal = false;
    bool outIsTerminal = false;

    static Console standard();
    // A line on stdout, its control characters shown as escapes on a terminal.
    void print(const QString &line) const;
    // A line for people on stderr: whatever a server or a file put in it, its control characters
    // are shown as escapes, so it cannot retitle the window or clear the screen.
    void tell(const QString &line) const;
};

struct Command {
    QString name;
    QString arguments;     // how its arguments are written in the overview
    QString description;   // one line
    QString details;       // the command's own --help text
    std::function<void(QCommandLineParser &)> addOptions;
    std::function<int(const QCommandLineParser &, const Console &)> run;
};

const QList<Command> &commands();

// Runs the command named by arguments[1]; arguments[0] is the program. Returns the exit code.
int run(const QStringList &arguments, const Console &console);

// A usage error (exit code 2) and a runtime failure (exit code 1), told on the error channel.
int usageError(const Console &console, const QString &message);
int failure(const Console &console, const QString &message);

// The commands, each in its own file.
Command cleanCommand();
Command checkCommand();
Command whoisCommand();
Command extractCommand();
Command generateCommand();
Command watchCommand();
Command endingsCommand();

// Text from elsewhere as a terminal may show it: control characters other than tabs and line
// breaks are shown as escapes ("\x1B"), so a reply cannot move the cursor or retitle the window.
QByteArray shownOnTerminal(const QByteArray &bytes);

// The --server option of the commands that ask a server.
const QCommandLineOption &serverOption();
// The server from --server, else the configured one; false, with the reason, when it is not usable.
bool chooseServer(const QCommandLineParser &parser, Whois::Server *server, QString *error);
// --server, --protocol and --rdap-base of the commands that ask a registry.
void addServiceOptions(QCommandLineParser &parser);
// The services from the options, else the configured ones; false, with the reason, when one that
// the protocol asks is not usable.
bool chooseService(const QCommandLineParser &parser, ServiceDirectory *service, QString *error);

}   // namespace Cli
