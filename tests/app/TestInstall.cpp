#include "TestSupport.h"
#include "app/DataFile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Ran {
    int exitCode = -1;
    QByteArray out;
};

Ran runProgram(const QString &program, const QStringList &arguments, const QProcessEnvironment &environment = {})
{
    QProcess process;
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Ran ran;
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit)
        ran.exitCode = process.exitCode();
    ran.out = process.readAllStandardOutput() + process.readAllStandardError();
    return ran;
}

}   // namespace

// The installed program: `cmake --install` into a temporary prefix, its layout, its desktop entry
// and metadata, and where the installed programs keep their files.
class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        const Ran install = runProgram(TAMARIND_CMAKE, {"--install", TAMARIND_BUILD_DIR, "--prefix", m_prefix.path()});
        QVERIFY2(install.exitCode == 0, install.out.constData());
    }

    // Fault caught: a file of the installed program missing or in the wrong place.
    void layout_data()
    {
        QTest::addColumn<QString>("file");
        const QString id = "example.tamarind_domains.Tamarind";
        for (const QString &file : QStringList {"bin/tamarind", "bin/tamarind-cli", "share/tamarind/Help.rtf",
                 "share/tamarind/Appends.txt", "share/tamarind/wordlists/AllFourLetter.txt",
                 "share/applications/" + id + ".desktop", "share/metainfo/" + id + ".metainfo.xml",
                 "share/icons/hicolor/scalable/apps/" + id + ".svg", "share/icons/hicolor/48x48/apps/" + id + ".png",
                 "share/icons/hicolor/128x128/apps/" + id + ".png", "share/icons/hicolor/256x256/apps/" + id + ".png",
                 "share/man/man1/tamarind-cli.1.gz", "share/doc/tamarind/copyright"})
            QTest::addRow("%s", qPrintable(file)) << file;
    }
    void layout()
    {
        QFETCH(QString, file);
        QVERIFY(QFileInfo(m_prefix.filePath(file)).size() > 0);
    }

    void desktopFilesValidate_data()
    {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QStringList>("arguments");
        const QString id = "example.tamarind_domains.Tamarind";
        QTest::addRow("desktop entry") << "desktop-file-validate"
                                       << QStringList {m_prefix.filePath("share/applications/" + id + ".desktop")};
        QTest::addRow("AppStream") << "appstreamcli"
                                   << QStringList {"validate", "--no-net",
                                          m_prefix.filePath("share/metainfo/" + id + ".metainfo.xml")};
    }
    void desktopFilesValidate()
    {
        QFETCH(QString, tool);
        QFETCH(QStringList, arguments);
        const QString found = QStandardPaths::findExecutable(tool);
        if (found.isEmpty())
            QSKIP(qPrintable(tool + " is not installed"));
        const Ran ran = runProgram(found, arguments);
        QVERIFY2(ran.exitCode == 0, ran.out.constData());
    }

    // Fault caught: an installed program writing its results beside its executable (in /usr/bin)
    // instead of the user's data folder, or starting without its word lists.
    void installedProgramsUseTheUsersFolder()
    {
        QTemporaryDir home;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("TAMARIND_PROGRAM_FOLDER");
        environment.insert("XDG_DATA_HOME", home.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        const QString folder = home.filePath("data/Tamarind");

        const Ran version = runProgram(m_prefix.filePath("bin/tamarind-cli"), {"--version"}, environment);
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(version.out.contains("program folder: " + folder.toUtf8()), version.out.constData());

        TestWhoisServer server({"--free-ratio", "1"});
        DataFile::rewrite(home.filePath("list.txt"), {"abc", "abcdefghijklmnopq"});
        const Ran check = runProgram(m_prefix.filePath("bin/tamarind-cli"),
            {"check", "--protocol", "whois", "--server", server.address(), home.filePath("list.txt")}, environment);
        QVERIFY2(check.exitCode == 0, check.out.constData());
        QCOMPARE(fileEntries(folder + "/SuperHighProfile.txt"), QStringList {"abc.com"});
        QCOMPARE(fileEntries(folder + "/LowProfile.txt"), QStringList {"abcdefghijklmnopq.com"});
        QVERIFY(QFileInfo(folder + "/wordlists/AllFourLetter.txt").size() > 0);
        QCOMPARE(readBytes(folder + "/Appends.txt"), readBytes(m_prefix.filePath("share/tamarind/Appends.txt")));
        QVERIFY(QDir(m_prefix.filePath("bin")).entryList(QDir::Files).size() == 2);   // nothing written there

        // The desktop program starts from the installed path, and finds its help there.
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("TAMARIND_EXIT_WHEN_SHOWN", "1");
        environment.insert("QTWEBENGINE_DISABLE_SANDBOX", "1");
        const Ran desktop = runProgram(m_prefix.filePath("bin/tamarind"), {}, environment);
        QVERIFY2(desktop.exitCode == 0 && desktop.out.contains("main window shown"), desktop.out.constData());
        QVERIFY(QFileInfo(folder + "/Help.rtf").size() > 0);
    }

    // Faults caught: the desktop program's command line taking more than a LIST, --start without a
    // list, or --version needing a display.
    void desktopCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addRow("help") << QStringList {"--help"} << 0 << "Usage: tamarind [options] [LIST]";
        QTest::addRow("version") << QStringList {"--version"} << 0 << "program folder: ";
        QTest::addRow("start without a list") << QStringList {"--start"} << 2 << "--start needs a LIST";
        QTest::addRow("two lists") << QStringList {"a.txt", "b.txt"} << 2 << "at most one LIST";
        QTest::addRow("unknown option") << QStringList {"--fly"} << 2 << "Unknown option";
    }
    void desktopCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_QPA_PLATFORM");
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        const Ran ran = runProgram(builtProgram("tamarind"), arguments, environment);
        QCOMPARE(ran.exitCode, exitCode);
        QVERIFY2(ran.out.contains(output.toUtf8()), ran.out.constData());
    }

private:
    QTemporaryDir m_prefix;
};

QTEST_GUILESS_MAIN(TestInstall)
#include "TestInstall.moc"
