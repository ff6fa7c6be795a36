#include "shell/RtfReader.h"

#include <QRandomGenerator>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// The text of the document with each run's format marked: *bold*, /italic/, _underline_, and the
// size in points where it is not 12.
QString marked(const QTextDocument &document)
{
    QStringList blocks;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString text;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            QString run = fragment.text();
            if (format.fontWeight() == QFont::Bold)
                run = '*' + run + '*';
            if (format.fontItalic())
                run = '/' + run + '/';
            if (format.fontUnderline())
                run = '_' + run + '_';
            if (format.fontPointSize() != 12)
                run += QString("@%1").arg(format.fontPointSize());
            text += run;
        }
        blocks << text;
    }
    return blocks.join('|');
}

}   // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("shown");
        QTest::addRow("plain") << QByteArray("{\\rtf1\\ansi Hello}") << "Hello";
        QTest::addRow("bold, italic, underline")
            << QByteArray("{\\rtf1 a \\b b\\b0  \\i c\\i0  \\ul d\\ulnone  e}") << "a *b* /c/ _d_ e";
        QTest::addRow("groups keep their format") << QByteArray("{\\rtf1 {\\b x}y}") << "*x*y";
        QTest::addRow("font size in half points") << QByteArray("{\\rtf1\\fs32 Big}") << "Big@16";
        QTest::addRow("paragraphs") << QByteArray("{\\rtf1 one\\par two\\par\r\nthree}") << "one|two|three";
        QTest::addRow("escapes") << QByteArray("{\\rtf1 \\{a\\}\\\\b}") << "{a}\\b";
        QTest::addRow("hex characters") << QByteArray("{\\rtf1 caf\\'e9}") << QString("caf\u00e9");
        QTest::addRow("unicode with stand-in")
            << QByteArray("{\\rtf1 \\u8364?x \\uc2\\u-3913ab!}") << QString("\u20ACx \uF0B7!");
        QTest::addRow("unknown words ignored") << QByteArray("{\\rtf1\\deff0\\viewkind4 Text\\zzz more}") << "Textmore";
        QTest::addRow("tables skipped") << QByteArray(
            "{\\rtf1{\\fonttbl{\\f0 Verdana;}}{\\colortbl;\\red0;}{\\*\\generator Riched;}Body}")
                                        << "Body";
        QTest::addRow("truncated") << QByteArray("{\\rtf1 {\\b cut") << "*cut*";
        QTest::addRow("not RTF at all") << QByteArray("just text") << "just text";
        QTest::addRow("stray closings") << QByteArray("}}a}{") << "a";
        QTest::addRow("a word at the very end") << QByteArray("x\\b") << "x";
        QTest::addRow("ten thousand groups deep") << QByteArray(10000, '{') + "deep" + QByteArray(10000, '}') << "deep";
    }
    void read()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, shown);
        QTextDocument document;
        readRtf(rtf, &document);
        QCOMPARE(marked(document), shown);
    }

    // Random bytes and random cuts of a real document: the reader always returns.
    void anyBytes()
    {
        QFile help(QStringLiteral(TAMARIND_BUILD_DIR "/Help.rtf"));
        QVERIFY(help.open(QIODevice::ReadOnly));
        const QByteArray real = help.readAll();
        QRandomGenerator random(4711);
        for (int round = 0; round < 300; ++round) {
            QByteArray input = real.left(random.bounded(real.size() + 1));
            for (int i = random.bounded(64); i > 0; --i)
                input.insert(random.bounded(input.size() + 1), char(random.bounded(256)));
            QTextDocument document;
            readRtf(input, &document);
        }
        QTextDocument document;
        readRtf(real, &document);
        QVERIFY(document.toPlainText().size() > 100);
        // The help names the windows and folders a user meets (fault caught: a help silent on them,
        // or wrong about where the program folder is once installed).
        for (const char *words : {"Tools > Dropping Names", "CustomLists - ", "TAMARIND_PROGRAM_FOLDER",
                 "$XDG_DATA_HOME/Tamarind", "Add to Saved Domains"})
            QVERIFY2(document.toPlainText().contains(words), words);
    }
};

QTEST_MAIN(TestRtfReader)
#include "TestRtfReader.moc"
