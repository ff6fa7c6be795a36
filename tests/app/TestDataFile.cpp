#include "TestSupport.h"
#include "app/DataFile.h"

#include <QFile>
#include <QTest>

class TestDataFile : public QObject
{
    Q_OBJECT

private slots:
    void entries_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("CR LF after every line") << QByteArray("a\r\nb\r\nc\r\n") << QStringList{"a", "b", "c"};
        QTest::addRow("last line without a break") << QByteArray("a\r\nb\r\nc") << QStringList{"a", "b", "c"};
        QTest::addRow("trailing empty line") << QByteArray("a\r\nb\r\nc\r\n\r\n") << QStringList{"a", "b", "c"};
        QTest::addRow("empty lines between") << QByteArray("a\r\n\r\nb\r\n") << QStringList{"a", "b"};
        QTest::addRow("LF only") << QByteArray("a\nb\n\nc") << QStringList{"a", "b", "c"};
        QTest::addRow("CR only") << QByteArray("a\rb\r\rc\r") << QStringList{"a", "b", "c"};
        QTest::addRow("mixed") << QByteArray("a\r\nb\nc\rd") << QStringList{"a", "b", "c", "d"};
        QTest::addRow("single space is an entry") << QByteArray(" \r\na\r\n") << QStringList{" ", "a"};
        QTest::addRow("empty file") << QByteArray() << QStringList{};
        QTest::addRow("only a line break") << QByteArray("\r\n") << QStringList{};
        QTest::addRow("no line break at all") << QByteArray("word") << QStringList{"word"};
        QTest::addRow("NUL byte") << QByteArray("a\0b\r\nc", 6) << QStringList{QString::fromLatin1("a\0b", 3), "c"};
        QTest::addRow("Latin-1 bytes") << QByteArray("caf\xe9\r\n\xff") << QStringList{QString::fromLatin1("caf\xe9"), QString::fromLatin1("\xff")};
    }
    void entries()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        const DataFile::EntryIndex index(content);
        QCOMPARE(index.all(), expected);
        QCOMPARE(index.count(), expected.size());
        QCOMPARE(index.entry(expected.size() + 1), DataFile::EndSentinel);
        QCOMPARE(index.entry(0), QString());
    }

    void entryNumbering()
    {
        const DataFile::EntryIndex index(QByteArray("a\r\n\r\nb\r\nc"));
        QCOMPARE(index.entry(1), "a");
        QCOMPARE(index.entry(2), "b");
        QCOMPARE(index.entry(3), "c");
        QCOMPARE(index.entry(4), DataFile::EndSentinel);
        QCOMPARE(index.entry(400), DataFile::EndSentinel);
    }

    void skipSingleSpace()
    {
        const DataFile::EntryIndex index(QByteArray("\r\n \r\na\r\n  \r\n"), DataFile::Blanks::SkipSingleSpace);
        QCOMPARE(index.all(), (QStringList{"a", "  "}));
    }

    void megabyteLine()
    {
        const QByteArray line(1 << 20, 'x');
        const DataFile::EntryIndex index(line + "\r\nb");
        QCOMPARE(index.count(), 2);
        QCOMPARE(index.entry(1).size(), 1 << 20);
        QCOMPARE(index.entry(2), "b");
    }

    void rewriteAndAppend()
    {
        TestFolders folders;
        const QString path = folders.file("list.txt");
        QVERIFY(DataFile::rewrite(path, {"one", "two"}));
        QCOMPARE(ReadBytes(path), QByteArray("one\r\ntwo\r\n"));
        QVERIFY(DataFile::append(path, {"three"}));
        QCOMPARE(ReadBytes(path), QByteArray("one\r\ntwo\r\nthree\r\n"));
        QVERIFY(DataFile::rewrite(path, {}));
        QCOMPARE(ReadBytes(path), QByteArray());
        QVERIFY(DataFile::append(folders.file("new.txt"), {" "}));
        QCOMPARE(ReadBytes(folders.file("new.txt")), QByteArray(" \r\n"));
        QCOMPARE(DataFile::readEntries(path + ".missing"), QStringList());
    }

    void latin1RoundTrip()
    {
        TestFolders folders;
        const QString path = folders.file("bytes.txt");
        const QByteArray bytes("caf\xe9\r\n\x01\xff\r\n");
        WriteBytes(path, bytes);
        QVERIFY(DataFile::rewrite(folders.file("copy.txt"), DataFile::readEntries(path)));
        QCOMPARE(ReadBytes(folders.file("copy.txt")), bytes);
    }

    void failedRewriteKeepsOldContent()
    {
        TestFolders folders;
        const QString path = folders.file("kept.txt");
        QVERIFY(DataFile::rewrite(path, {"old"}));
        QFile::setPermissions(folders.program(), QFile::ReadOwner | QFile::ExeOwner);
        QString error;
        const bool written = DataFile::rewrite(path, {"new"}, &error);
        QFile::setPermissions(folders.program(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (written)
            QSKIP("the folder stays writable for this user (running as root)");
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadBytes(path), QByteArray("old\r\n"));
    }

    void ensureExists()
    {
        TestFolders folders;
        const QString path = folders.file("made.txt");
        QVERIFY(DataFile::ensureExists(path));
        QCOMPARE(ReadBytes(path), QByteArray("\r\n"));
        WriteBytes(path, "keep\r\n");
        QVERIFY(DataFile::ensureExists(path));
        QCOMPARE(ReadBytes(path), QByteArray("keep\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "TestDataFile.moc"
