#include "TestSupport.h"
#include "app/DataFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

// Limits the size of files this process writes while it lives; a negative size leaves it as it is.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, SIG_IGN);   // the write fails with EFBIG instead of ending the process
        if (qint64(bytes) >= 0) {
            rlimit limit = m_old;
            limit.rlim_cur = bytes;
            setrlimit(RLIMIT_FSIZE, &limit);
        }
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old {};
};

}   // namespace

class TestDataFile : public QObject
{
    Q_OBJECT

private slots:
    void entries_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected");
        QTest::addRow("CR LF after every line") << QByteArray("a\r\nb\r\nc\r\n") << QStringList {"a", "b", "c"};
        QTest::addRow("last line without a break") << QByteArray("a\r\nb\r\nc") << QStringList {"a", "b", "c"};
        QTest::addRow("trailing empty line") << QByteArray("a\r\nb\r\nc\r\n\r\n") << QStringList {"a", "b", "c"};
        QTest::addRow("empty lines between") << QByteArray("a\r\n\r\nb\r\n") << QStringList {"a", "b"};
        QTest::addRow("LF only") << QByteArray("a\nb\n\nc") << QStringList {"a", "b", "c"};
        QTest::addRow("CR only") << QByteArray("a\rb\r\rc\r") << QStringList {"a", "b", "c"};
        QTest::addRow("mixed") << QByteArray("a\r\nb\nc\rd") << QStringList {"a", "b", "c", "d"};
        QTest::addRow("single space is an entry") << QByteArray(" \r\na\r\n") << QStringList {" ", "a"};
        QTest::addRow("empty file") << QByteArray() << QStringList {};
        QTest::addRow("only a line break") << QByteArray("\r\n") << QStringList {};
        QTest::addRow("no line break at all") << QByteArray("word") << QStringList {"word"};
        QTest::addRow("NUL byte") << QByteArray("a\0b\r\nc", 6) << QStringList {QString::fromLatin1("a\0b", 3), "c"};
        QTest::addRow("Latin-1 bytes") << QByteArray("caf\xe9\r\n\xff")
                                       << QStringList {QString::fromLatin1("caf\xe9"), QString::fromLatin1("\xff")};
        QTest::addRow("UTF-8") << QByteArray("caf\xc3\xa9\r\n\xe6\x97\xa5.com")
                               << QStringList {QString::fromUtf8("caf\xc3\xa9"), QString::fromUtf8("\xe6\x97\xa5.com")};
        QTest::addRow("UTF-8 with a byte order mark")
            << QByteArray("\xef\xbb\xbf\xc3\xa9\r\nb") << QStringList {QString::fromUtf8("\xc3\xa9"), "b"};
        QTest::addRow("byte order mark alone") << QByteArray("\xef\xbb\xbf\r\nb") << QStringList {"b"};
        QTest::addRow("UTF-8 cut short is Latin-1") << QByteArray(
            "\xc3\xa9\r\n\xe6\x97") << QStringList {QString::fromLatin1("\xc3\xa9"), QString::fromLatin1("\xe6\x97")};
        QTest::addRow("UTF-16 surrogate is Latin-1")
            << QByteArray("\xed\xa0\x80") << QStringList {QString::fromLatin1("\xed\xa0\x80")};
        // Fault caught: a UTF-16 list refused for its NUL bytes, or read as Latin-1 garbage.
        const QString utf16Text = QString::fromUtf8("abc\r\n日本\r\n\r\nd");
        QTest::addRow("UTF-16 LE with its byte order mark") << QByteArray("\xff\xfe")
                + QByteArray(reinterpret_cast<const char *>(utf16Text.utf16()), utf16Text.size() * 2)
                                                            << QStringList {"abc", QString::fromUtf8("日本"), "d"};
        QByteArray bigEndian("\xfe\xff");
        for (const QChar c : utf16Text)
            bigEndian += char(c.unicode() >> 8), bigEndian += char(c.unicode() & 0xff);
        QTest::addRow("UTF-16 BE with its byte order mark")
            << bigEndian << QStringList {"abc", QString::fromUtf8("日本"), "d"};
    }
    void entries()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        const DataFile::EntryIndex index(content);
        QCOMPARE(index.all(), expected);
        QCOMPARE(index.count(), expected.size());
        QBuffer buffer(&content);   // read in pieces that cut characters apart
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QCOMPARE(
            DataFile::EntryIndex::read(buffer, DataFile::Blanks::Keep, DataFile::MaxEntryBytes, 3).all(), expected);
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
        QCOMPARE(index.all(), (QStringList {"a", "  "}));
    }

    // Lines longer than the limit keep their entry numbers but only their start, also when read in
    // pieces that split lines and CR LF pairs.
    void overlongLines()
    {
        const QByteArray limit(DataFile::MaxEntryBytes, 'x');
        QByteArray content = "a\r\n" + QByteArray(1 << 20, 'y') + "\r\n" + limit + "\r\n" + limit + "z\rb\r\n";
        for (const qsizetype piece : {qsizetype(1) << 20, qsizetype(7), qsizetype(1)}) {
            QBuffer buffer(&content);
            buffer.open(QIODevice::ReadOnly);
            const DataFile::EntryIndex index =
                DataFile::EntryIndex::read(buffer, DataFile::Blanks::Keep, DataFile::MaxEntryBytes, piece);
            QCOMPARE(index.all(), (QStringList {"a", QString(limit), "b"}));
            QCOMPARE(index.overlong(), 2);
            QCOMPARE(index.count(), 5);
            QCOMPARE(index.entry(2), QString(200, 'y') + QChar(0x2026));
            QVERIFY(index.isOverlong(2) && !index.isOverlong(3) && index.isOverlong(4));
            QCOMPARE(index.entry(5), "b");
        }
        // A line cut inside a letter of four UTF-8 bytes shows whole letters only.
        const QByteArray emoji = "\xF0\x9F\x98\x80";
        for (const qsizetype piece : {qsizetype(1) << 20, qsizetype(3)}) {
            QByteArray wide = emoji.repeated(DataFile::MaxEntryBytes);
            QBuffer buffer(&wide);
            buffer.open(QIODevice::ReadOnly);
            const DataFile::EntryIndex index =
                DataFile::EntryIndex::read(buffer, DataFile::Blanks::Keep, DataFile::MaxEntryBytes, piece);
            QCOMPARE(index.entry(1), QString::fromUtf8(emoji.repeated(200)) + QChar(0x2026));
        }
    }

    void rewriteAndAppend()
    {
        TestFolders folders;
        const QString path = folders.file("list.txt");
        QVERIFY(DataFile::rewrite(path, {"one", "two"}));
        QCOMPARE(readBytes(path), QByteArray("one\r\ntwo\r\n"));
        QVERIFY(DataFile::append(path, {"three"}));
        QCOMPARE(readBytes(path), QByteArray("one\r\ntwo\r\nthree\r\n"));
        QVERIFY(DataFile::rewrite(path, {}));
        QCOMPARE(readBytes(path), QByteArray());
        QVERIFY(DataFile::append(folders.file("new.txt"), {" "}));
        QCOMPARE(readBytes(folders.file("new.txt")), QByteArray(" \r\n"));
        QCOMPARE(DataFile::readEntries(path + ".missing"), QStringList());
    }

    // Fault caught: text written as Latin-1, which turns every other letter into "?".
    void writtenAsUtf8()
    {
        TestFolders folders;
        const QString path = folders.file("bytes.txt");
        writeBytes(path, "caf\xe9\r\n\x01\xff\r\n");   // not UTF-8: read as Latin-1
        const QStringList entries = DataFile::readEntries(path) << QString::fromUtf8("日本語.com") << "plain.com";
        QVERIFY(DataFile::rewrite(folders.file("copy.txt"), entries));
        QCOMPARE(readBytes(folders.file("copy.txt")),
            QByteArray("caf\xc3\xa9\r\n\x01\xc3\xbf\r\n\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e.com\r\nplain.com\r\n"));
        QCOMPARE(DataFile::readEntries(folders.file("copy.txt")), entries);
    }

    // Real write failures that hold for root too: a file size limit cuts a write part way, and
    // /dev/full fails every write with "No space left on device".
    void failedWritesLeaveNoPartialLine_data()
    {
        QTest::addColumn<bool>("fullDevice");
        QTest::addColumn<QString>("reason");
        QTest::addRow("file size limit") << false << "File too large";
        QTest::addRow("full disk") << true << "No space left on device";
    }
    void failedWritesLeaveNoPartialLine()
    {
        QFETCH(bool, fullDevice);
        QFETCH(QString, reason);
        TestFolders folders;
        const QString path = fullDevice ? QStringLiteral("/dev/full") : folders.file("kept.txt");
        if (!fullDevice)
            QVERIFY(DataFile::rewrite(path, {"old"}));
        const QString longLine(100, QChar('x'));
        QString appendError, rewriteError;
        bool appended = false, rewritten = false;
        {
            FileSizeLimit limit(fullDevice ? -1 : 8);
            appended = DataFile::append(path, {"new", longLine}, &appendError);
            if (!fullDevice)
                rewritten = DataFile::rewrite(path, {longLine}, &rewriteError);
        }
        QVERIFY(!appended);
        QVERIFY2(appendError.contains(reason), qPrintable(appendError));
        if (!fullDevice) {
            QVERIFY(!rewritten);
            QVERIFY2(rewriteError.contains(reason), qPrintable(rewriteError));
            QCOMPARE(readBytes(path), QByteArray("old\r\n"));
            QCOMPARE(QDir(folders.program()).entryList(QDir::Files), QStringList {"kept.txt"});
        }
    }

    void ensureExists()
    {
        TestFolders folders;
        const QString path = folders.file("made.txt");
        QVERIFY(DataFile::ensureExists(path));
        QCOMPARE(readBytes(path), QByteArray("\r\n"));
        writeBytes(path, "keep\r\n");
        QVERIFY(DataFile::ensureExists(path));
        QCOMPARE(readBytes(path), QByteArray("keep\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "TestDataFile.moc"
