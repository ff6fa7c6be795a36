#include "cli/Command.h"

#include "app/DesktopNotice.h"
#include "app/ExitSignals.h"
#include "app/ProgramFiles.h"
#include "app/ProgramFolder.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "cli/CheckProgress.h"
#include "cli/NameRecords.h"
#include "engine/RdapServices.h"
#include "run/CheckSession.h"
#include "run/LineTally.h"
#include "run/NameWatch.h"
#include "run/WatchLog.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <map>

namespace Cli {

namespace {

const QCommandLineOption FolderOption(
    QStringLiteral("folder"), QStringLiteral("Program folder to use (created when missing)."), QStringLiteral("DIR"));
const QCommandLineOption FromOption(
    QStringLiteral("from"), QStringLiteral("First entry to check (default 1)."), QStringLiteral("N"));
const QCommandLineOption ResumeOption(QStringLiteral("resume"),
    QStringLiteral("Start at the first entry of FILE without a verdict in an earlier check."));
const QCommandLineOption DryRunOption(
    QStringLiteral("dry-run"), QStringLiteral("Print each name as it would be asked; ask nothing."));

const QCommandLineOption DnsServerOption(QStringLiteral("dns-server"),
    QStringLiteral("Ask DNS at this resolver (an address; several separated by commas) before the registry."),
    QStringLiteral("HOST[:PORT]"));
const QCommandLineOption EndingsOption(QStringLiteral("endings"),
    QStringLiteral(
        "Ask a bare word of FILE under each of these endings, in order (default: the setting Endings, com)."),
    QStringLiteral("LIST"));
const QCommandLineOption FormatOption(QStringLiteral("format"),
    QStringLiteral("Print each name as text (VERDICT NAME, the default), jsonl (one JSON object a line) or csv."),
    QStringLiteral("FORMAT"));
const QCommandLineOption NoDnsOption(
    QStringLiteral("no-dns"), QStringLiteral("Ask the registry about every name, without DNS first."));
const QCommandLineOption NotifyOption(QStringLiteral("notify"),
    QStringLiteral("Send a desktop notification when the watch finds changes (for a watch run by its timer)."));

// How long a watch that ends waits for the desktop to take its notification.
constexpr int NoticeWaitMs = 3000;

// The check's options, taken apart and checked before anything is written.
struct CheckRequest {
    QString list;
    QString typedList;   // as given, for the hints; empty for a watch of Saved Domains
    qint64 first = 1;
    bool resume = false;
    bool dryRun = false;
    bool dnsFirst = true;
    QString dnsServers;
    QStringList endings;
    OutputFormat format = OutputFormat::Text;
};

// Whether the option was given; false, without a warning, for an option the command does not take.
bool given(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    return parser.optionNames().contains(option.names().constFirst());
}

// A watch given no FILE watches the program folder's Saved Domains.
int parseRequest(const QCommandLineParser &parser, const Console &console, CheckRequest *request, bool watch)
{
    if (parser.isSet(FolderOption) && parser.value(FolderOption).trimmed().isEmpty())
        return usageError(console, QStringLiteral("--folder takes a folder, not an empty text"));
    // The program folder's service files are the ones a check reads, the dry run's too.
    if (parser.isSet(FolderOption))
        ProgramFolder::setPath(parser.value(FolderOption));
    if (parser.positionalArguments().size() > 1 || (parser.positionalArguments().isEmpty() && !watch))
        return usageError(console,
            watch ? QStringLiteral("watch takes one FILE, or none to watch Saved Domains")
                  : QStringLiteral("check takes exactly one FILE"));
    request->typedList = parser.positionalArguments().value(0);
    request->list = request->typedList.isEmpty() ? ProgramFiles::path(ProgramFiles::File::Remembered)
                                                 : QFileInfo(request->typedList).absoluteFilePath();
    request->resume = given(parser, ResumeOption);
    request->dryRun = given(parser, DryRunOption);
    if (request->resume && given(parser, FromOption))
        return usageError(console, QStringLiteral("--from and --resume cannot go together"));
    if (given(parser, FromOption)) {
        static const QRegularExpression decimal(QStringLiteral("^[0-9]{1,18}$"));
        const QString from = parser.value(FromOption).trimmed();
        if (!decimal.match(from).hasMatch())
            return usageError(
                console, QStringLiteral("--from takes an entry number, not \"%1\"").arg(parser.value(FromOption)));
        request->first = from.toLongLong();
        if (request->first < 1)
            return usageError(
                console, QStringLiteral("--from takes an entry number from 1 on; entries are counted from 1"));
    }
    request->endings =
        Settings::endingsList(parser.isSet(EndingsOption) ? parser.value(EndingsOption) : Settings::Endings.get());
    if (const QString problem = Names::endingsProblem(request->endings); !problem.isEmpty())
        return usageError(console,
            (parser.isSet(EndingsOption) ? QStringLiteral("--endings: ")
                                         : QStringLiteral("%1: ").arg(Settings::Endings.origin()))
                + problem);
    if (parser.isSet(NoDnsOption) && parser.isSet(DnsServerOption))
        return usageError(console, QStringLiteral("--no-dns and --dns-server cannot go together"));
    request->dnsFirst = !parser.isSet(NoDnsOption) && (parser.isSet(DnsServerOption) || Settings::DnsFirst.get());
    request->dnsServers = parser.isSet(DnsServerOption) ? parser.value(DnsServerOption) : Settings::DnsServer.get();
    if (request->dnsFirst) {
        QString error;
        DnsClient::serverList(request->dnsServers, &error);
        if (!error.isEmpty()) {
            error[0] = error[0].toLower();
            return usageError(
                console, (parser.isSet(DnsServerOption) ? QStringLiteral("--dns-server: ") : QString()) + error);
        }
    }
    if (given(parser, FormatOption)) {
        const std::optional<OutputFormat> format = outputFormat(parser.value(FormatOption).trimmed().toLower());
        if (!format)
            return usageError(console,
                QStringLiteral("--format takes text, jsonl or csv, not \"%1\"").arg(parser.value(FormatOption)));
        request->format = *format;
        // A dry run prints the names it would ask, not records of verdicts.
        if (request->dryRun && request->format != OutputFormat::Text)
            return usageError(console,
                QStringLiteral("--format %1 and --dry-run cannot go together")
                    .arg(parser.value(FormatOption).trimmed()));
    }
    return 0;
}

// A name asked in its IDNA form is followed by the form its reader knows.
QString verdictName(const QString &name)
{
    const QString unicode = Names::unicodeForm(name);
    return unicode == name ? name : name + ' ' + unicode;
}

// The names a check would ask, read as the check reads them: the same skips, told the same way.
int dryRun(const CheckRequest &request, const ServiceDirectory &service, SourceFeed &feed, const Console &console)
{
    const QString resolvers = request.dnsServers.trimmed().isEmpty() ? QStringLiteral("the system's resolvers")
                                                                     : request.dnsServers.trimmed();
    if (!request.dnsFirst)
        console.tell(QStringLiteral("tamarind-cli: DNS first is off: .com and .net names would go straight to the "
                                    "registry; names under other endings would still be asked of DNS (%1), since "
                                    "their registries' 404 is not trusted alone")
                         .arg(resolvers));
    else
        console.tell(QStringLiteral("tamarind-cli: every name would go to DNS first (%1); only those it does not find "
                                    "delegated would go to the registry")
                         .arg(resolvers));
    LineTally tally;
    tally.setServed([&service](const QString &name) { return service.serves(name); });
    QByteArray lines;
    for (qint64 entry = request.first;; ++entry) {
        const QString line = feed.entry(entry);
        if (entry > feed.count())
            break;
        for (const QString &name :
            feed.isOverlong(entry) ? tally.skipOverlong(line) : tally.namesOf(line, request.endings))
            lines += verdictName(name).toLocal8Bit() + '\n';
        if (lines.size() > (1 << 16)) {
            console.out(lines);
            lines.clear();
        }
    }
    console.out(lines);
    if (const QString skipped = tally.text(request.list); !skipped.isEmpty())
        console.tell(QStringLiteral("tamarind-cli: ") + skipped);
    return 0;
}

// A check of the list; with a watch, each name's state is compared with its last check instead
// of printed, and the watch's own position is kept, apart from the check's.
int check(const QCommandLineParser &parser, const Console &console, NameWatch *watch = nullptr)
{
    CheckRequest request;
    if (const int code = parseRequest(parser, console, &request, watch != nullptr))
        return code;
    ServiceDirectory service;
    QString serviceError;
    if (!chooseService(parser, &service, &serviceError) && !request.dryRun)
        return usageError(console, serviceError);

    SourceFeed feed;
    feed.setPath(request.list);
    // A timer watches Saved Domains every day, whether or not anything was saved yet.
    if (watch && request.typedList.isEmpty() && (!QFileInfo::exists(request.list) || feed.count() == 0)) {
        console.tell(QStringLiteral("tamarind-cli: Saved Domains holds no name to watch"));
        return 0;
    }
    if (const QString error = feed.openError(); !error.isEmpty())
        return failure(console,
            QStringLiteral("the list %1 cannot be opened: %2").arg(QDir::toNativeSeparators(request.list), error));
    const qint64 entries = feed.count();
    if (entries == 0)
        return failure(
            console, QStringLiteral("the list %1 holds no names").arg(QDir::toNativeSeparators(request.list)));
    if (given(parser, FromOption) && request.first > entries)
        return usageError(console,
            QStringLiteral("--from %1 is past the end of %2, which has %3 entries")
                .arg(QString::number(request.first), QDir::toNativeSeparators(request.list), QString::number(entries)));
    // A service file of the program folder sends endings elsewhere than the shipped one: it is named.
    for (const QString &fileName : {Rdap::BootstrapFileName, Rdap::OverridesFileName}) {
        if (const QString path = Rdap::servicesFile(fileName);
            !path.isEmpty() && QFileInfo(path).absolutePath() == QFileInfo(ProgramFolder::path()).absoluteFilePath())
            console.tell(QStringLiteral("tamarind-cli: RDAP services from %1").arg(QDir::toNativeSeparators(path)));
    }
    // A dry run with --resume lists what the resumed check would ask.
    const Settings::Value<qint64> position =
        Settings::cliPosition(watch ? QStringLiteral("watch:") + request.list : request.list);
    if (request.resume) {
        const ResumeStart resume = ResumeStore::resumeStart(position, feed);
        request.first = resume.entry;
        if (!resume.startsOver.isEmpty())
            console.tell(QStringLiteral("tamarind-cli: ") + resume.startsOver);
    }
    if (request.dryRun)
        return dryRun(request, service, feed, console);

    QDir().mkpath(ProgramFolder::path());
    // One after the other: an installed affix list goes in before an empty one would be made.
    QStringList failures = Startup::ensureInstalledData();
    failures += Startup::ensureWorkingFiles();
    failures += Startup::ensureWorkingFolders();
    if (!failures.isEmpty())
        return failure(console,
            QStringLiteral("the program folder %1 cannot be written (%2)")
                .arg(QDir::toNativeSeparators(ProgramFolder::path()), failures.constFirst()));

    QString watchError;
    if (watch && !watch->load(&watchError))
        return failure(console,
            QStringLiteral("the states of the last check, %1, cannot be read: %2")
                .arg(QDir::toNativeSeparators(NameWatch::path()), watchError));
    if (watch && watch->droppedLines() > 0)
        console.tell(QStringLiteral("tamarind-cli: %1 lines of %2 held no name state and were dropped")
                         .arg(watch->droppedLines())
                         .arg(QDir::toNativeSeparators(NameWatch::path())));

    CheckSession session;
    session.setService(service);
    session.setDns(request.dnsFirst, request.dnsServers);
    session.run().setEndings(request.endings);
    // Tests shorten the tick, as they do for the desktop program's engine.
    if (const int tick = qEnvironmentVariableIntValue("TAMARIND_TICK_MS"); tick > 0) {
        session.pool().setTickInterval(tick);
        session.dns().setTickInterval(tick);
    }
    session.run().setResumeSettings({position});
    session.selectSource(Source::CustomList, request.list);

    bool serverRefused = false;
    QStringList problems;
    // Entries before the earliest one still open are done.
    CheckProgress progress(console, session.pool(), entries - request.first + 1,
        [&session, &request] { return session.run().resumePosition() - request.first; });
    const auto print = [&console, format = request.format](const NameRecord &record) {
        if (format == OutputFormat::Text) {
            if (const QString text = recordText(record); !text.isEmpty())
                console.print(text);
        } else {
            console.out(recordLine(record, format));
        }
    };
    console.out(headerLine(request.format));
    QObject::connect(&session, &CheckSession::verdict,
        [&](const QString &name, bool unregistered, qint64 entry, const NameState &state) {
            if (!watch)
                print(NameRecord::ofVerdict(name, unregistered, entry, state));
        });
    if (watch) {
        watch->follow(session);
        // Each change is also kept for the desktop program, which shows it at its next start.
        QObject::connect(
            watch, &NameWatch::changed, [&console, &problems, told = false](const NameWatch::Change &change) mutable {
                console.print(change.text());
                if (QString error; !WatchLog::append(change, &error) && !std::exchange(told, true))
                    problems << QStringLiteral("the changes could not be kept for the desktop program in %1: %2")
                                    .arg(QDir::toNativeSeparators(ProgramFiles::path(ProgramFiles::File::WatchChanges)),
                                        error);
            });
    }
    QObject::connect(
        &session, &CheckSession::leftUnchecked, [&](const QString &name, qint64 entry, const QString &why) {
            if (!watch)
                print(NameRecord::ofUnchecked(name, entry, why));
        });
    QObject::connect(
        &session.run(), &RunControl::lineSkipped, [&](qint64 entry, const QString &line, const QString &why) {
            if (!watch)
                print(NameRecord::ofSkipped(entry, line, why));
        });
    QObject::connect(&session.pool(), &LookupPool::fellOverToRdap, [&](const QString &why) {
        console.tell(QStringLiteral("tamarind-cli: %1 Asking RDAP for the rest of the check.").arg(why));
    });
    QObject::connect(&session, &CheckSession::reserved, [&](const QString &name, const QString &why) {
        console.tell(QStringLiteral("tamarind-cli: %1 is %2; it is listed as unchecked").arg(name, why));
    });
    QObject::connect(
        &session.results(), &ResultLists::fileProblem, [&](const QString &message) { problems << message; });
    QObject::connect(&session, &CheckSession::serverRefused, [&](const QString &message) {
        serverRefused = true;
        problems << message;
    });
    bool runFailed = false;
    QObject::connect(&session, &CheckSession::runFailed, [&](const QString &message) {
        runFailed = true;
        problems << message;
    });

    QEventLoop loop;
    QObject::connect(&session.run(), &RunControl::stopped, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    bool interrupted = false;
    const auto exitSignals = ExitSignals::install([&](int) {
        interrupted = true;
        session.stop();
    });

    if (const QString error = session.start(request.first, entries); !error.isEmpty())
        return failure(console, error);
    progress.start();
    loop.exec();
    progress.finish();
    const bool positionSaved = Settings::flush() && Settings::writeError().isEmpty();
    if (!positionSaved)
        problems << Settings::writeError()
                + QStringLiteral(", so the position in the list is not kept and --resume would start over");

    if (const QString skipped = session.run().skippedText(); !skipped.isEmpty())
        problems << skipped;
    for (const QString &message : std::as_const(problems))
        console.tell(QStringLiteral("tamarind-cli: ") + message);
    const qint64 resume = session.run().resumeSaved();
    // The hints name the command that was run: a watch resumes as a watch, at its own position.
    const QString command = watch ? QStringLiteral("watch") : QStringLiteral("check");
    const QString list = request.typedList.isEmpty() ? QString() : QLatin1Char(' ') + request.typedList;
    if (resume <= entries && positionSaved)
        console.tell(QStringLiteral("resume from entry %1: tamarind-cli %2 --resume%3").arg(resume).arg(command, list));
    else if (resume <= entries)
        console.tell(
            QStringLiteral("resume from entry %1: tamarind-cli %2 --from %1%3").arg(resume).arg(command, list));
    else
        console.tell(QStringLiteral("every entry of %1 has been asked about")
                         .arg(request.typedList.isEmpty() ? QStringLiteral("Saved Domains") : request.typedList));
    if (const QString off = session.dns().offReason(); !off.isEmpty() && request.dnsFirst)
        console.tell(QStringLiteral("tamarind-cli: %1, so the registry was asked about the rest").arg(off));
    if (const QString dns = session.dns().countsText(); !dns.isEmpty())
        console.tell(dns);
    // What each service showed of itself, for a reader and, as records, for a script.
    for (const QString &line : session.evidenceLines())
        console.tell(line);
    if (!watch && request.format != OutputFormat::Text) {
        for (const RegistryStage::Evidence &asked : session.registry().evidence())
            print(NameRecord::ofService(asked.service, asked.protocol, asked.state(), asked.text()));
        const DnsStage &dns = session.dns();
        print(NameRecord::ofService(
            QStringLiteral("dns"), QStringLiteral("dns"), dns.evidenceState(), dns.evidenceText()));
    }
    const ResultLists &results = session.results();
    // Every entry, by what came of it; the lists' own counters start again at a list's cap.
    console.tell(QStringLiteral("checked ") + session.account().text());
    if (watch) {
        watch->stopFollowing();
        QString error;
        if (!watch->save(&error)) {
            console.tell(QStringLiteral("tamarind-cli: the states of this check could not be kept in %1: %2")
                             .arg(QDir::toNativeSeparators(NameWatch::path()), error));
            return 1;
        }
        console.tell(QStringLiteral("tamarind-cli: ") + watch->countsText());
        if (parser.isSet(NotifyOption) && !watch->changes().isEmpty()) {
            const WatchLog::Notice notice = WatchLog::noticeOf(watch->changes());
            DesktopNotice::show(notice.summary, notice.body, NoticeWaitMs);
        }
    }
    const bool incomplete = interrupted || serverRefused || runFailed || results.uncheckedCount() > 0;
    return incomplete || !positionSaved || session.results().files().writeFailed() ? 1 : 0;
}

}   // namespace

Command checkCommand()
{
    Command command;
    command.name = QStringLiteral("check");
    command.arguments = QStringLiteral("[--server H[:P]] [--protocol P] [--rdap-base URL] [--dns-server H[:P] | "
                                       "--no-dns] [--endings LIST] [--folder DIR] "
                                       "[--from N | --resume] [--format text|jsonl|csv] [--dry-run] FILE");
    command.description = QStringLiteral("look up every name of FILE, as a Custom List run does");
    command.details = QStringLiteral(
        "Looks up every name of FILE from entry N on, 25 at a time, like a Custom List run of the\n"
        "program: free names go to the profile files of the program folder. Prints one line per name:\n"
        "free NAME, registered NAME or unchecked NAME; a registered name on its way out is followed by\n"
        "its state (redemptionPeriod or pendingDelete) and estimated release date (or unknown), and is\n"
        "written to the Dropping file. --format jsonl or csv prints one record per name and per skipped\n"
        "line instead, with the keys name, shown, entry, verdict, profile, by, status, expires, changed,\n"
        "release and reason (see the README). A name that DNS finds delegated is registered\n"
        "without asking the registry. The position in FILE is kept apart from the\n"
        "program's, so --resume goes on where the last check of FILE stopped. Exits 1 when the list\n"
        "cannot be read or changes during the check, a result or the position cannot be written, or\n"
        "some names could not be checked.");
    command.addOptions = [](QCommandLineParser &parser) {
        addServiceOptions(parser);
        parser.addOptions({FolderOption, FromOption, ResumeOption, DryRunOption, DnsServerOption, NoDnsOption,
            EndingsOption, FormatOption});
        parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The list of names, one per line."));
    };
    command.run = [](const QCommandLineParser &parser, const Console &console) { return check(parser, console); };
    return command;
}

Command watchCommand()
{
    Command command;
    command.name = QStringLiteral("watch");
    command.arguments = QStringLiteral("[--server H[:P]] [--protocol P] [--rdap-base URL] [--dns-server H[:P] | "
                                       "--no-dns] [--endings LIST] [--folder DIR] [--from N | --resume] [--notify] "
                                       "[FILE]");
    command.description = QStringLiteral("check every name of FILE again and print what changed since the last time");
    command.details =
        QStringLiteral("Asks about every name of FILE once more, at the pace of a check, and prints one line per name\n"
                       "whose state changed since its last check: NAME: BEFORE -> AFTER, where a state is free,\n"
                       "registered or dropping (in redemption or pending delete; its phase and estimated release\n"
                       "follow). The last state of each name is kept in NameStates.txt in the program folder, and\n"
                       "each state is journalled as it is recorded, so a change is told once even when the watch is\n"
                       "killed; --resume goes on where a stopped or killed watch left off. Free names go to the\n"
                       "profile files, as a check's do. Without FILE it watches the Saved Domains of the program\n"
                       "folder (a daily timer can run it: see the README). --notify sends one desktop notification\n"
                       "when it finds changes, and the desktop program shows them when it starts next. Exits 1 as\n"
                       "check does.");
    command.addOptions = [](QCommandLineParser &parser) {
        addServiceOptions(parser);
        parser.addOptions(
            {FolderOption, FromOption, ResumeOption, DnsServerOption, NoDnsOption, EndingsOption, NotifyOption});
        parser.addPositionalArgument(QStringLiteral("FILE"),
            QStringLiteral("The names to watch, one per line (default: Saved Domains)."), QStringLiteral("[FILE]"));
    };
    command.run = [](const QCommandLineParser &parser, const Console &console) {
        NameWatch watch;
        return check(parser, console, &watch);
    };
    return command;
}

}   // namespace Cli
