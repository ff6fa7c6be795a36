#include "TestSupport.h"
#include "app/Helpers.h"

#include <QDir>
#include <QTest>

class TestHelpers : public QObject
{
    Q_OBJECT

private slots:
    void fileNameOf_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::addRow("backslashes") << "a\\b\\c.txt"
                                     << "c.txt";
        QTest::addRow("bare name") << "c.txt"
                                   << "c.txt";
        QTest::addRow("trailing backslash") << "a\\b\\"
                                            << "";
        QTest::addRow("slashes") << "/a/b/c.txt"
                                 << "c.txt";
        QTest::addRow("mixed") << "a/b\\c.txt"
                               << "c.txt";
        QTest::addRow("empty") << ""
                               << "";
    }
    void fileNameOf()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(Helpers::FileNameOf(path), expected);
    }

    void fileExists_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("expected");
        QTest::addRow("same case") << "/Data.txt" << true;
        QTest::addRow("other case") << "/DATA.TXT" << true;
        QTest::addRow("backslash") << "\\data.txt" << true;
        QTest::addRow("folder in other case") << "/SUB/inner.txt" << true;
        QTest::addRow("wildcard") << "/*.txt" << false;
        QTest::addRow("question mark") << "/Dat?.txt" << false;
        QTest::addRow("missing") << "/nothing.txt" << false;
        QTest::addRow("folder") << "/sub" << false;
        QTest::addRow("folder with separator") << "/sub/" << false;
        QTest::addRow("hidden file") << "/.hidden" << false;
    }
    void fileExists()
    {
        QFETCH(QString, relative);
        QFETCH(bool, expected);
        TestFolders folders;
        writeBytes(folders.file("Data.txt"), "x");
        writeBytes(folders.file(".hidden"), "x");
        QDir(folders.program()).mkdir("sub");
        writeBytes(folders.file("sub/inner.txt"), "x");
        QCOMPARE(Helpers::FileExists(folders.program() + relative), expected);
    }

    void dirExists_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("expected");
        QTest::addRow("empty folder") << "/empty" << true;
        QTest::addRow("trailing slash") << "/empty/" << true;
        QTest::addRow("trailing backslash") << "\\empty\\" << true;
        QTest::addRow("other case") << "/EMPTY" << true;
        QTest::addRow("file") << "/file.txt" << false;
        QTest::addRow("missing") << "/missing" << false;
    }
    void dirExists()
    {
        QFETCH(QString, relative);
        QFETCH(bool, expected);
        TestFolders folders;
        QDir(folders.program()).mkdir("empty");
        writeBytes(folders.file("file.txt"), "x");
        QCOMPARE(Helpers::DirExists(folders.program() + relative), expected);
        QVERIFY(!Helpers::DirExists(QString()));
    }

    void copyFile()
    {
        TestFolders folders;
        writeBytes(folders.file("source.txt"), "new\r\n");
        writeBytes(folders.file("target.txt"), "old\r\n");
        Helpers::CopyFile(folders.file("missing.txt"), folders.file("target.txt"));
        QCOMPARE(readBytes(folders.file("target.txt")), QByteArray("old\r\n"));
        Helpers::CopyFile(folders.file("source.txt"), folders.file("target.txt"));
        QCOMPARE(readBytes(folders.file("target.txt")), QByteArray("new\r\n"));
        Helpers::CopyFile(folders.file("source.txt"), folders.file("no-such-folder/target.txt"));
        QVERIFY(!QFile::exists(folders.file("no-such-folder")));
        Helpers::CopyFile(folders.file("source.txt"), QString());   // returns quietly
    }
};

QTEST_GUILESS_MAIN(TestHelpers)
#include "TestHelpers.moc"
