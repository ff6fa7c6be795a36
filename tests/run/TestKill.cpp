// Runs killed with SIGKILL lose nothing: tamarind-cli killed at 20 moments of a 20,000-name check,
// and the main window killed once during a run.
#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "app/DataFile.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTest>
#include <QToolButton>

namespace {

constexpr int Total = 20000;
constexpr int Kills = 20;

// Names of every profile: 4 letters (high), 6 (mid) and 14 (low).
QStringList numberedNames()
{
    QStringList names;
    for (int i = 0; i < Total; ++i) {
        const QString n = QString::number(i, 36).rightJustified(4, '0');
        names << (i % 3 == 0 ? n : i % 3 == 1 ? "mi" + n : "lowprofile" + n);
    }
    return names;
}

// The result files of the folder and its backups: each is whole lines of names and nothing else.
QSet<QString> profileNames(const QString &folder)
{
    static const QRegularExpression name(QStringLiteral("^[0-9a-z]+\\.(com|io)$"));
    QSet<QString> names;
    QDirIterator files(folder, {"*Profile*.txt", "Unchecked*.txt"}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QByteArray bytes = readBytes(path);
        if (!bytes.isEmpty() && !bytes.endsWith("\r\n"))
            qFatal("%s ends in half a line", qPrintable(path));
        for (const QString &entry : DataFile::EntryIndex(bytes).all()) {
            if (!name.match(entry).hasMatch())
                qFatal("%s holds \"%s\"", qPrintable(path), qPrintable(entry));
            if (!path.contains("Unchecked"))
                names.insert(entry);
        }
    }
    return names;
}

struct Printed {
    QSet<QString> free, registered;
    int lines = 0;   // with the names asked again after a kill
};

// One check run, killed once it has printed `killAfter` verdicts (0: left to finish). Returns its
// exit code, or -1 when it was killed.
int runCheck(const QStringList &arguments, int killAfter, Printed &printed)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(builtProgram("tamarind-cli"), arguments);
    if (!process.waitForStarted(10000))
        return -2;
    int seen = 0;
    while (process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(100);
        while (process.canReadLine()) {
            const QString line = QString::fromUtf8(process.readLine()).trimmed();
            const QString name = line.section(' ', 1, 1);
            if (line.startsWith("free "))
                printed.free.insert(name);
            else if (line.startsWith("registered "))
                printed.registered.insert(name);
            ++seen;
            ++printed.lines;
        }
        if (killAfter > 0 && seen >= killAfter) {
            process.kill();
            process.waitForFinished(10000);
            return -1;
        }
    }
    process.waitForFinished(10000);
    return process.exitCode();
}

// What a user's choice in the source list sends.
void chooseCustomList(Form1 &window, const QString &list)
{
    window.chooseCustomList = [list] { return list; };
    choose(window, int(Source::CustomList));
}

// The child process of the window test: a main window that starts a run of the list and goes on
// until it is killed.
int runWindowUntilKilled(int argc, char **argv)
{
    QApplication app(argc, argv);
    Form1 window;
    window.show();
    chooseCustomList(window, qEnvironmentVariable("TAMARIND_KILL_TEST_LIST"));
    control<QToolButton>(window, "cmdDoSearch")->click();
    return app.exec();
}

}   // namespace

