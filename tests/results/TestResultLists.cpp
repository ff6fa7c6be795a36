#include "TestSupport.h"
#include "app/DataFile.h"
#include "results/ResultLists.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace {

void verifyProfileFiles(const ResultLists &results)
{
    for (ResultList list : {ResultList::Low, ResultList::Mid, ResultList::High})
        QCOMPARE(fileEntries(results.profilePath(list)), results.items(list));
}

}   // namespace

class TestResultLists : public QObject
{
    Q_OBJECT

private slots:
    void classification_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("list");
        QTest::addRow("four letters") << "abcd.com" << int(ResultList::High);
        QTest::addRow("five letters") << "abcde.com" << int(ResultList::Mid);
        QTest::addRow("seven, .net") << "abcdefg.net" << int(ResultList::Mid);
        QTest::addRow("eight letters") << "abcdefgh.com" << int(ResultList::Low);
        QTest::addRow("first label only") << "a.b.com" << int(ResultList::High);
        QTest::addRow("one letter") << "x.com" << int(ResultList::High);
        QTest::addRow("no dot") << "abcdefghij" << int(ResultList::Low);
        QTest::addRow("empty label") << ".org" << int(ResultList::High);
    }
    void classification()
    {
        QFETCH(QString, name);
        QFETCH(int, list);
        TestFolders folders;
        ResultLists results;
        results.AddUnregistered(name);
        QCOMPARE(results.items(ResultList(list)), QStringList {name});
        QCOMPARE(results.caption(ResultList(list)), plainCaption(ResultList(list)) + " (1)");
        verifyProfileFiles(results);
    }

    void bareEndingsAreIgnored()
    {
        TestFolders folders;
        ResultLists results;
        QSignalSpy added(&results, &ResultLists::itemsAdded);
        for (const char *name : {".com", ".net"}) {
            results.AddUnregistered(name);
            results.AddRegistered(name);
        }
        QCOMPARE(added.count(), 0);
        QCOMPARE(results.counter(ResultList::High), 0);
        results.AddUnregistered(".COM");   // only the exact texts are ignored
        QCOMPARE(results.items(ResultList::High), QStringList {".COM"});
    }

    void registeredListIsCapped()
    {
        TestFolders folders;
        ResultLists results;
        for (int i = 0; i < 101; ++i)
            results.AddRegistered(QString("r%1.com").arg(i));
        QCOMPARE(results.items(ResultList::Registered).size(), 101);
        results.AddRegistered("last.com");
        QCOMPARE(results.items(ResultList::Registered), QStringList {"last.com"});
        QCOMPARE(results.caption(ResultList::Registered), QString("Registered (102 · last 1)"));
        QVERIFY(!results.applyCap());
    }

    void counterRestartsButListsStay()
    {
        TestFolders folders;
        ResultLists results;
        results.AddUnregistered("abc.com");
        results.AddUnregistered("abd.com");
        results.resetCounters();
        results.AddUnregistered("abe.com");
        // The caption says what it counts where the list holds more (fault caught: "(1)" above 3 names).
        QCOMPARE(results.caption(ResultList::High), QString("High Profile (1 new · 3)"));
        QCOMPARE(results.items(ResultList::High).size(), 3);
    }

    void filesFollowTheListsThroughClears()
    {
        TestFolders folders;
        ResultLists results;
        for (const char *name : {"abc.com", "abcdef.com", "abcdefghi.com", "xyz.net"})
            results.AddUnregistered(name);
        verifyProfileFiles(results);
        results.clear(ResultList::High, true);
        QCOMPARE(results.caption(ResultList::High), QString("High Profile"));
        results.clear(ResultList::Mid, false);
        QCOMPARE(results.caption(ResultList::Mid), QString("Mid Profile (1 new · 0)"));   // not stale
        results.AddUnregistered("abcdefgh.com");
        verifyProfileFiles(results);
        QCOMPARE(readBytes(results.profilePath(ResultList::High)), QByteArray());
        QCOMPARE(QFileInfo(results.profilePath(ResultList::Mid)).fileName(), QString("HighProfile.txt"));
        QCOMPARE(QFileInfo(results.profilePath(ResultList::High)).fileName(), QString("SuperHighProfile.txt"));
        // A file changed behind the program's back is rewritten, not appended to.
        writeBytes(results.profilePath(ResultList::Low), "stray\r\n");
        results.AddUnregistered("abcdefghij.com");
        verifyProfileFiles(results);
        // Deleted or emptied by someone else: every file is back after the next free name of any list.
        QFile::remove(results.profilePath(ResultList::Low));
        writeBytes(results.profilePath(ResultList::Mid), "");
        results.AddUnregistered("abd.com");
        verifyProfileFiles(results);
    }

    // Fault caught: a cleared list's file rewritten from the empty list by the next free name, so that
    // every name it held is lost.
    void clearedListsFileIsKept()
    {
        TestFolders folders;
        ResultLists results;
        for (const char *name : {"abc.com", "abd.com", "abcdef.com"})
            results.AddUnregistered(name);
        const QString high = results.profilePath(ResultList::High);
        QSignalSpy kept(&results, &ResultLists::clearedFileKept);
        results.clear(ResultList::High, true);
        QCOMPARE(fileEntries(high), (QStringList {"abc.com", "abd.com"}));   // a Clear writes nothing
        results.AddUnregistered("xyz.com");
        results.AddUnregistered("xyw.com");
        verifyProfileFiles(results);
        QCOMPARE(kept.size(), 1);   // said once
        const QStringList backups = QDir(folders.file("backups")).entryList(QDir::Files);
        QCOMPARE(backups.size(), 1);
        QVERIFY(backups[0].startsWith("SuperHighProfile"));
        QCOMPARE(fileEntries(folders.file("backups/" + backups[0])), (QStringList {"abc.com", "abd.com"}));
        QVERIFY2(kept[0][0].toString().contains(backups[0]), qPrintable(kept[0][0].toString()));
    }

    void earlierRunFilesAreMovedToBackups()
    {
        TestFolders folders;
        QDir(folders.program()).mkdir("backups");
        writeBytes(folders.file("LowProfile.txt"), "earlier-run.com\r\n");
        writeBytes(folders.file("SuperHighProfile.txt"), "");
        ResultLists results;
        results.AddUnregistered("abc.com");
        verifyProfileFiles(results);
        const QStringList backups = QDir(folders.file("backups")).entryList(QDir::Files);
        QCOMPARE(backups.size(), 1);
        QVERIFY(backups[0].startsWith("LowProfile"));
        QCOMPARE(readBytes(folders.file("backups/" + backups[0])), QByteArray("earlier-run.com\r\n"));
    }

    // Fault caught: a free name shown in its list (and so counted as done) while its file does not
    // hold it.
    void unsavedNameIsNotListed()
    {
        TestFolders folders;
        ResultLists results;
        QSignalSpy problems(&results, &ResultLists::fileProblem);
        QSignalSpy added(&results, &ResultLists::itemsAdded);
        QVERIFY(results.AddUnregistered("abc.com"));
        // A folder where the High Profile file should be: no write to it can succeed.
        QFile::remove(folders.file("SuperHighProfile.txt"));
        QDir(folders.program()).mkdir("SuperHighProfile.txt");
        QVERIFY(!results.AddUnregistered("abd.com"));
        QVERIFY(!results.AddUnregistered("abe.com"));
        QCOMPARE(results.items(ResultList::High), QStringList {"abc.com"});
        QCOMPARE(results.caption(ResultList::High), QString("High Profile (1)"));
        QCOMPARE(added.count(), 1);
        QCOMPARE(problems.count(), 1);   // once per file and run
        QVERIFY(problems[0][0].toString().contains("SuperHighProfile.txt"));
        QDir(folders.program()).rmdir("SuperHighProfile.txt");
        QVERIFY(results.AddUnregistered("abd.com"));   // written whole again
        verifyProfileFiles(results);
        QCOMPARE(fileEntries(results.profilePath(ResultList::High)), (QStringList {"abc.com", "abd.com"}));
    }

    void capSequence()
    {
        TestFolders folders;
        QDir(folders.program()).mkdir("overflow");
        QDir(folders.program()).mkdir("backups");
        ResultLists results;
        QSignalSpy caps(&results, &ResultLists::capReached);
        results.AddUnregistered("abcdefgh.com");
        results.AddUnregistered("abcde.com");
        results.AddRegistered("taken.com");
        for (int i = 0; i < ResultLists::Cap - 1; ++i) {
            results.AddUnregistered(QString("h%1.com").arg(i, 3, 36, QChar('0')));
            QVERIFY(!results.applyCap());
        }
        results.AddUnregistered("zzzz.com");
        QCOMPARE(results.items(ResultList::High).size(), ResultLists::Cap);
        const QStringList high = results.items(ResultList::High);
        QVERIFY(results.applyCap());
        QCOMPARE(caps.count(), 1);
        QVERIFY(!results.applyCap());

        // The old files keep the lists at the cap; the overflow files hold the same, in one folder.
        QCOMPARE(fileEntries(folders.file("SuperHighProfile.txt")), high);
        QCOMPARE(fileEntries(folders.file("overflow/SuperHighProfile.txt")), high);
        QCOMPARE(fileEntries(folders.file("overflow/HighProfile.txt")), QStringList {"abcde.com"});
        QCOMPARE(fileEntries(folders.file("overflow/LowProfile.txt")), QStringList {"abcdefgh.com"});
        QCOMPARE(
            QDir(folders.program()).entryList({"OverFlow", "Overflow"}, QDir::Dirs | QDir::CaseSensitive).size(), 0);

        for (ResultList list : {ResultList::Low, ResultList::Registered, ResultList::High, ResultList::Mid})
            QVERIFY(results.items(list).isEmpty());
        QCOMPARE(results.caption(ResultList::High), QString("High Profile (20000 new · 0)"));
        QVERIFY(!results.runStamp().isEmpty());
        QCOMPARE(
            readBytes(folders.file("backups/HighProfile" + results.runStamp() + ".txt")), QByteArray(" \r\n \r\n"));
        QCOMPARE(readBytes(folders.file("backups/MidProfile" + results.runStamp() + ".txt")), QByteArray(" \r\n"));

        results.AddUnregistered("new.com");
        QCOMPARE(results.caption(ResultList::High), QString("High Profile (1)"));
        QCOMPARE(fileEntries(folders.file("SuperHighProfile" + results.runStamp() + ".txt")), QStringList {"new.com"});
    }

    void stampsNeverRepeat()
    {
        TestFolders folders;
        ResultLists results;
        results.NewRunStamp();
        const QString first = results.runStamp();
        results.NewRunStamp();
        QVERIFY(results.runStamp() != first);
    }

    void overflowFailureKeepsTheLists()
    {
        TestFolders folders;   // no overflow folder: the overflow files cannot be written
        ResultLists results;
        QSignalSpy problems(&results, &ResultLists::fileProblem);
        for (int i = 0; i < ResultLists::Cap; ++i)
            results.AddUnregistered(QString("n%1.com").arg(i, 3, 36, QChar('0')));
        QVERIFY(!results.applyCap());
        QCOMPARE(results.items(ResultList::High).size(), ResultLists::Cap);
        QCOMPARE(problems.count(), 1);
        QVERIFY(problems[0][0].toString().contains("overflow"));
        // Every further cap tries again, and tells again at most once per interval.
        results.AddUnregistered("more.com");
        QVERIFY(!results.applyCap());
        QCOMPARE(problems.count(), 1);
        results.files().setWarningInterval(0);
        QVERIFY(!results.applyCap());
        QCOMPARE(problems.count(), 2);
        QVERIFY(results.files().writeFailed());
    }

    void copyText()
    {
        TestFolders folders;
        ResultLists results;
        QCOMPARE(results.copyText(ResultList::High), QString());
        results.AddUnregistered("ab.com");
        results.AddUnregistered("cd.net");
        QCOMPARE(results.copyText(ResultList::High), QString("ab.com\r\ncd.net\r\n"));
    }

    void drops_data()
    {
        QTest::addColumn<QString>("positions");
        QTest::addColumn<int>("marker");
        QTest::addColumn<QStringList>("added");
        QTest::addRow("two positions") << "2|5" << 3 << QStringList {"h2.com", "h5.com"};
        QTest::addRow("one position") << "0" << 3 << QStringList {"h0.com"};
        QTest::addRow("past the end") << "1|99" << 3 << QStringList {"h1.com"};
        QTest::addRow("negative") << "-1" << 3 << QStringList {};
        QTest::addRow("foreign text") << "hello world" << 3 << QStringList {};
        QTest::addRow("empty") << "" << 3 << QStringList {};
        QTest::addRow("no marker") << "0|1" << 0 << QStringList {};
        QTest::addRow("registered is no source") << "0" << 2 << QStringList {};
        QTest::addRow("low list") << "0" << 1 << QStringList {"lowprofile.com"};
        QTest::addRow("the same position twice") << "2|2" << 3 << QStringList {"h2.com"};
    }
    void drops()
    {
        QFETCH(QString, positions);
        QFETCH(int, marker);
        QFETCH(QStringList, added);
        TestFolders folders;
        ResultLists results;
        for (int i = 0; i < 6; ++i)
            results.AddUnregistered(QString("h%1.com").arg(i));
        results.AddUnregistered("lowprofile.com");
        results.AddRegistered("taken.com");
        QCOMPARE(results.dropPositions(positions, marker), added.size());
        QCOMPARE(results.items(ResultList::Saved), added);
        QCOMPARE(fileEntries(folders.file("Remembered.txt")), added);
        // Fault caught: a name dropped again saved twice.
        QCOMPARE(results.dropPositions(positions, marker), 0);
        QCOMPARE(fileEntries(folders.file("Remembered.txt")), added);
    }

    void rememberedList()
    {
        TestFolders folders;
        writeBytes(folders.file("Remembered.txt"), "\r\n \r\none.com\r\n\r\r\ntwo.com\n  three.com");
        ResultLists results;
        results.LoadRememberedList();
        QCOMPARE(results.items(ResultList::Saved), (QStringList {"one.com", "two.com", "  three.com"}));
        results.dropPositions("", 3);
        QCOMPARE(readBytes(folders.file("Remembered.txt")), QByteArray("one.com\r\ntwo.com\r\n  three.com\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestResultLists)
#include "TestResultLists.moc"
