#include "TestSupport.h"
#include "app/DataFile.h"
#include "app/ProgramFolder.h"
#include "app/RunStamp.h"
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "app/Startup.h"

#include <QDir>
#include <QTest>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void firstRunMakesFilesAndFolders()
    {
        TestFolders folders;
        QVERIFY(Startup::ensureWorkingFiles().isEmpty());
        QVERIFY(Startup::ensureWorkingFolders().isEmpty());
        for (const char *name : {"BrowserSearch.txt", "Appends.txt", "CreatedDomains.txt", "Remembered.txt"})
            QCOMPARE(readBytes(folders.file(name)), QByteArray("\r\n"));
        for (const char *name : {"backups", "overflow", "wordlists", "searches"})
            QVERIFY2(QFileInfo(folders.file(name)).isDir(), name);
        QVERIFY(!QFileInfo::exists(folders.file("CustomLists")));
    }

    void existingFilesAndFoldersAreKept()
    {
        TestFolders folders;
        writeBytes(folders.file("Remembered.txt"), "keep.com\r\n");
        writeBytes(folders.file("APPENDS.TXT"), "pre\r\n");
        QDir(folders.program()).mkdir("Backups");
        QVERIFY(Startup::ensureWorkingFiles().isEmpty());
        QVERIFY(Startup::ensureWorkingFolders().isEmpty());
        QCOMPARE(readBytes(folders.file("Remembered.txt")), QByteArray("keep.com\r\n"));
        QCOMPARE(readBytes(folders.file("APPENDS.TXT")), QByteArray("pre\r\n"));
        QVERIFY(!QFileInfo::exists(folders.file("Appends.txt")));
        QVERIFY(!QFileInfo::exists(folders.file("backups")));
    }

    void unwritableFolderGoesOnStepByStep()
    {
        TestFolders folders;
        writeBytes(folders.file("plain-file"), "x");
        ProgramFolder::setPath(folders.file("plain-file"));   // a folder that cannot hold anything
        QCOMPARE(Startup::ensureWorkingFiles().size(), 4);
        QCOMPARE(Startup::ensureWorkingFolders().size(), 4);
    }

    void resolveMatchesCaseInsensitively_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<QString>("expected");
        QTest::addRow("existing folder, other case") << "\\Backups\\LowProfile.txt"
                                                     << "/backups/LowProfile.txt";
        QTest::addRow("existing file, other case") << "\\Wordlists\\fullwordlist.TXT"
                                                   << "/wordlists/FullWordList.txt";
        QTest::addRow("missing folder takes its own spelling") << "\\OverFlow\\HighProfile.txt"
                                                               << "/overflow/HighProfile.txt";
        QTest::addRow("custom lists") << "\\customlists"
                                      << "/CustomLists";
        QTest::addRow("forward slash") << "/LowProfile.txt"
                                       << "/LowProfile.txt";
        QTest::addRow("unknown folder as written") << "\\Other\\x.txt"
                                                   << "/Other/x.txt";
    }
    void resolveMatchesCaseInsensitively()
    {
        QFETCH(QString, relative);
        QFETCH(QString, expected);
        TestFolders folders;
        QDir(folders.program()).mkpath("backups");
        QDir(folders.program()).mkpath("wordlists");
        writeBytes(folders.file("wordlists/FullWordList.txt"), "a\r\n");
        QCOMPARE(ProgramFolder::resolve(relative), folders.program() + expected);
    }

    void programFolderFromEnvironment()
    {
        ProgramFolder::setPath(QString());
        {
            EnvironmentVariable folder("TAMARIND_PROGRAM_FOLDER", "/tmp/some-folder/");
            QCOMPARE(ProgramFolder::path(), QString("/tmp/some-folder"));
        }
        QCOMPARE(ProgramFolder::path(), QCoreApplication::applicationDirPath());
    }

    void typedSettings()
    {
        TestFolders folders;
        QCOMPARE(Settings::FullWordNum.get(), 1);
        QCOMPARE(Settings::ShowHelp.get(), QString("1"));
        Settings::WordNumber.set(4711);
        Settings::ShowHelp.set("0");
        const auto cliPosition = Settings::cliPosition("/lists/my list.txt");
        cliPosition.set(12);
        SettingsStore::reset();   // read back from disk
        QCOMPARE(Settings::WordNumber.get(), 4711);
        QCOMPARE(Settings::ShowHelp.get(), QString("0"));
        QCOMPARE(Settings::cliPosition("/lists/my list.txt").get(), 12);
        QCOMPARE(Settings::cliPosition("/lists/other.txt").get(), 1);
        QCOMPARE(SettingsStore::get("Tamarind", "Settings", "showHelp"), QString("0"));
        QVERIFY(readBytes(folders.config() + "/Tamarind/Quillon.ini").contains("wordNumber=4711"));
        QVERIFY(QFileInfo::exists(folders.config() + "/Tamarind/Tamarind.ini"));
        // A value that is not a number reads as the default.
        SettingsStore::save("Quillon", "Settings", "wordNumber", "junk");
        QCOMPARE(Settings::WordNumber.get(), 0);
        // A variable holds over the stored value, and messages say where a value came from.
        Settings::WhoisServer.set("stored.test");
        QCOMPARE(Settings::WhoisServer.get(), QString("stored.test"));
        QVERIFY(Settings::WhoisServer.origin().contains("WhoisServer"));
        EnvironmentVariable server("TAMARIND_WHOIS_SERVER", "env.test:44");
        QCOMPARE(Settings::WhoisServer.get(), QString("env.test:44"));
        QCOMPARE(Settings::WhoisServer.origin(), QString("the variable TAMARIND_WHOIS_SERVER"));
    }

    void runStamp_data()
    {
        QTest::addColumn<QDateTime>("when");
        QTest::addColumn<QString>("expected");
        QTest::addRow("evening") << QDateTime(QDate(2026, 12, 6), QTime(22, 50, 42)) << "1262026105042PM";
        QTest::addRow("morning") << QDateTime(QDate(2027, 1, 2), QTime(9, 5, 7)) << "12202790507AM";
    }
    void runStamp()
    {
        QFETCH(QDateTime, when);
        QFETCH(QString, expected);
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QCOMPARE(makeRunStamp(when, english), expected);
        QCOMPARE(generalDateTimeText(QDateTime(QDate(2026, 12, 6), QTime(22, 50, 42)), english)
                     .remove(QChar(0x202f))
                     .remove(' '),
            QString("12/6/202610:50:42PM"));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "TestStartup.moc"
