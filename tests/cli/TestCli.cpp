#include "TestSupport.h"
#include "engine/ReplyCap.h"

#include "app/DataFile.h"
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "cli/Command.h"
#include "cli/NameRecords.h"
#include "engine/RdapServices.h"
#include "engine/WhoisRules.h"
#include "engine/WhoisServers.h"
#include "run/CheckSession.h"
#include "run/NameWatch.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QStringList lines() const { return QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts); }
};

// A command run in this process, its output captured.
Outcome run(const QStringList &arguments)
{
    Outcome outcome;
    Cli::Console console {[&](const QByteArray &bytes) { outcome.out += bytes; },
        [&](const QByteArray &bytes) { outcome.err += bytes; }, false};
    outcome.exitCode = Cli::run(QStringList {"tamarind-cli"} + arguments, console);
    return outcome;
}

QStringList numberedNames(int count)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names << QString("name%1").arg(i, 4, 10, QChar('0'));
    return names;
}

// The built program, for what only a process shows: exit codes after signals, whole lines.
QProcess *startCli(const QStringList &arguments, const QString &config)
{
    auto *process = new QProcess;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", config);
    process->setProcessEnvironment(environment);
    process->start(builtProgram("tamarind-cli"), arguments);
    // Started means exec'ed: a forked child not yet the program has the test's own memory peak.
    process->waitForStarted(10000);
    return process;
}