class TestKill : public QObject
{
    Q_OBJECT

private slots:
    // With DNS first, names wait in two stages, and a kill loses none of either. (The position's exact
    // place among them is TestDnsFirst's; here a kill comes at any moment of a whole run.)
    void cliKilledTwentyTimes_data()
    {
        QTest::addColumn<bool>("dnsFirst");
        QTest::addColumn<QStringList>("endings");
        QTest::addRow("registry only") << false << QStringList {"com"};
        QTest::addRow("DNS first") << true << QStringList {"com"};
        // Two pools at once, each at its own pace: the position is the earliest name either holds.
        QTest::addRow("DNS first, .com and .io") << true << QStringList {"com", "io"};
    }
    void cliKilledTwentyTimes()
    {
        QFETCH(bool, dnsFirst);
        QFETCH(QStringList, endings);
        TestFolders folders;
        const QStringList names = numberedNames();
        // With DNS first most names are registered, so that DNS, not the registry, holds the open
        // names most of the time.
        QStringList registered;
        for (int i = 0; i < Total; ++i) {
            if ((i % 7 == 0) != dnsFirst)
                registered << names[i] + ".com";
            if (endings.contains("io") && i % 3 != 0)
                registered << names[i] + ".io";
        }
        DataFile::rewrite(folders.file("list.txt"), names);
        DataFile::rewrite(folders.file("registered.txt"), registered);
        // A few registered names are missing from the zone: only the registry knows them.
        TestWhoisServer server({"--registered", folders.file("registered.txt"), "--dns-port", "0", "--held-ratio",
            "0.1", "--rdap-port", "0"});
        QVERIFY(server.isRunning());
        EnvironmentVariable bases("TAMARIND_RDAP_BASE", ("io=" + server.rdapBase()).toLatin1());
        const QString results = folders.file("results");
        const QStringList dns = dnsFirst ? QStringList {"--dns-server", server.dnsAddress()} : QStringList {"--no-dns"};
        const QStringList common =
            QStringList {"check", "--server", server.address(), "--folder", results, "--endings", endings.join(',')}
            + dns;
        const int total = Total * int(endings.size());

        // A kill comes once a run has printed its share of the verdicts. The lines read past that
        // share add up over the kills; on a loaded machine they may leave a last run too few names
        // to be killed in, and it ends as an unkilled run would.
        Printed printed;
        int kills = 0;
        int lastExit = -1;
        while (kills < Kills && lastExit == -1) {
            const QStringList where = kills == 0 ? QStringList() : QStringList {"--resume"};
            lastExit = runCheck(common + where + QStringList {folders.file("list.txt")}, total / (Kills + 1), printed);
            QVERIFY2(lastExit == -1 || lastExit == 0, qPrintable(QString::number(lastExit)));
            kills += int(lastExit == -1);
            const QSet<QString> saved = profileNames(results);
            for (const QString &name : std::as_const(printed.free))
                QVERIFY2(saved.contains(name),
                    qPrintable(QString("kill %1: %2 was printed, not saved").arg(kills).arg(name)));
            for (const QString &name : std::as_const(printed.registered))
                QVERIFY2(!saved.contains(name), qPrintable(name));
        }
        QVERIFY2(kills >= Kills / 2, qPrintable(QString::number(kills)));
        if (lastExit == -1)
            QCOMPARE(runCheck(common + QStringList {"--resume", folders.file("list.txt")}, 0, printed), 0);

        // Every name got its verdict in some run, and every free one is in a profile file.
        QCOMPARE(printed.free.size() + printed.registered.size(), total);
        QCOMPARE(printed.registered.size(), registered.size());
        QCOMPARE(profileNames(results), printed.free);
        qInfo("%d kills, %d verdict lines for %d names", kills, printed.lines, total);
    }

    void windowKilledDuringARun()
    {
        TestFolders folders;
        const QStringList names = numberedNames().mid(0, 3000);
        DataFile::rewrite(folders.file("list.txt"), names);
        // The server answers the first 1,200 queries, then holds every reply until the hold file is
        // gone: the run cannot pass entry 1,201 before the kill, however fast or slow the machine.
        constexpr int Answered = 1200;
        const QString holdFile = folders.file("hold");
        TestWhoisServer server(QStringList {"--free-ratio", "1"} + holdingReplies(Answered, holdFile));
        QVERIFY(server.isRunning());

        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TAMARIND_KILL_TEST_LIST", folders.file("list.txt"));
        environment.insert("TAMARIND_PROGRAM_FOLDER", folders.program());
        environment.insert("XDG_CONFIG_HOME", folders.config());
        environment.insert("TAMARIND_WHOIS_SERVER", server.address().toLatin1());
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted(10000));
        // Every third name is a low-profile one: 400 of the names answered.
        TRY_VERIFY_WITH_TIMEOUT(fileEntries(folders.file("LowProfile.txt")).size() == Answered / 3, 60000);
        // The position is written every half second: the kill comes once the last answered name's is.
        const QString runSettings = folders.config() + "/Tamarind/Quillon.ini";
        const auto kept = [&runSettings] {
            return QSettings(runSettings, QSettings::IniFormat).value("Settings/CustWordNum").toLongLong();
        };
        TRY_COMPARE_WITH_TIMEOUT(kept(), qint64(Answered + 1), 20000);
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        QVERIFY(QFile::remove(holdFile));
        // The position kept is the first name without an answer.
        QCOMPARE(kept(), qint64(Answered + 1));
        const QSet<QString> before = profileNames(folders.program());
        QVERIFY(before.size() >= 300);

        // Started again at the position the killed run saved; what it wrote waits in backups/.
        Form1 window;
        window.session().setServer(Whois::Server::parse(server.address()));
        window.session().pool().setTickInterval(100);
        chooseCustomList(window, folders.file("list.txt"));
        QVERIFY(ResumeStore::savedPosition(Source::CustomList) > 1);
        control<QLineEdit>(window, "txtWordNum")
            ->setText(QString::number(ResumeStore::savedPosition(Source::CustomList)));
        control<QToolButton>(window, "cmdDoSearch")->click();
        TRY_VERIFY_WITH_TIMEOUT(control<QToolButton>(window, "cmdDoSearch")->isEnabled(), 60000);
        QCOMPARE(messageTexts(window), QStringList());
        QSet<QString> backedUp;
        for (const QString &file : QDir(folders.file("backups")).entryList({"*Profile*.txt"}, QDir::Files))
            for (const QString &name : fileEntries(folders.file("backups/" + file)))
                backedUp.insert(name);
        QCOMPARE(backedUp, before);
        QSet<QString> all;
        for (const QString &name : names)
            all.insert(name + ".com");
        QCOMPARE(profileNames(folders.program()), all);
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("TAMARIND_KILL_TEST_LIST"))
        return runWindowUntilKilled(argc, argv);
    QApplication app(argc, argv);
    TestKill test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestKill.moc"
