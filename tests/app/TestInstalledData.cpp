#include "TestSupport.h"
#include "app/DataFile.h"

#include <QTest>

class TestInstalledData : public QObject
{
    Q_OBJECT

private slots:
    void wordLists_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("last");
        QTest::addRow("two") << "AllTwoLetter.txt" << 676 << "aa"
                             << "zz";
        QTest::addRow("three") << "AllThreeLetter.txt" << 17576 << "aaa"
                               << "zzz";
        QTest::addRow("four") << "AllFourLetter.txt" << 456976 << "aaaa"
                              << "zzzz";
    }
    void wordLists()
    {
        QFETCH(QString, name);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, last);
        const QByteArray bytes = readBytes(builtProgram("wordlists/" + name));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\r\n"), count);
        const DataFile::EntryIndex index(bytes);
        QCOMPARE(index.count(), count);
        QCOMPARE(index.entry(1), first);
        QCOMPARE(index.entry(count), last);
    }

    void fullWordList()
    {
        const QByteArray bytes = readBytes(builtProgram("wordlists/FullWordList.txt"));
        const QStringList words = DataFile::EntryIndex(bytes).all();
        QVERIFY(words.size() > 50000);
        QCOMPARE(bytes.count("\r\n"), words.size());
        for (qsizetype i = 0; i < words.size(); ++i) {
            for (QChar c : words[i])
                QVERIFY2(c >= 'a' && c <= 'z', qPrintable(words[i]));
            if (i > 0)
                QVERIFY2(words[i - 1] < words[i], qPrintable(words[i]));   // sorted, no duplicates
        }
    }

    void helpDocument()
    {
        const QByteArray help = readBytes(builtProgram("Help.rtf"));
        QVERIFY(help.startsWith("{\\rtf1"));
        QVERIFY(help.contains("Custom List"));
    }
};

QTEST_GUILESS_MAIN(TestInstalledData)
#include "TestInstalledData.moc"