// The highest resident size a living process has had, from /proc; 0 once it is gone.
qint64 residentPeakKb(qint64 pid)
{
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// The bound of a process's memory. The address sanitizer keeps up to 256 MB of freed memory aside
// to catch its use, so its build is held to that much more.
#ifdef __SANITIZE_ADDRESS__
constexpr qint64 PeakLimitKb = (200 + 256) * 1024;
#else
constexpr qint64 PeakLimitKb = 200 * 1024;
#endif

// Waits for the process to end, up to timeoutMs, and returns its peak resident size, read while
// it lives: RUSAGE_CHILDREN would also count every earlier child of the test.
qint64 peakUntilFinished(QProcess &process, int timeoutMs)
{
    qint64 peakKb = 0;
    QElapsedTimer waited;
    waited.start();
    while (!process.waitForFinished(5) && waited.elapsed() < timeoutMs)
        peakKb = std::max(peakKb, residentPeakKb(process.processId()));
    return peakKb;
}

// Every file under a folder with its content.
QMap<QString, QByteArray> filesUnder(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, readBytes(path));
    }
    return files;
}

}   // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void clean()
    {
        // Decoding comes first, so a decoded "%" or blank is then removed by the cleaning.
        const Outcome outcome =
            run({"clean", "site:my-shop.com", "%2525%2520", "Best Buy!.COM", "a%2520b%3A.com", "xx%253Aabc"});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, QByteArray("my-shop.com\n\nBestBuy.COM\nab.com\nxxabc\n"));
    }

    void helpComesFromTheTable()
    {
        const Outcome outcome = run({"--help"});
        QCOMPARE(outcome.exitCode, 0);
        for (const Cli::Command &command : Cli::commands()) {
            QVERIFY(outcome.out.contains("  " + command.name.toLatin1() + ' '));
            QVERIFY(outcome.out.contains(command.description.toLatin1()));
        }
        QVERIFY(run({"clean", "--help"}).out.contains("decoded and then cleaned"));

        // Fault caught: under a short name ("e") every "e" of the help was replaced by the usage.
        QTemporaryDir bin;
        QVERIFY(QFile::link(builtProgram("tamarind-cli"), bin.filePath("e")));
        QProcess program;
        program.start(bin.filePath("e"), {"check", "--help"});
        QVERIFY(program.waitForFinished(10000));
        const QByteArray help = program.readAllStandardOutput();
        QVERIFY2(help.startsWith("Usage: tamarind-cli check [options] FILE\n"), help.constData());
        QVERIFY(help.contains(Cli::commands()[1].details.left(40).toUtf8()));
    }

    // Every kind of bad input: its exit code, its message, and nothing written outside the program
    // folder. In the arguments, upper-case words stand for prepared files and folders.
    void badInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QStringList check {"check", "--folder", "PROGRAM"};
        const QStringList checkOn = check + QStringList {"--server", "SERVER"};
        QTest::addRow("version") << QStringList {"--version"} << 0 << "";
        QTest::addRow("no command") << QStringList {} << 2 << "no command";
        QTest::addRow("unknown command") << QStringList {"fly"} << 2 << "unknown command";
        QTest::addRow("clean without names") << QStringList {"clean"} << 2 << "at least one NAME";
        QTest::addRow("no file") << check << 2 << "exactly one FILE";
        QTest::addRow("a watch of no saved name")
            << QStringList {"watch", "--folder", "PROGRAM"} << 0 << "Saved Domains holds no name to watch";
        QTest::addRow("a watch of two files")
            << QStringList {"watch", "--folder", "PROGRAM", "EMPTY", "EMPTY"} << 2 << "one FILE, or none";
        QTest::addRow("missing list") << check + QStringList {"MISSING"} << 1 << "cannot be opened";
        QTest::addRow("a folder") << check + QStringList {"INPUTS"} << 1 << "it is a folder";
        QTest::addRow("an empty file") << check + QStringList {"EMPTY"} << 1 << "holds no names";
        QTest::addRow("a binary file") << check + QStringList {"BINARY"} << 1 << "not a text file";
        QTest::addRow("NUL bytes in text") << check + QStringList {"NULS"} << 1 << "not a text file";
        QTest::addRow("a device that never ends") << check + QStringList {"/dev/zero"} << 1 << "device or pipe";
        QTest::addRow("a 5 MB line") << checkOn + QStringList {"BIGLINE"} << 0 << "1 line longer than 64 KB";
        QTest::addRow("only a 5 MB line") << checkOn + QStringList {"BIGONLY"} << 0 << "1 skipped";
        QTest::addRow("UTF-8 names") << checkOn + QStringList {"UTF8"} << 0
                                     << QString::fromUtf8("xn--wgv71a119e.com 日本語.com");
        QTest::addRow("a name without an IDNA form")
            << checkOn + QStringList {"UTF8"} << 0 << "1 name with letters that have no IDNA form";
        // Faults caught: a list line equal to the end marker ended the list; a FIFO held open() for
        // ever; a NUL past the first 4 KB dropped, so that good\0evil.com was asked as goodevil.com.
        QTest::addRow("the end marker in a list") << checkOn + QStringList {"MARKER"} << 0 << "endoffileffile.com";
        QTest::addRow("a FIFO") << check + QStringList {"FIFO"} << 1 << "device or pipe";
        QTest::addRow("a NUL past 4 KB") << checkOn + QStringList {"LATENUL"} << 0 << "1 line with a NUL character";
        // Fault caught: skipped lines counted but named nowhere.
        QTest::addRow("skipped lines named")
            << checkOn + QStringList {"LATENUL"} << 0 << "Each skipped line, and why, is in";
        QTest::addRow("a UTF-16 list") << checkOn + QStringList {"UTF16"} << 0 << " abd.com";
        QTest::addRow("a protocol that is none")
            << check + QStringList {"--protocol", "gopher", "LIST"} << 2 << "--protocol takes whois, rdap or auto";
        QTest::addRow("an RDAP base that is no address") << QStringList {"whois", "--protocol", "rdap", "--rdap-base",
            "ftp://x/", "a.com"} << 2 << "--rdap-base takes an http or https address";
        QTest::addRow("whois of nothing") << QStringList {"whois", ""} << 2 << "no name was given";
        QTest::addRow("whois of a line break")
            << QStringList {"whois", QString::fromUtf8("a\u2028b.com")} << 2 << "holds more than a name";
        QTest::addRow("whois of an ending")
            << QStringList {"whois", "co.uk"} << 2 << "an ending of the Public Suffix List";
        QTest::addRow("extract a device") << QStringList {"extract", "/dev/zero"} << 1 << "device or pipe";
        QTest::addRow("extract NUL bytes") << QStringList {"extract", "NULS"} << 1 << "not a text file";
        QTest::addRow("affixes from a device")
            << QStringList {"generate", "--base", "x", "--affixes", "/dev/zero"} << 1 << "device or pipe";
        QTest::addRow("affixes with NUL bytes")
            << QStringList {"generate", "--base", "x", "--affixes", "NULS"} << 1 << "not a text file";
        QTest::addRow("an empty base word")
            << QStringList {"generate", "--base", " ", "--affixes", "LIST"} << 2 << "--base takes a word";
        QTest::addRow("a base word with a tab")
            << QStringList {"generate", "--base", "a\tb", "--affixes", "LIST"} << 2 << "control characters";
        QTest::addRow("from 0") << check + QStringList {"--from", "0", "LIST"} << 2 << "counted from 1";
        QTest::addRow("from -1") << check + QStringList {"--from", "-1", "LIST"} << 2 << "takes an entry number";
        QTest::addRow("from letters") << check + QStringList {"--from", "x1", "LIST"} << 2 << "takes an entry number";
        QTest::addRow("from NaN") << check + QStringList {"--from", "NaN", "LIST"} << 2 << "takes an entry number";
        QTest::addRow("from past the end") << check + QStringList {"--from", "4", "LIST"} << 2 << "past the end";
        QTest::addRow("from and resume") << check + QStringList {"--from", "2", "--resume", "LIST"} << 2
                                         << "cannot go together";
        QTest::addRow("a format that is none")
            << check + QStringList {"--format", "xml", "LIST"} << 2 << "--format takes text, jsonl or csv";
        QTest::addRow("records of a dry run") << check + QStringList {"--format", "csv", "--dry-run", "LIST"} << 2
                                              << "--format csv and --dry-run cannot go together";
        // Fault caught: an ending that is none taken, and every word of the list then skipped or
        // asked under another ending.
        for (const char *ending : {"../../etc", "co/m", "i_o", "-io", "github.io"})
            QTest::addRow("ending %s", ending)
                << check + QStringList {"--endings", ending, "LIST"} << 2
                << QString("--endings: \"%1\"").arg(QString(ending).remove(QRegularExpression("^\\.+")));
        QTest::addRow("empty folder") << QStringList {"check", "--folder", "", "LIST"} << 2
                                      << "--folder takes a folder";
        for (const char *server : {"127.0.0.1:0", "127.0.0.1:99999", ":43", "host:abc"})
            QTest::addRow("server %s", server) << check + QStringList {"--server", server, "LIST"} << 2
                                               << QString("--server holds \"%1\"").arg(server);
        QTest::addRow("IPv6 port too big")
            << QStringList {"whois", "--server", "[::1]:99999", "x"} << 2 << "not a WHOIS server";
        QTest::addRow("server that never exists")
            << check + QStringList {"--server", "nohost.invalid", "LIST"} << 1 << "Host not found";
        QTest::addRow("program folder is a file")
            << QStringList {"check", "--server", "SERVER", "--folder", "AFILE", "LIST"} << 1 << "cannot be written";
        QTest::addRow("read-only program folder")
            << QStringList {"check", "--server", "SERVER", "--folder", "READONLY", "LIST"} << 1 << "cannot be written";
    }
    void badInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        TestFolders folders;
        QTemporaryDir inputs;
        const auto input = [&](const QString &name) { return inputs.filePath(name); };
        DataFile::rewrite(input("list.txt"), {"abc", "abd", "abe"});
        writeBytes(input("empty.txt"), {});
        writeBytes(input("nuls.txt"), QByteArray("abc\r\nab\0cd\r\n", 12));
        writeBytes(input("bigline.txt"), "abc\r\n" + QByteArray(5 << 20, 'x') + "\r\nabd\r\n");
        writeBytes(input("bigonly.txt"), QByteArray(5 << 20, 'x'));
        writeBytes(input("utf8.txt"), QString::fromUtf8("日本語.com\r\nabc\r\n\u200b\u200b.com\r\n").toUtf8());
        writeBytes(input("utf16.txt"), QByteArray("\xff\xfe") + QByteArray("a\0b\0d\0\r\0\n\0", 10));
        writeBytes(input("marker.txt"), "abc\r\nendoffileffile\r\nabd\r\n");
        writeBytes(input("latenul.txt"), QByteArray(5000, 'a') + "\r\nabc\r\n" + QByteArray("good\0evil.com\r\n", 15));
        QTemporaryDir pipes;   // apart from the inputs, which are read back whole
        mkfifo(QFile::encodeName(pipes.filePath("fifo")).constData(), 0600);
        writeBytes(input("afile"), "not a folder");
        QDir(inputs.path()).mkdir("readonly");
        QFile::setPermissions(input("readonly"), QFile::ReadOwner | QFile::ExeOwner);
        // Root writes to any folder whatever its permissions; /proc is one it cannot write either.
        const QString readOnly = geteuid() == 0 ? QString("/proc/self/fdinfo") : input("readonly");
        std::unique_ptr<TestWhoisServer> server;
        if (arguments.contains("SERVER"))
            server = std::make_unique<TestWhoisServer>();
        const QMap<QString, QString> stands {{"LIST", input("list.txt")}, {"MISSING", input("missing.txt")},
            {"INPUTS", inputs.path()}, {"EMPTY", input("empty.txt")}, {"BINARY", builtProgram("tamarind-cli")},
            {"NULS", input("nuls.txt")}, {"BIGLINE", input("bigline.txt")}, {"BIGONLY", input("bigonly.txt")},
            {"UTF8", input("utf8.txt")}, {"UTF16", input("utf16.txt")}, {"MARKER", input("marker.txt")},
            {"FIFO", pipes.filePath("fifo")}, {"LATENUL", input("latenul.txt")}, {"AFILE", input("afile")},
            {"READONLY", readOnly}, {"PROGRAM", folders.file("program")},
            {"SERVER", server ? server->address() : QString()}};
        for (QString &argument : arguments)
            argument = stands.value(argument, argument);

        const QMap<QString, QByteArray> before = filesUnder(inputs.path());
        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.exitCode, exitCode);
        QVERIFY2((outcome.out + outcome.err).contains(message.toUtf8()), (outcome.out + outcome.err).constData());
        if (exitCode == 2)
            QVERIFY(outcome.err.startsWith("tamarind-cli: "));
        QCOMPARE(filesUnder(inputs.path()), before);
        // Of the test's program folder only the program folder named by --folder may have changed.
        QCOMPARE(QDir(folders.program())
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                     .filter(QRegularExpression("^(?!program$)")),
            QStringList());
    }

    // How each ending is asked, as the command tells it. Faults caught: a server given as an
    // ENDING=HOST item not used; a registry's rules, or its published pace, left out; an ending
    // that nothing serves told as served (exit 0).
    void endingsTellHowNamesAreAsked()
    {
        TestFolders folders;
        writeBytes(
            folders.file(Rdap::BootstrapFileName), "{\"services\": [ [ [\"io\"], [\"https://rdap.example/\"] ] ]}");
        writeBytes(folders.file(Rdap::OverridesFileName), "# none\n");
        const Outcome outcome = run({"endings", "--folder", folders.program(), "--protocol", "whois", "--server",
            "127.0.0.1:4343 de=127.0.0.1:4344", "de", ".NL", "io", "zz"});
        QCOMPARE(outcome.exitCode, 1);
        const QStringList lines = outcome.lines();
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].startsWith(".de: WHOIS at 127.0.0.1:4344; rules of whois.denic.de in ")
                && lines[0].endsWith("; pace learnt from its refusals"),
            qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(".nl: WHOIS at whois.domain-registry.nl:43; rules of whois.domain-registry.nl")
                && lines[1].endsWith("; pace 60 a minute, as the registry publishes"),
            qPrintable(lines[1]));
        QCOMPARE(lines[2], QString(".io: RDAP at https://rdap.example; pace learnt from its refusals"));
        QCOMPARE(lines[3], QString(".zz: skipped, no RDAP service or WHOIS server is known for .zz"));
        QCOMPARE(run({"endings", "--folder", folders.program(), "de", "io"}).exitCode, 0);
    }

    // CSV that no spreadsheet runs, and that splits back into what was written. Faults caught: a
    // field that begins as a formula (=, +, -, @, a carriage return) written as it is; a control
    // character turned into a space; a status value holding ";" split in two.
    void csvRunsNothing_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("status");
        QTest::addColumn<QByteArray>("fields");   // the shown and status fields as written
        QTest::addRow("formula") << "=HYPERLINK(\"http://evil.example\",\"x\")" << QStringList {}
                                 << QByteArray("\"'=HYPERLINK(\"\"http://evil.example\"\",\"\"x\"\")\",");
        QTest::addRow("minus") << "-2+3" << QStringList {} << QByteArray("'-2+3,");
        QTest::addRow("plus") << "+1" << QStringList {} << QByteArray("'+1,");
        QTest::addRow("at") << "@SUM(A1)" << QStringList {} << QByteArray("'@SUM(A1),");
        QTest::addRow("carriage return") << "\rx" << QStringList {} << QByteArray("\"'\rx\",");
        QTest::addRow("tab and bell escaped") << "\ta\x07"
                                                 "b"
                                              << QStringList {} << QByteArray("\\x09a\\x07b,");
        QTest::addRow("a status value holding ;")
            << "x.com" << QStringList {"ok;fine", "hold"} << QByteArray("x.com,\"\"\"ok;fine\"\";hold\",");
        QTest::addRow("a status formula") << "x.com" << QStringList {"=1+1"} << QByteArray("x.com,'=1+1,");
        QTest::addRow("plain") << "x.com" << QStringList {"ok"} << QByteArray("x.com,ok,");
    }
    void csvRunsNothing()
    {
        QFETCH(QString, shown);
        QFETCH(QStringList, status);
        QFETCH(QByteArray, fields);
        Cli::NameRecord record;
        record.name = "x.com";
        record.shown = shown;
        record.status = status;
        record.verdict = "registered";
        const QByteArray line = Cli::recordLine(record, Cli::OutputFormat::Csv);
        const QByteArray shownField = line.mid(line.indexOf(',') + 1);
        QVERIFY2(shownField.startsWith(fields.left(fields.indexOf(',') + 1)), line.constData());
        QVERIFY2(line.contains(",registered,,," + fields.mid(fields.indexOf(',') + 1)) || status.isEmpty(),
            line.constData());
        // JSON is not evaluated: it keeps the text as it is.
        QVERIFY(Cli::recordLine(record, Cli::OutputFormat::Jsonl).contains("\"status\":["));
    }

    // One line per name in the Dropping file, as in the profile files, however often and in whatever
    // form the list gives it; an ending in two forms is one ending. Faults caught: a name written
    // once per line of the list; "рф" and "xn--p1ai" asked as two endings.
    void droppingOncePerName()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"), {"d1.com", "D1.COM", "http://www.d1.com/x", "d1"});
        DataFile::rewrite(folders.file("drops.txt"), {"d1.com redemptionPeriod"});
        TestWhoisServer server({"--dropping", folders.file("drops.txt")});
        const Outcome outcome =
            run({"check", "--server", server.address(), "--folder", folders.program(), folders.file("list.txt")});
        QCOMPARE(outcome.lines().size(), 4);
        const QStringList files = QDir(folders.program()).entryList({"Dropping*.txt"}, QDir::Files);
        QVERIFY2(files.size() == 1, qPrintable(files.join(' ')));
        QVERIFY2(fileEntries(folders.file(files.constFirst())).size() == 1,
            qPrintable(fileEntries(folders.file(files.constFirst())).join("|")));
        QCOMPARE(run({"endings", "--folder", folders.program(), "рф", "xn--p1ai", ".РФ"}).lines().size(), 1);
        QCOMPARE(Settings::endingsList("рф xn--p1ai com .COM"), (QStringList {"рф", "com"}));
    }

    // A line over 64 KB is an entry with a record of its own, shown by its start. Faults caught: no
    // record (the entries skip a number), the start asked as a name, the ellipsis missing.
    void overlongLineHasARecord()
    {
        TestFolders folders;
        const QString overlong = "golf.com " + QString(DataFile::MaxEntryBytes, 'x');
        DataFile::rewrite(folders.file("list.txt"), {"a1", overlong, "", "a2"});
        TestWhoisServer server({"--free-ratio", "1"});
        const Outcome outcome = run({"check", "--server", server.address(), "--format", "jsonl", "--folder",
            folders.program(), folders.file("list.txt")});
        QStringList records;
        for (const QString &line : outcome.lines()) {
            const QJsonObject record = QJsonDocument::fromJson(line.toUtf8()).object();
            if (record["verdict"] != "service")
                records << QString("%1 %2 %3")
                               .arg(record["entry"].toInteger())
                               .arg(record["verdict"].toString(), record["shown"].toString());
        }
        QVERIFY2(outcome.exitCode == 0, outcome.err.constData());
        records.sort();   // a skipped line is told when read, a verdict when it comes
        QCOMPARE(records,
            (QStringList {"1 free a1.com", "2 skipped " + overlong.left(200) + QChar(0x2026), "3 free a2.com"}));
        QVERIFY2(outcome.err.contains("checked 3 entries: 2 free (new: 2 high, 0 mid, 0 low; 0 already listed), 0 "
                                      "registered, 0 unchecked, 1 skipped"),
            outcome.err.constData());
    }

    void checkAndResume()
    {
        TestFolders folders;
        const QStringList names = numberedNames(60);
        DataFile::rewrite(folders.file("list.txt"), names);
        DataFile::rewrite(folders.file("registered.txt"), {"name0007.com", "name0042.com"});
        TestWhoisServer server({"--registered", folders.file("registered.txt")});
        const QStringList common {"check", "--server", server.address(), "--folder", folders.file("new/folder")};

        const Outcome first = run(common + QStringList {folders.file("list.txt")});
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(first.lines().size(), 60);
        QVERIFY(first.lines().contains("registered name0007.com"));
        QVERIFY(first.lines().contains("free name0008.com"));
        QVERIFY(first.err.endsWith(
            "checked 60 entries: 58 free (new: 0 high, 0 mid, 58 low; 0 already listed), 2 registered, "
            "0 unchecked, 0 skipped\n"));
        QCOMPARE(DataFile::readEntries(folders.file("new/folder/LowProfile.txt")).size(), 58);
        // The desktop program's positions are its own.
        QCOMPARE(SettingsStore::get("Quillon", "Settings", "CustWordNum", "none"), QString("none"));
        QCOMPARE(SettingsStore::get("Quillon", "Settings", "wordNumber", "none"), QString("none"));

        const Outcome second = run(common + QStringList {"--from", "41", folders.file("list.txt")});
        QCOMPARE(second.exitCode, 0);
        QCOMPARE(second.lines().size(), 20);
        QVERIFY(second.lines().contains("free name0041.com"));
        QVERIFY(second.err.endsWith(
            "checked 20 entries: 19 free (new: 0 high, 0 mid, 19 low; 0 already listed), 1 registered, "
            "0 unchecked, 0 skipped\n"));

        // Everything was asked: --resume has nothing left, and a dry run of it lists nothing (fault
        // caught: the dry run listing from entry 1, as if --resume were not given).
        QCOMPARE(run(common + QStringList {"--resume", "--dry-run", folders.file("list.txt")}).out, QByteArray());
        const Outcome third = run(common + QStringList {"--resume", folders.file("list.txt")});
        QCOMPARE(third.exitCode, 0);
        QCOMPARE(third.lines(), QStringList());
        QVERIFY(third.err.contains("every entry"));
    }

    // Names under many endings that no service answers are told in one sentence, and their endings
    // not kept beyond a hundred. Fault caught: a sentence and an ending kept per name.
    void manyUnknownEndingsToldOnce()
    {
        TestFolders folders;
        QStringList names;
        for (int i = 1; i <= 1000; ++i)
            names << QString("a.x%1").arg(i);
        DataFile::rewrite(folders.file("list.txt"), names);
        const Outcome dry = run({"check", "--dry-run", "--folder", folders.program(), folders.file("list.txt")});
        QCOMPARE(dry.out, QByteArray());
        const QByteArray told = dry.err.mid(dry.err.indexOf("1000 names"));
        QVERIFY2(told.startsWith("1000 names under endings no registry service is known for: .x1, .x10, .x100 and "
                                 "more than 97 others.\n"),
            dry.err.constData());
    }

    // A dry run asks and skips what the run does. Faults caught: names listed that the run skips
    // (an ending no service answers, an address), a name read otherwise than the run reads it, the
    // skips left uncounted.
    void dryRunWalksTheRunsPath()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"),
            {"xx:abc", "Best%20Buy", "shop.net", "a.io", "foo.zz", "3.4", QString::fromUtf8("google\u3002com"),
                "foo.invalid", "google.com registered", "abc."});
        TestWhoisServer server({"--free-ratio", "1", "--rdap-port", "0", "--dns-port", "0"});
        const QStringList common {"--server", server.address(), "--rdap-base",
            server.rdapBase() + " io=" + server.rdapBase(), "--dns-server", server.dnsAddress(), "--folder",
            folders.program(), "--from", "2", folders.file("list.txt")};
        const Outcome dry = run(QStringList {"check", "--dry-run"} + common);
        QCOMPARE(dry.exitCode, 0);
        // "abc." is the bare word abc, under the ending set (fault caught: "abc..com", skipped).
        QCOMPARE(dry.out, QByteArray("BestBuy.com\nshop.net\na.io\ngoogle.com\nabc.com\n"));
        const Outcome checked = run(QStringList {"check"} + common);
        QStringList asked = checked.lines().replaceInStrings(QRegularExpression("^\\w+ "), "");
        QStringList listed = QString::fromLatin1(dry.out).split('\n', Qt::SkipEmptyParts);
        asked.sort();   // verdicts come as each service answers
        listed.sort();
        QCOMPARE(asked, listed);
        // The same skips, told in the same words.
        const QByteArray skipped = dry.err.mid(dry.err.indexOf("Skipped in")).trimmed();
        QVERIFY2(skipped.contains("1 line that holds more than a name and 1 IP address")
                && skipped.contains("1 name under .zz: no registry service is known for it.")
                && skipped.contains("1 name under .invalid"),
            skipped.constData());
        QVERIFY2(checked.err.contains(skipped), checked.err.constData());
    }

    // Each row is a line in a form people paste. The server finds every name free, so a line asked
    // in a form the registry has no record of shows as a false "free". Fault caught: anything but
    // the registrable name asked, or a line that is no name asked at all.
    void lineForms_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("skipped");
        const QString more = "1 line that holds more than a name", bad = "1 name that cannot be registered";
        QTest::addRow("URL") << QByteArray("http://google.com/") << "google.com"
                             << "";
        QTest::addRow("URL with everything") << QByteArray("https://user@WWW.Example.com:8080/x?y#z") << "example.com"
                                             << "";
        QTest::addRow("host") << QByteArray("www.google.com") << "google.com"
                              << "";
        QTest::addRow("deeper host") << QByteArray("shop.example.net") << "example.net"
                                     << "";
        QTest::addRow("trailing dot") << QByteArray("google.com.") << "google.com"
                                      << "";
        QTest::addRow("port") << QByteArray("example.com:43") << "example.com"
                              << "";
        QTest::addRow("spaces and tabs around") << QByteArray("  google.com\t") << "google.com"
                                                << "";
        // Dots outside ASCII are dots before anything decides that a line is a bare word.
        QTest::addRow("ideographic full stop") << QByteArray("google\xe3\x80\x82"
                                                             "com")
                                               << "google.com"
                                               << "";
        QTest::addRow("full-width full stop") << QByteArray("google\xef\xbc\x8e"
                                                            "com")
                                              << "google.com"
                                              << "";
        QTest::addRow("half-width full stop") << QByteArray("google\xef\xbd\xa1"
                                                            "com")
                                              << "google.com"
                                              << "";
        QTest::addRow("half-width stops in a host") << QByteArray("shop\xef\xbd\xa1"
                                                                  "example\xef\xbd\xa1"
                                                                  "org")
                                                    << "example.org"
                                                    << "";
        QTest::addRow("UTF-8 letters") << QByteArray("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.com") << "xn--wgv71a119e.com"
                                       << "";
        QTest::addRow("words after the name") << QByteArray("google.com registered 2001") << "" << more;
        QTest::addRow("CSV") << QByteArray("google.com,registered") << "" << more;
        QTest::addRow("comment") << QByteArray("example.com # mine") << "" << more;
        // Every other ending keeps its ending, and is asked over RDAP; the registrable name is one
        // label and a public suffix of ICANN's section.
        QTest::addRow("other ending") << QByteArray("x.org") << "x.org"
                                      << "";
        QTest::addRow("word with a dot") << QByteArray("my.company") << "my.company"
                                         << "";
        QTest::addRow("host under a country's .co") << QByteArray("shop.example.co.uk") << "example.co.uk"
                                                    << "";
        QTest::addRow("host under a private suffix") << QByteArray("user.github.io") << "github.io"
                                                     << "";
        QTest::addRow("a public suffix") << QByteArray("co.uk") << ""
                                         << "1 ending of the Public Suffix List, which nobody registers";
        QTest::addRow("300-letter label") << QByteArray(300, 'a') << "" << bad;
        QTest::addRow("leading hyphen") << QByteArray("-bad.com") << "" << bad;
        QTest::addRow("empty IDNA label") << QByteArray("xn--.com") << "" << bad;
        // Cyrillic "ра" before Latin "ypal", written in its IDNA form: judged as a reader sees it.
        QTest::addRow("look-alike in IDNA form") << QByteArray("xn--ypal-43d9g.com") << ""
                                                 << "1 name that mixes Latin, Cyrillic or Greek letters in one label";
        QTest::addRow("generated from an empty base word") << QByteArray("my-.com") << "" << bad;
        QTest::addRow("single space") << QByteArray(" ") << ""
                                      << "";
    }
    void lineForms()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, asked);
        QFETCH(QString, skipped);
        TestFolders folders;
        TestWhoisServer server(
            {"--free-ratio", "1", "--log", folders.file("queries.log"), "--rdap-port", "0", "--dns-port", "0"});
        writeBytes(folders.file("list.txt"), line + "\r\nanchor\r\n");
        // A URL given alone serves .com and .net; the other endings are named.
        QString bases = server.rdapBase();
        for (const char *ending : {"org", "company", "uk", "io"})
            bases += QString(" %1=%2").arg(ending, server.rdapBase());
        // Names under other endings need DNS's word that they are not delegated beside the 404.
        const Outcome outcome = run({"check", "--server", server.address(), "--rdap-base", bases, "--dns-server",
            server.dnsAddress(), "--folder", folders.program(), folders.file("list.txt")});
        QCOMPARE(outcome.exitCode, 0);
        QStringList expected {"anchor.com"};
        if (!asked.isEmpty())
            expected.prepend(asked);
        QStringList queries = fileEntries(folders.file("queries.log"));
        queries.sort();
        expected.sort();
        QCOMPARE(queries, expected);
        QStringList printed = outcome.lines();
        printed.sort();
        for (QString &name : expected)
            name = "free " + Names::unicodeForm(name).prepend(name == Names::unicodeForm(name) ? "" : name + " ");
        QCOMPARE(printed, expected);
        if (!skipped.isEmpty())
            QVERIFY2(outcome.err.contains(skipped.toUtf8()), outcome.err.constData());
        else
            QVERIFY(!outcome.err.contains("Skipped"));
    }

    // Fault caught: free names printed, and so never asked again, while their file could not hold
    // them; and a run that crawls on, rewriting its lists once per name.
    void fullDiskLosesNothing()
    {
        if (geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        TestFolders folders;
        const QString small = folders.file("small");
        QDir().mkpath(small);
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", small}) != 0)
            QSKIP("this machine does not let a test mount a tmpfs");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {small}); });
        QStringList names;
        for (int i = 1; i <= 4000; ++i)
            names << QString("freename%1").arg(i, 5, 10, QChar('0'));
        DataFile::rewrite(folders.file("list.txt"), names);
        TestWhoisServer server({"--free-ratio", "1"});
        const QStringList check {"check", "--server", server.address(), "--folder", small};
        const auto savedNames = [&] {
            QSet<QString> saved;
            QDirIterator it(small, {"*.txt"}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                for (const QString &name : fileEntries(it.next()))
                    saved.insert(name);
            return saved;
        };

        const Outcome full = run(check + QStringList {folders.file("list.txt")});
        QCOMPARE(full.exitCode, 1);
        QVERIFY2(full.err.contains("No space left on device"), full.err.constData());
        QVERIFY(full.err.contains("LowProfile.txt"));
        QVERIFY(full.err.contains("--resume"));
        QVERIFY(full.lines().size() < names.size());
        const QSet<QString> saved = savedNames();
        for (const QString &line : full.lines())
            QVERIFY2(saved.contains(line.mid(5)), qPrintable(line));

        QCOMPARE(QProcess::execute("mount", {"-o", "remount,size=8m", small}), 0);
        const Outcome resumed = run(check + QStringList {"--resume", folders.file("list.txt")});
        QCOMPARE(resumed.exitCode, 0);
        const QSet<QString> all = savedNames();
        for (const QString &name : std::as_const(names))
            QVERIFY2(all.contains(name + ".com"), qPrintable(name));
    }

    // Fault caught: a run that goes on at its position in another list, mixing the two.
    void replacedListStopsTheRun()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"), numberedNames(5000));
        TestWhoisServer server({"--free-ratio", "1", "--latency-ms", "5", "--log", folders.file("queries.log")});
        QTimer::singleShot(300, [&] { DataFile::rewrite(folders.file("list.txt"), {"newname1", "newname2"}); });
        const Outcome outcome =
            run({"check", "--server", server.address(), "--folder", folders.program(), folders.file("list.txt")});
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(outcome.err.contains("changed during the run"), outcome.err.constData());
        QVERIFY(outcome.lines().size() < 5000);
        QVERIFY(outcome.lines().filter("newname").isEmpty());
        QVERIFY(fileEntries(folders.file("queries.log")).filter("newname").isEmpty());
    }

    // Faults caught: --resume of a list changed since its position was kept says every entry was
    // asked; each part of the comparison (size, time, the first 64 KB) left out; a list that did
    // not change started over.
    void resumeOfAChangedList_data()
    {
        QTest::addColumn<QByteArray>("content");   // what the list holds at --resume; empty: as it was
        QTest::addColumn<bool>("touched");         // its modification time moved
        QTest::addColumn<QString>("why");          // empty: it resumes where it stopped
        QTest::addRow("unchanged") << QByteArray() << false << QString();
        QTest::addRow("a name added") << QByteArray("alpha\nbravo\ncharlie\n") << false << "its size changed";
        QTest::addRow("touched") << QByteArray() << true << "its modification time changed";
        QTest::addRow("same size and time, other names")
            << QByteArray("delta\nhotel\n") << false << "its first 64 KB changed";
    }
    void resumeOfAChangedList()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, touched);
        QFETCH(QString, why);
        TestFolders folders;
        const QString list = folders.file("list.txt");
        writeBytes(list, "alpha\nbravo\n");
        TestWhoisServer server({"--free-ratio", "1"});
        const QStringList check {"check", "--server", server.address(), "--folder", folders.program(), list};
        QCOMPARE(run(check).exitCode, 0);
        struct stat status {
        };
        QCOMPARE(::stat(QFile::encodeName(list).constData(), &status), 0);
        if (!content.isEmpty())
            writeBytes(list, content);
        timespec times[2] = {status.st_atim, status.st_mtim};   // to the nanosecond, as it is compared
        times[1].tv_sec -= touched ? 60 : 0;
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(list).constData(), times, 0), 0);

        const Outcome resumed = run(QStringList(check) << "--resume");
        QCOMPARE(resumed.exitCode, 0);
        if (why.isEmpty()) {
            QVERIFY(resumed.lines().isEmpty());
            QVERIFY2(resumed.err.contains("every entry of"), resumed.err.constData());
            return;
        }
        QVERIFY2(resumed.err.contains("changed since entry 3 was kept as its resume position (" + why.toUtf8()
                     + "), so it starts at entry 1."),
            resumed.err.constData());
        QCOMPARE(resumed.lines().size(), (content.isEmpty() ? QByteArray("alpha\nbravo\n") : content).count('\n'));
    }

    // Fault caught: "resume from entry N" promised, and exit 0, when the position cannot be kept.
    void unwritableSettingsAreReported()
    {
        TestFolders folders;
        // Root writes to any folder whatever its permissions; /proc is one it cannot write either.
        QTemporaryDir readOnly;
        QFile::setPermissions(readOnly.path(), QFile::ReadOwner | QFile::ExeOwner);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
            geteuid() == 0 ? QString("/proc/self/fdinfo") : readOnly.path());
        SettingsStore::reset();
        DataFile::rewrite(folders.file("list.txt"), numberedNames(3));
        TestWhoisServer server({"--free-ratio", "1"});
        const Outcome outcome =
            run({"check", "--server", server.address(), "--folder", folders.program(), folders.file("list.txt")});
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(outcome.err.contains("settings file") && outcome.err.contains("cannot be written"),
            outcome.err.constData());
        QVERIFY(!outcome.err.contains("resume from"));
        QCOMPARE(outcome.err.count("settings file"), 1);   // told once
    }

    void shownOnTerminal_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("shown");
        QTest::addRow("record lines") << QByteArray("Domain Name: X.COM\r\n\tNS\n")
                                      << QByteArray("Domain Name: X.COM\r\n\tNS\n");
        QTest::addRow("escape sequence") << QByteArray("\x1b]0;owned\x07\x1b[2J")
                                         << QByteArray("\\x1B]0;owned\\x07\\x1B[2J");
        QTest::addRow("C1 control in UTF-8") << QByteArray("a\xc2\x9b"
                                                           "2Jb")
                                             << QByteArray("a\\x9B2Jb");
        QTest::addRow("UTF-8 letters kept")
            << QByteArray("\xe6\x97\xa5 \xf0\x9f\x98\x80") << QByteArray("\xe6\x97\xa5 \xf0\x9f\x98\x80");
        QTest::addRow("Latin-1 C1 byte") << QByteArray("caf\xe9 \x9b"
                                                       "2J")
                                         << QByteArray("caf\xe9 \\x9B2J");
        QTest::addRow("delete") << QByteArray("a\x7f") << QByteArray("a\\x7F");
    }
    // Fault caught: a server's reply that moves the cursor or retitles the terminal.
    void shownOnTerminal()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, shown);
        QCOMPARE(Cli::shownOnTerminal(reply), shown);
    }

    void checkFailures_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("message");
        QTest::addRow("unwritable folder") << "folder"
                                           << "cannot be written";
        QTest::addRow("refused connections") << "server"
                                             << "cannot be reached";
        QTest::addRow("unwritable result file") << "result"
                                                << "could not be written";
        QTest::addRow("another run in the folder") << "locked"
                                                   << "Another run is going on";
    }
    void checkFailures()
    {
        QFETCH(QString, problem);
        QFETCH(QString, message);
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"), {"abc", "abd"});
        writeBytes(folders.file("plain-file"), "x");
        TestWhoisServer server({"--free-ratio", "1"});
        QString address = server.address();
        QString folder = folders.program();
        if (problem == "folder")
            folder = folders.file("plain-file/sub");   // below a file: no user can write there
        else if (problem == "server")
            address = QString("127.0.0.1:%1").arg(unusedPort());
        else if (problem == "result")
            QDir(folders.program()).mkdir("SuperHighProfile.txt");
        CheckSession other;   // a run of another program in the same folder
        if (problem == "locked") {
            other.selectSource(Source::CustomList, folders.file("list.txt"));
            other.setServer(Whois::Server::parse(QString("127.0.0.1:%1").arg(unusedPort())));
            other.pool().setTickInterval(60000);
            QCOMPARE(other.start(1, 2), QString());
        }
        const Outcome outcome = run({"check", "--server", address, "--folder", folder, folders.file("list.txt")});
        QCOMPARE(outcome.exitCode, 1);
        QVERIFY2(outcome.err.contains(message.toLatin1()), outcome.err.constData());
        if (problem == "server") {
            QCOMPARE(outcome.out, QByteArray());   // nothing written off as unchecked
            QVERIFY(outcome.err.contains("resume from entry 1"));
        }
        if (problem == "result") {   // no verdict for a name that was not saved, and it is asked again
            QCOMPARE(outcome.lines(), QStringList());
            QVERIFY2(outcome.err.contains("resume from entry 1"), outcome.err.constData());
        }
    }

    void extract()
    {
        TestFolders folders;
        writeBytes(folders.file("page.html"),
            "<a href=\"http://shop.example.com/index.html\">shop</a> <a href=\"http://example.net/\">net</a>\n"
            "<a href=\"http://news.example.org/\">org</a>\nVisit sample.com today\n"
            "<FRAME src=\"http://frames.example.com/page.html\">");
        const Outcome list = run({"extract", "--variant", "list", folders.file("page.html")});
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(list.out, QByteArray("example.com\nexample.net\n"));
        const Outcome browser = run({"extract", folders.file("page.html")});
        QCOMPARE(browser.out, QByteArray("example.com\nexample.net\nsample.com\n"));
        QCOMPARE(browser.err, QByteArray("Following Frame: frames.example.com/page.html\n"));
        QCOMPARE(run({"extract", "--variant", "both"}).exitCode, 2);
        QCOMPARE(run({"extract", folders.file("missing.html")}).exitCode, 1);
    }

    void generate()
    {
        TestFolders folders;
        writeBytes(folders.file("Appends.txt"), "\r\nmy\r\nthe\r\n");
        const Outcome all = run({"generate", "--base", "shop"});
        QCOMPARE(all.exitCode, 0);
        QCOMPARE(all.lines().size(), 16);
        QCOMPARE(all.lines().mid(0, 2), (QStringList {"myshop.com", "myshop.net"}));
        QCOMPARE(all.lines().last(), QString("shop-the.net"));
        const Outcome some = run({"generate", "--base", "shop", "--affixes", folders.file("Appends.txt"),
            "--no-prefixes", "--no-hyphens", "--no-net"});
        QCOMPARE(some.out, QByteArray("shopmy.com\nshopthe.com\n"));
        QCOMPARE(run({"generate"}).exitCode, 2);
        const Outcome missing = run({"generate", "--base", "shop", "--affixes", folders.file("missing.txt")});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains("cannot be read"));
    }

    void whois()
    {
        TestWhoisServer server({"--free-ratio", "0"});
        const Outcome outcome = run({"whois", "--server", server.address(), "example"});
        QCOMPARE(outcome.exitCode, 0);
        QVERIFY(outcome.out.startsWith("   Domain Name: EXAMPLE.COM\r\n"));
        const Outcome refused = run({"whois", "--server", QString("127.0.0.1:%1").arg(unusedPort()), "example.com"});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.out.isEmpty());
        TestWhoisServer empty({"--empty-every", "1"});
        const Outcome closed = run({"whois", "--server", empty.address(), "example.com"});
        QCOMPARE(closed.exitCode, 1);
        QVERIFY(closed.err.contains("without a reply"));
        TestWhoisServer huge({"--free-ratio", "0", "--reply-bytes", "2000000"});
        const Outcome cut = run({"whois", "--server", huge.address(), "example.com"});
        QCOMPARE(cut.out.size(), Reply::Cap);
        QVERIFY(cut.err.contains("cut at"));
        // RDAP's record as a reader wants it, then its JSON; under "auto" when port 43 is refused.
        TestWhoisServer rdap({"--free-ratio", "0", "--rdap-port", "0"});
        for (const char *protocol : {"rdap", "auto"}) {
            const Outcome record = run({"whois", "--protocol", protocol, "--rdap-base", rdap.rdapBase(), "--server",
                QString("127.0.0.1:%1").arg(unusedPort()), "example.com"});
            QCOMPARE(record.exitCode, 0);
            QVERIFY2(record.out.startsWith("Domain Name: EXAMPLE.COM\n"), record.out.constData());
            for (const char *line : {"Registrar: Example Registrar, Inc.\n", "Expiration: 2027-03-14T09:26:53Z\n",
                     "Name Servers: NS1.REGISTRAR.TEST, NS2.REGISTRAR.TEST\n", "\"ldhName\": \"EXAMPLE.COM\""})
                QVERIFY2(record.out.contains(line), line);
        }
    }

    // Faults caught: a name without evidence listed free by a hostile registry (an empty JSON 404,
    // an HTML body, a 404 cut off, another error code, "No match" for another name, a reply about
    // two names); a name with evidence left without its verdict (a rights notice, a record with a
    // "No match" remark, the records of reserved.com and blocked.com, a compressed 404); a body that
    // inflates past any bound, or an endless one, held whole or asked again and again;
    // a server's escape sequences reaching the terminal.
    void hostileRegistry_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QStringList>("outcomes");   // "free NAME", "registered NAME", "unchecked NAME"
        QTest::addRow("WHOIS") << "whois"
                               << QStringList {"unchecked someone-else1.com", "registered remark1.com",
                                      "unchecked two-names1.com", "free good1.com"};
        QTest::addRow("RDAP") << "rdap"
                              << QStringList {"unchecked empty-json-4041.com", "unchecked html-rdap-4041.com",
                                     "unchecked error-500-4041.com", "unchecked cut-4041.com",
                                     "free rights-notice1.com", "registered reserved.com", "registered blocked.com",
                                     "free deflate-4041.com", "unchecked deflate-bomb1.com", "unchecked endless1.com",
                                     "free good1.com"};
        QTest::addRow("WHOIS that refuses in escapes") << "whois" << QStringList {"unchecked escape1.com"};
    }
    void hostileRegistry()
    {
        QFETCH(QString, protocol);
        QFETCH(QStringList, outcomes);
        TestFolders folders;
        TestWhoisServer server(
            {"--hostile", "--free-ratio", "1", "--rdap-port", "0", "--log", folders.file("queries.log")});
        QStringList names;
        for (const QString &outcome : std::as_const(outcomes))
            names << outcome.section(' ', 1);
        DataFile::rewrite(folders.file("list.txt"), names);
        // Short ticks, yet long enough that a loaded machine (a sanitizer build beside it) takes in a
        // megabyte of body within a lookup's 30 ticks. A registry that only refuses sends no such
        // body, and is given up sooner on shorter ticks.
        const bool refusesThroughout = names == QStringList {"escape1.com"};
        EnvironmentVariable tick("TAMARIND_TICK_MS", refusesThroughout ? "20" : "100");
        std::unique_ptr<QProcess> check(
            startCli({"check", "--server", server.address(), "--protocol", protocol, "--rdap-base", server.rdapBase(),
                         "--folder", folders.program(), folders.file("list.txt")},
                folders.config()));
        const qint64 checkPeakKb = peakUntilFinished(*check, 60000);
        QCOMPARE(check->state(), QProcess::NotRunning);
        QVERIFY2(checkPeakKb < PeakLimitKb, qPrintable(QString("%1 KB").arg(checkPeakKb)));
        const QByteArray err = check->readAllStandardError();
        QStringList printed = QString::fromUtf8(check->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QVERIFY2(!err.contains('\x1b') && !err.contains('\x07'), err.constData());
        if (refusesThroughout) {   // the run stops, and says what it got
            QVERIFY2(err.contains("\\x1B]0;owned\\x07\\x1B[2JSlow down"), err.constData());
            return;
        }
        printed.sort();
        outcomes.sort();
        QCOMPARE(printed, outcomes);
        // A reply past the cap would only come again: asked once, not once per refusal.
        QCOMPARE(fileEntries(folders.file("queries.log")).count("endless1.com"), names.count("endless1.com"));
        std::unique_ptr<QProcess> endless(startCli(
            {"whois", "--protocol", "rdap", "--rdap-base", server.rdapBase(), "endless1.com"}, folders.config()));
        const qint64 peakKb = peakUntilFinished(*endless, 30000);
        QCOMPARE(endless->state(), QProcess::NotRunning);
        QVERIFY(endless->readAllStandardOutput().size() <= Reply::Cap + 4096);
        QVERIFY2(peakKb < PeakLimitKb, qPrintable(QString("%1 KB").arg(peakKb)));
    }

    // A check over a list with names on their way out, printed in each format and read back. Faults
    // caught: a dropping name printed or filed as free, or without its state and release; a line of
    // JSON or CSV that does not parse, or lacks a key; a skipped line left out of the records; a
    // verdict told as coming from the wrong source.
    void recordsReadBack_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("protocol");
        QTest::addRow("text") << "text"
                              << "whois";
        QTest::addRow("jsonl") << "jsonl"
                               << "whois";
        QTest::addRow("csv") << "csv"
                             << "whois";
        QTest::addRow("jsonl, RDAP") << "jsonl"
                                     << "rdap";
    }
    void recordsReadBack()
    {
        QFETCH(QString, format);
        QFETCH(QString, protocol);
        TestFolders folders;
        QStringList words, registered, dropping;
        for (int i = 0; i < 60; ++i) {
            words << QString("w%1").arg(i);
            if (i % 5 == 1)
                dropping << QString("w%1.com %2").arg(i).arg(i % 2 ? "redemptionPeriod" : "pendingDelete");
            else if (i % 3 == 0)
                registered << QString("w%1.com").arg(i);
        }
        DataFile::rewrite(folders.file("list.txt"), words + QStringList {"not a name, \"quoted\""});
        DataFile::rewrite(folders.file("registered.txt"), registered);
        DataFile::rewrite(folders.file("dropping.txt"), dropping);
        TestWhoisServer server({"--registered", folders.file("registered.txt"), "--dropping",
            folders.file("dropping.txt"), "--dns-port", "0", "--rdap-port", "0"});
        const Outcome outcome = run({"check", "--server", server.address(), "--protocol", protocol, "--rdap-base",
            server.rdapBase(), "--dns-server", server.dnsAddress(), "--format", format, "--folder", folders.program(),
            folders.file("list.txt")});
        QVERIFY2(outcome.exitCode == 0, outcome.err.constData());

        // Every record as keys and values, whatever the format.
        QList<QHash<QString, QString>> records;
        QStringList lines = outcome.lines();
        if (format == "csv")
            QCOMPARE(lines.takeFirst(),
                QString("name,shown,entry,verdict,profile,by,status,expires,changed,release,premium,reason\r"));
        for (const QString &line : std::as_const(lines)) {
            QHash<QString, QString> record;
            if (format == "text") {
                const QStringList parts = line.split(' ');
                record["verdict"] = parts[0];
                record["name"] = parts[1];
                record["release"] = parts.value(3);
            } else if (format == "jsonl") {
                QJsonParseError error;
                const QJsonObject object = QJsonDocument::fromJson(line.toUtf8(), &error).object();
                QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(line));
                QCOMPARE(object.keys().size(), 12);
                QVERIFY(object["premium"].isBool());
                for (const QString &key : object.keys())
                    record[key] = object[key].isArray() ? QString::number(object[key].toArray().size())
                                                        : object[key].toVariant().toString();
            } else {
                // RFC 4180: quoted fields, doubled quotes.
                static const QRegularExpression field("(?:^|,)(?:\"((?:[^\"]|\"\")*)\"|([^,\r]*))");
                QStringList values;
                for (auto match = field.globalMatch(line); match.hasNext();) {
                    const QRegularExpressionMatch next = match.next();
                    values << (next.capturedStart(1) >= 0 ? next.captured(1).replace("\"\"", "\"") : next.captured(2));
                }
                QCOMPARE(values.size(), 12);
                const QStringList keys {"name", "shown", "entry", "verdict", "profile", "by", "status", "expires",
                    "changed", "release", "premium", "reason"};
                for (int i = 0; i < keys.size(); ++i)
                    record[keys[i]] = values[i];
            }
            records << record;
        }
        // The run's services close the records: the registry tested with a name DNS found
        // delegated, and DNS tested both ways (fault caught: a service record missing, or told
        // untested when its control passed).
        if (format != "text") {
            const auto registry = records.takeAt(records.size() - 2);
            QCOMPARE(registry["verdict"], QString("service"));
            QCOMPARE(registry["by"], protocol);
            QVERIFY2(registry["reason"].contains("controls: 1 passed, 0 failed."), qPrintable(registry["reason"]));
            const auto dns = records.takeLast();
            QCOMPARE(dns["by"], QString("dns"));
            QVERIFY2(dns["reason"].startsWith("DNS: used and tested"), qPrintable(dns["reason"]));
        }
        QCOMPARE(records.size(), words.size() + (format == "text" ? 0 : 1));
        for (const auto &record : std::as_const(records)) {
            const QString name = record["name"];
            const bool isDropping = !dropping.filter(QRegularExpression("^" + name + " ")).isEmpty() && !name.isEmpty();
            if (record["verdict"] == "skipped") {
                QCOMPARE(record["shown"], QString("not a name, \"quoted\""));
                QVERIFY(!record["reason"].isEmpty());
            } else if (isDropping) {
                QCOMPARE(record["verdict"], QString("registered"));
                const bool redemption = dropping.contains(name + " redemptionPeriod");
                QCOMPARE(record["release"], QString(redemption ? "2026-12-25" : "2026-12-06"));
                if (format != "text")
                    QCOMPARE(record["by"], protocol);
            } else if (format != "text") {
                QCOMPARE(record["verdict"], QString(registered.contains(name) ? "registered" : "free"));
                QCOMPARE(record["by"], registered.contains(name) ? QString("dns") : protocol);
                QCOMPARE(record["release"].isEmpty(), true);
                QCOMPARE(record["profile"].isEmpty(), registered.contains(name));
            }
        }
        QStringList filed = fileEntries(folders.file("Dropping.txt"));
        filed.sort();
        QCOMPARE(filed.size(), dropping.size());
        QVERIFY2(filed.first().startsWith("w1.com\tredemptionPeriod\t2026-12-25"), qPrintable(filed.first()));
        for (const QString &line : fileEntries(folders.file("SuperHighProfile.txt")))
            QVERIFY(dropping.filter(line + ' ').isEmpty());
    }

    // Watching a list whose names change state at the registry: each change is told at the check
    // that finds it, and once. Faults caught: a change told again at the next check (the states not
    // kept), a first check told as changes, a dropping name told as registered.
    void watchTellsEachChangeOnce()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"), {"alpha", "bravo", "charlie"});
        const auto watch = [&](const QStringList &registered, const QStringList &dropping) {
            DataFile::rewrite(folders.file("registered.txt"), registered);
            DataFile::rewrite(folders.file("dropping.txt"), dropping);
            TestWhoisServer server(
                {"--registered", folders.file("registered.txt"), "--dropping", folders.file("dropping.txt")});
            const Outcome outcome = run({"watch", "--server", server.address(), "--no-dns", "--folder",
                folders.program(), folders.file("list.txt")});
            QStringList told = outcome.exitCode == 0 ? outcome.lines() : QStringList {"exit " + QString(outcome.err)};
            told.sort();   // in the order the answers came
            return told;
        };
        QCOMPARE(watch({"alpha.com", "bravo.com"}, {}), QStringList());
        QCOMPARE(watch({"bravo.com", "charlie.com"}, {"alpha.com redemptionPeriod"}),
            (QStringList {"alpha.com: registered -> dropping (redemptionPeriod, release 2026-12-25)",
                "charlie.com: free -> registered"}));
        QCOMPARE(watch({"bravo.com", "charlie.com"}, {}), QStringList {"alpha.com: dropping -> free"});
        QCOMPARE(watch({"bravo.com", "charlie.com"}, {}), QStringList());
    }

    // A disk that fills while the states are written leaves the last states whole. Fault caught: the
    // file written in place, cut off where the disk filled.
    void statesSurviveAFullDisk()
    {
        TestFolders folders;
        NameWatch watch;
        for (int i = 0; i < 3000; ++i)
            watch.record(QString("name%1.com").arg(i), "registered");
        QVERIFY(watch.save());
        const qint64 size = QFileInfo(NameWatch::path()).size();
        watch.record("name0.com", "free");
        // The disk is full at half the file's size: a write past it fails (EFBIG), as on a full disk.
        rlimit limit {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit before = limit;
        limit.rlim_cur = rlim_t(size / 2);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        QString error;
        const bool saved = watch.save(&error);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!saved && !error.isEmpty());
        QCOMPARE(QFileInfo(NameWatch::path()).size(), size);
        NameWatch again;
        QVERIFY(again.load());
        QCOMPARE(again.droppedLines(), 0);
    }

    // The states file is read with care. Faults caught: a FIFO there hanging the watch for ever, a
    // link to /dev/zero read until memory runs out, a file of any size read whole, a line that is
    // no state ("stay.com: reg -> registered" told, random bytes kept and written back).
    void statesFileReadWithCare_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::addRow("FIFO") << "fifo" << 1 << "it is not a regular file (a FIFO, a device, or a link to one)";
        QTest::addRow("link to /dev/zero") << "zero" << 1 << "it is not a regular file";
        QTest::addRow("over 64 MB") << "large" << 1 << "it holds 67108865 bytes, more than the 64 MB";
        QTest::addRow("lines that are no states") << "lines" << 0 << "3 lines of ";
    }
    void statesFileReadWithCare()
    {
        QFETCH(QString, kind);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        TestFolders folders;
        DataFile::rewrite(folders.file("list.txt"), {"stay", "alpha"});
        const QString states = folders.file("NameStates.txt");
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(states).constData(), 0600), 0);
        else if (kind == "zero")
            QVERIFY(QFile::link("/dev/zero", states));
        else if (kind == "large")
            QVERIFY((writeBytes(states, {}), QFile(states).resize(NameWatch::MaxFileBytes + 1)));
        else
            writeBytes(states,
                "stay.com\treg\t2026-12-01\r\nalpha.com\tfree\t2026-12-01\r\n\x01\xff\xfe junk\r\n"
                "no name here\tfree\t2026-12-01\r\n");
        TestWhoisServer server({"--free-ratio", "1"});
        std::unique_ptr<QProcess> watch(startCli({"watch", "--server", server.address(), "--no-dns", "--folder",
                                                     folders.program(), folders.file("list.txt")},
            folders.config()));
        QVERIFY(watch->waitForFinished(20000));
        QCOMPARE(watch->exitCode(), exitCode);
        const QString err = QString::fromUtf8(watch->readAllStandardError());
        QVERIFY2(err.contains(said), qPrintable(err));
        if (kind == "lines") {
            // The good line is kept and compared (alpha.com was free, and is); the rest are gone.
            QVERIFY(watch->readAllStandardOutput().isEmpty());
            const QStringList kept = fileEntries(states);
            QCOMPARE(kept.size(), 2);
            QVERIFY(
                kept.constFirst().startsWith("alpha.com\tfree\t") && kept.constLast().startsWith("stay.com\tfree\t"));
        }
    }

    // A watch killed in the middle tells each change once: the states are journalled as they are
    // recorded, and watch --resume goes on where it stopped. Faults caught: the changes told before
    // a SIGKILL told again by the next watch; a resume hint naming check's position.
    void killedWatchTellsEachChangeOnce()
    {
        TestFolders folders;
        const QStringList names = numberedNames(300);
        QStringList before, after;
        for (int i = 0; i < names.size(); ++i) {
            if (i % 2 == 0)
                before << names[i] + ".com";
            if (i % 3 == 0)
                after << names[i] + ".com";
        }
        DataFile::rewrite(folders.file("list.txt"), names);
        const auto watchWith = [&](const QStringList &registered, const QStringList &extra) {
            DataFile::rewrite(folders.file("registered.txt"), registered);
            return QStringList {"watch", "--server", "", "--no-dns", "--folder", folders.program()} + extra
                + QStringList {folders.file("list.txt")};
        };
        {
            QStringList first = watchWith(before, {});
            TestWhoisServer server({"--registered", folders.file("registered.txt")});
            first[2] = server.address();
            const Outcome outcome = run(first);
            QVERIFY2(outcome.exitCode == 0, outcome.err.constData());
        }
        QStringList expected;   // free -> registered and registered -> free
        for (const QString &name : names) {
            if (before.contains(name + ".com") != after.contains(name + ".com"))
                expected << name + ".com";
        }
        // 100 names a second: the kill lands well inside the run. Short ticks: the pace learnt from
        // the server's refusals settles in tenths of a second, not seconds.
        EnvironmentVariable tick("TAMARIND_TICK_MS", "100");
        QStringList arguments = watchWith(after, {});
        TestWhoisServer server({"--registered", folders.file("registered.txt"), "--limit-per-s", "100"});
        arguments[2] = server.address();
        std::unique_ptr<QProcess> killed(startCli(arguments, folders.config()));
        QByteArray told;
        TRY_VERIFY_WITH_TIMEOUT((told += killed->readAllStandardOutput()).count('\n') >= 30, 20000);
        ::kill(pid_t(killed->processId()), SIGKILL);
        QVERIFY(killed->waitForFinished(10000));
        told += killed->readAllStandardOutput();
        // Another process, as a user's next watch is: it reads the settings the killed one wrote.
        arguments.insert(arguments.size() - 1, "--resume");
        std::unique_ptr<QProcess> next(startCli(arguments, folders.config()));
        QVERIFY(next->waitForFinished(30000));
        QCOMPARE(next->exitCode(), 0);
        Outcome resumed;
        resumed.out = next->readAllStandardOutput();
        resumed.err = next->readAllStandardError();
        QVERIFY2(
            resumed.err.contains("watch --resume") || resumed.err.contains("every entry"), resumed.err.constData());
        QStringList changed;
        for (const QString &line : QString::fromUtf8(told + resumed.out).split('\n', Qt::SkipEmptyParts))
            changed << line.section(':', 0, 0);
        QCOMPARE(changed.size(), QSet<QString>(changed.cbegin(), changed.cend()).size());   // none told twice
        changed.sort();
        QCOMPARE(changed, expected);
        QVERIFY2(!resumed.err.contains("check --resume"), resumed.err.constData());
        QVERIFY(!QFile::exists(folders.file("NameStates.journal")));   // folded into the states
    }

    // The answers real registries gave (tests/data/registries), replayed over loopback through a
    // whole check run; each verdict is what the registry meant. Faults caught: the .com registry's
    // empty RDAP 404 read as no verdict, or asked more than once; "No match for domain" read as an
    // answer about the name "domain"; a JSON 404 without an errorCode of its own (AFNIC's) or with
    // notices (CentralNic's) missed; a record of today's or the older format missed; the registry's
    // "database is down" taken for a verdict; a .lt name asked at the URL given for .com; a name in
    // redemption or pending delete printed without its state and release. Over WHOIS, the answers of
    // 19 other registries, each read by its own rules: a limit notice read as free (AFNIC's ends with
    // its "No entries found"), a name the registry reserves or blocks given a verdict, a name in
    // quarantine not listed as dropping, a reply in UTF-8 about a name outside ASCII missed, a
    // registry asked in another form than its own.
    void capturedRegistryAnswers_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addRow("WHOIS") << "whois";
        QTest::addRow("RDAP") << "rdap";
    }
    void capturedRegistryAnswers()
    {
        QFETCH(QString, protocol);
        const QString data = TAMARIND_TEST_DATA "/registries";
        QStringList expected, names, registered;
        QString skipped;
        for (const QString &line : QString::fromUtf8(readBytes(data + "/expected.txt")).split('\n')) {
            const QStringList words = line.split(' ', Qt::SkipEmptyParts);
            if (words.size() < 3 || words[0] != protocol)
                continue;
            names << words[2];
            if (words[1] == "skipped")
                skipped = words[2];
            else
                expected << words.mid(1).join(' ');
            if (words[1] == "registered")
                registered << words[2];
        }
        QVERIFY(names.size() >= 5);
        TestFolders folders;
        // No service of the shipped files is asked from a test: only the bases given here.
        writeBytes(folders.file(Rdap::BootstrapFileName), R"({"services":[]})");
        writeBytes(folders.file(Rdap::OverridesFileName), "# none\n");
        DataFile::rewrite(folders.file("registered.txt"), registered);
        DataFile::rewrite(folders.file("list.txt"), names);
        // DNS finds no name in the zone, so that every name goes to its registry.
        TestWhoisServer server({"--replay", data, "--rdap-port", "0", "--dns-port", "0", "--registered",
            folders.file("registered.txt"), "--held-ratio", "1", "--log", folders.file("queries.log")});
        QString bases = server.rdapBase();
        for (const char *ending : {"design", "fr", "cz"})
            bases += QString(" %1=%2").arg(ending, server.rdapBase());
        // A broken copy of the rules or the servers in the program folder is refused whole and told;
        // the shipped rules read the replies (fault caught: a broken copy leaving every registry
        // without rules, or taken in part).
        if (protocol == "whois") {
            writeBytes(folders.file(WhoisRulesFileName), "[whois.denic.de]\nendings = de\nfree = gone\nnonsense\n");
            writeBytes(folders.file(Whois::ServerOverridesFileName), "de\n");
        }
        // Every other ending's WHOIS server is the replaying one; its registry's rules read the replies.
        QString servers = server.address();
        for (const QString &name : std::as_const(names)) {
            if (!name.endsWith(".com"))
                servers += QString(" %1=%2").arg(name.section('.', -1), server.address());
        }
        EnvironmentVariable tick("TAMARIND_TICK_MS", "30");
        EnvironmentVariable today("TAMARIND_TODAY", "2022-01-20");
        const Outcome outcome = run({"check", "--protocol", protocol, "--server", servers, "--rdap-base", bases,
            "--dns-server", server.dnsAddress(), "--folder", folders.program(), folders.file("list.txt")});
        // A name without a verdict makes the check exit 1; a name skipped does not.
        const int exitCode = expected.filter(QRegularExpression("^unchecked ")).isEmpty() ? 0 : 1;
        QVERIFY2(outcome.exitCode == exitCode, outcome.err.constData());
        QStringList printed = outcome.lines();
        printed.sort();
        expected.sort();
        QCOMPARE(printed, expected);
        const QStringList asked = fileEntries(folders.file("queries.log"));
        if (protocol == "rdap")
            QCOMPARE(asked.count("jsiqpmcurt.com"), 1);   // the empty 404 is an answer, not a refusal
        else {   // each registry asked in the form it wants, and the files read told
            QVERIFY(asked.contains("-T dn,ace u34jedzcq.de") && asked.contains("u34jedzcq.jp/e"));
            const QString err = QString::fromUtf8(outcome.err);
            QVERIFY2(err.contains("whois-rules.txt cannot be used: line 4 is no rule of a registry: nonsense; the "
                                  "shipped rules are used)")
                    && err.contains(
                        QRegularExpression("WHOIS replies read by the rules of \\S*/data/whois/whois-rules.txt"))
                    && err.contains("WHOIS servers: " + folders.file(Whois::ServerOverridesFileName)
                        + " cannot be used: line 1 is not \"ENDING HOST[:PORT]\": de."),
                qPrintable(err));
        }
        if (!skipped.isEmpty()) {
            QVERIFY(!asked.contains(skipped));
            QVERIFY2(outcome.err.contains("1 name under .lt: no registry service is known for it."),
                outcome.err.constData());
        }
    }

    // A killed or interrupted check loses nothing: every printed verdict is a whole line and is in
    // its file, and --resume asks about every name that had no verdict.
    void interruptedCheckResumes_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addRow("SIGKILL") << int(SIGKILL);
        QTest::addRow("SIGINT") << int(SIGINT);
        QTest::addRow("SIGTERM") << int(SIGTERM);
    }
    void interruptedCheckResumes()
    {
        QFETCH(int, signal);
        TestFolders folders;
        const QStringList names = numberedNames(400);
        DataFile::rewrite(folders.file("list.txt"), names);
        TestWhoisServer server({"--free-ratio", "0.5", "--latency-ms", "20"});
        const QStringList common {"check", "--server", server.address(), "--folder", folders.program()};
        std::unique_ptr<QProcess> first(startCli(common + QStringList {folders.file("list.txt")}, folders.config()));
        QByteArray out;
        TRY_VERIFY_WITH_TIMEOUT((out += first->readAllStandardOutput()).count('\n') >= 100, 20000);
        ::kill(pid_t(first->processId()), signal);
        QVERIFY(first->waitForFinished(10000));
        out += first->readAllStandardOutput();
        const QByteArray err = first->readAllStandardError();
        QVERIFY(out.endsWith('\n'));
        if (signal != SIGKILL) {
            QCOMPARE(first->exitCode(), 1);
            QVERIFY2(err.contains("resume from entry"), err.constData());
        }
        const QStringList printed = QString::fromLatin1(out).split('\n', Qt::SkipEmptyParts);
        QStringList free = printed.filter(QRegularExpression("^free ")).replaceInStrings("free ", "");
        const QStringList inFiles = fileEntries(folders.file("LowProfile.txt"));
        for (const QString &name : std::as_const(free))
            QVERIFY2(inFiles.contains(name), qPrintable(name));

        std::unique_ptr<QProcess> second(
            startCli(common + QStringList {"--resume", folders.file("list.txt")}, folders.config()));
        QVERIFY(second->waitForFinished(30000));
        QCOMPARE(second->exitCode(), 0);
        QStringList all =
            printed + QString::fromLatin1(second->readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        for (const QString &name : names)
            QVERIFY2(!all.filter(" " + name + ".com").isEmpty(), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
