#include "cli/CliCommands.h"

#include "app/ProgramFolder.h"
#include "app/SettingsStore.h"
#include "app/Startup.h"
#include "cli/CheckProgress.h"
#include "engine/ResultLists.h"
#include "engine/Whois.h"
#include "engine/WhoisPool.h"
#include "run/RunControl.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <map>
#include <cstdio>

namespace Cli {

namespace {

std::atomic<bool> interrupted{false};

void onInterrupt(int)
{
    interrupted = true;
}

const QCommandLineOption ServerOption(QStringLiteral("server"), QStringLiteral("WHOIS server to ask."), QStringLiteral("HOST[:PORT]"));

// Parses the command's own options; false (with the exit code set) when they are not usable.
bool ParseOptions(QCommandLineParser &parser, const QStringList &arguments, int *exitCode)
{
    parser.addHelpOption();
    if (!parser.parse(arguments)) {
        *exitCode = usageError(parser.errorText());
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        *exitCode = 0;
        return false;
    }
    return true;
}

bool ChooseServer(const QCommandLineParser &parser, Whois::Server *server, int *exitCode)
{
    *server = parser.isSet(ServerOption) ? Whois::Server::parse(parser.value(ServerOption))
                                         : Whois::ConfiguredServer();
    if (server->isValid())
        return true;
    *exitCode = usageError(QStringLiteral("\"%1\" is not a server: give HOST or HOST:PORT")
                               .arg(parser.isSet(ServerOption) ? parser.value(ServerOption) : QStringLiteral("WhoisServer")));
    return false;
}

} // namespace

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

int runCheck(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Looks up every name of FILE from entry N on, 25 at a time, like a Custom List run of the\n"
        "program: free names go to the profile files of the program folder. Prints one line per name:\n"
        "free NAME, registered NAME or unchecked NAME. Exits 1 when the list cannot be read or some\n"
        "names could not be checked."));
    const QCommandLineOption folder(QStringLiteral("folder"), QStringLiteral("Program folder to use."), QStringLiteral("DIR"));
    const QCommandLineOption from(QStringLiteral("from"), QStringLiteral("First entry to check (default 1)."), QStringLiteral("N"), QStringLiteral("1"));
    parser.addOptions({ServerOption, folder, from});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The list of names, one per line."));
    int exitCode = 0;
    if (!ParseOptions(parser, arguments, &exitCode))
        return exitCode;
    if (parser.positionalArguments().size() != 1)
        return usageError(QStringLiteral("check takes exactly one FILE"));
    if (!RunControl::IsEntryNumber(parser.value(from)))
        return usageError(QStringLiteral("--from takes an entry number, not \"%1\"").arg(parser.value(from)));
    Whois::Server server;
    if (!ChooseServer(parser, &server, &exitCode))
        return exitCode;
    const QString list = QFileInfo(parser.positionalArguments().constFirst()).absoluteFilePath();
    if (parser.isSet(folder))
        ProgramFolder::setPath(parser.value(folder));

    QStringList failures = Startup::EnsureWorkingFiles() + Startup::EnsureWorkingFolders();
    if (!failures.isEmpty())
        return failure(QStringLiteral("the program folder %1 cannot be written (%2)")
                           .arg(QDir::toNativeSeparators(ProgramFolder::path()), failures.constFirst()));

    ResultLists results;
    WhoisPool pool(results);
    pool.setServer(server);
    RunControl run(results, pool);
    const SourceSelection selection = run.SelectSource(Source::CustomList, list);

    std::FILE *out = stdout;
    qint64 checked = 0;
    QStringList problems;
    QObject::connect(&pool, &WhoisPool::verdict, [&](const QString &name, bool unregistered) {
        std::fprintf(out, "%s %s\n", unregistered ? "free" : "registered", qPrintable(name));
        ++checked;
    });
    QObject::connect(&pool, &WhoisPool::unchecked, [&](const QString &name, int) {
        std::fprintf(out, "unchecked %s\n", qPrintable(name));
        ++checked;
    });
    // Counted here: the lists' own counters start again when a list reaches its cap.
    std::map<ResultList, qint64> classified;
    QObject::connect(&results, &ResultLists::itemsAdded, [&](ResultList which, const QStringList &names) {
        classified[which] += names.size();
    });
    QObject::connect(&pool, &WhoisPool::problem, [&](const QString &message) { problems << message; });
    QObject::connect(&results, &ResultLists::fileProblem, [&](const QString &message) { problems << message; });

    CheckProgress progress(*selection.wordMax, parser.value(from).toLongLong());
    QObject::connect(&pool, &WhoisPool::verdict, &progress, [&] { progress.advance(); });
    QObject::connect(&pool, &WhoisPool::unchecked, &progress, [&] { progress.advance(); });
    QObject::connect(&run, &RunControl::stopped, QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);

    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    QTimer interruptCheck;
    QObject::connect(&interruptCheck, &QTimer::timeout, [&] {
        if (interrupted && run.isRunning())
            run.Stop();
    });
    interruptCheck.start(100);

    const QString error = run.Start(parser.value(from), QString::number(*selection.wordMax));
    if (!error.isEmpty())
        return failure(error);
    progress.start();
    QCoreApplication::exec();
    progress.finish();
    SettingsStore::flush();
    std::fflush(out);

    for (const QString &message : std::as_const(problems))
        QTextStream(stderr) << "tamarind-cli: " << message << '\n';
    QTextStream(stderr) << QStringLiteral("checked %1 names: %2 high, %3 mid, %4 low, %5 registered, %6 unchecked\n")
                               .arg(checked)
                               .arg(classified[ResultList::High])
                               .arg(classified[ResultList::Mid])
                               .arg(classified[ResultList::Low])
                               .arg(classified[ResultList::Registered])
                               .arg(pool.uncheckedCount());
    return pool.uncheckedCount() > 0 || interrupted ? 1 : 0;
}

int runWhois(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints the WHOIS record of NAME as the server sends it."));
    parser.addOption(ServerOption);
    parser.addPositionalArgument(QStringLiteral("NAME"), QStringLiteral("The domain name."));
    int exitCode = 0;
    if (!ParseOptions(parser, arguments, &exitCode))
        return exitCode;
    if (parser.positionalArguments().size() != 1)
        return usageError(QStringLiteral("whois takes exactly one NAME"));
    Whois::Server server;
    if (!ChooseServer(parser, &server, &exitCode))
        return exitCode;

    WhoisQuery query;
    QByteArray reply;
    QString error;
    QObject::connect(&query, &WhoisQuery::finished, [&](const QByteArray &text, const QString &why) {
        reply = text;
        error = why;
        QCoreApplication::quit();
    });
    query.start(server, Whois::PrepareLookupName(parser.positionalArguments().constFirst()));
    QCoreApplication::exec();
    if (!error.isEmpty())
        return failure(QStringLiteral("no record from %1: %2").arg(server.text(), error));
    std::fwrite(reply.constData(), 1, size_t(reply.size()), stdout);
    return 0;
}

} // namespace Cli
