#include "engine/NameText.h"

#include <QRandomGenerator>
#include <QTest>

class TestNameText : public QObject
{
    Q_OBJECT

private slots:
    void urlDecode_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::addRow("nested percent then space") << "%2525%2520"
                                                   << "% ";
        QTest::addRow("either letter case") << "a%3cb%3E"
                                            << "a<b>";
        QTest::addRow("escapes outside the table stay") << "%2B%41"
                                                        << "%2B%41";
        QTest::addRow("empty") << ""
                               << "";
        QTest::addRow("decoded percent joins later rules") << "%2520"
                                                           << " ";
        QTest::addRow("nested slash") << "%252F"
                                      << "/";
        QTest::addRow("plus is not a space") << "a+b"
                                             << "a+b";
        QTest::addRow("comma and dot escapes stay") << "%2E%2C"
                                                    << "%2E%2C";
        QTest::addRow("line breaks") << "a%0D%0Ab"
                                     << "a\r\nb";
        QTest::addRow("every rule") << "%25%20%3C%3E%23%7B%7D%7C%5C%5E%7E%5B%5D%60%3B%2F%3F%3A%40%3D%26%24"
                                    << "% <>#{}|\\^~[]`;/?:@=&$";
        QTest::addRow("deep nesting") << "%25252525252541"
                                      << "%41";
    }
    void urlDecode()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const QString before = input;
        QCOMPARE(URLDecode(input), expected);
        QCOMPARE(input, before);
    }

    // The one-pass decoding gives what decoding "%25" over and over gives, for any text.
    void urlDecodeMatchesRepeatedDecoding()
    {
        const auto repeated = [](QString text) {
            while (text.contains("%25"))
                text.replace("%25", "%");
            return URLDecode(text);   // no "%25" left: only the other escapes act
        };
        QRandomGenerator random(11);
        const QString alphabet = "%25%2F0a";
        for (int round = 0; round < 3000; ++round) {
            QString text;
            for (int i = random.bounded(40); i > 0; --i)
                text += alphabet[random.bounded(int(alphabet.size()))];
            QCOMPARE(URLDecode(text), repeated(text));
        }
        // 100 KB of nested escapes, which took seconds when decoded pass after pass.
        QCOMPARE(URLDecode(QString("%") + QString("25").repeated(50000) + "2F"), QString("/"));
    }

    void correctName_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::addRow("site prefix") << "site:my-shop.com"
                                     << "my-shop.com";
        QTest::addRow("related prefix") << "related:foo.net"
                                        << "foo.net";
        QTest::addRow("tail keeps its case") << "Best Buy!.COM"
                                             << "BestBuy.COM";
        QTest::addRow("only the first label") << "shop.example.com"
                                              << "shop.example.com";
        QTest::addRow("entity") << "a&nbsp;b.com"
                                << "ab.com";
        QTest::addRow("entity is case-sensitive") << "a&NBSP;b.com"
                                                  << "aNBSPb.com";
        QTest::addRow("prefix is case-sensitive") << "Related:foo.com"
                                                  << "Relatedfoo.com";
        QTest::addRow("underscore without dot") << "my_name"
                                                << "myname";
        QTest::addRow("trailing dot") << "abc."
                                      << "abc.";
        QTest::addRow("only an ending") << ".com"
                                        << ".com";
        QTest::addRow("tail not cleaned") << "a b.c d"
                                          << "ab.c d";
        QTest::addRow("nbsp without ampersand") << "anbsp;b"
                                                << "ab";
        QTest::addRow("every single character") << "a /%!~@#$^&*()=\\|+`?><,';:_b"
                                                << "ab";
        QTest::addRow("latin-1 marks") << QString::fromUtf8("a«´¯º¸b.com") << "ab.com";
        QTest::addRow("hyphens and digits survive") << "my-shop-24.com"
                                                    << "my-shop-24.com";
        QTest::addRow("empty") << ""
                               << "";
    }
    void correctName()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QString name = input;
        QCOMPARE(CorrectName(name), expected);
        QCOMPARE(name, expected);
    }
};

QTEST_GUILESS_MAIN(TestNameText)
#include "TestNameText.moc"
