#include "TestSupport.h"
#include "generator/NameGenerator.h"

#include <QSignalSpy>
#include <QTest>

class TestNameGenerator : public QObject
{
    Q_OBJECT

private slots:
    // The .ORG box and the further endings chosen follow .com and .net, in that order (fault caught:
    // the box read but no .org name made, or the setting's endings left out).
    void orgAndFurtherEndings()
    {
        QCOMPARE(NameGenerator::furtherEndings({"com", "io", "org", "dev"}), (QStringList {"io", "dev"}));
        QCOMPARE(NameGenerator::generate("shop", {"my"}, {true, false, false, true, false, true, {"io"}}),
            (QStringList {"myshop.com", "myshop.org", "myshop.io"}));
    }

    void generate_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QStringList>("affixes");
        QTest::addColumn<QString>("switchedOff");   // option names, comma-separated
        QTest::addColumn<QStringList>("expected");
        const QStringList mine {"myshop.com", "myshop.net", "my-shop.com", "my-shop.net", "shopmy.com", "shopmy.net",
            "shop-my.com", "shop-my.net"};
        QTest::addRow("every box") << "shop" << QStringList {"my"} << "" << mine;
        QTest::addRow("two affixes in file order") << "shop" << QStringList {"my", "the"} << ""
                                                   << mine
                + QStringList {"theshop.com", "theshop.net", "the-shop.com", "the-shop.net", "shopthe.com",
                    "shopthe.net", "shop-the.com", "shop-the.net"};
        QTest::addRow("spaces vanish") << "big shop" << QStringList {"my"} << "hyphens,suffixes,net"
                                       << QStringList {"mybigshop.com"};
        QTest::addRow("empty base word") << "" << QStringList {"my"} << "net"
                                         << QStringList {"my.com", "my-.com", "my.com", "-my.com"};
        QTest::addRow("letter case kept")
            << "Shop" << QStringList {"MY"} << "hyphens,suffixes,com" << QStringList {"MYShop.net"};
        QTest::addRow("blank lines are no affixes")
            << "shop" << QStringList {"", " ", "my"} << "hyphens,suffixes,net" << QStringList {"myshop.com"};
        QTest::addRow("an affix twice") << "shop" << QStringList {"my", "my"} << "hyphens,suffixes,net"
                                        << QStringList {"myshop.com", "myshop.com"};
        QTest::addRow("hyphens alone") << "shop" << QStringList {"my"} << "prefixes,suffixes" << QStringList();
        QTest::addRow("no extension") << "shop" << QStringList {"my"} << "com,net" << QStringList();
    }
    void generate()
    {
        QFETCH(QString, base);
        QFETCH(QStringList, affixes);
        QFETCH(QString, switchedOff);
        QFETCH(QStringList, expected);
        GeneratorOptions options;
        for (const QString &option : switchedOff.split(',', Qt::SkipEmptyParts)) {
            bool *flag = option == "prefixes" ? &options.prefixes
                : option == "suffixes"        ? &options.suffixes
                : option == "hyphens"         ? &options.hyphens
                : option == "com"             ? &options.com
                                              : &options.net;
            *flag = false;
        }
        QCOMPARE(NameGenerator::generate(base, affixes, options), expected);

        // The generation a slice at a time makes the same names and tells the count per affix.
        NameGeneration generation;
        QSignalSpy finished(&generation, &NameGeneration::finished);
        generation.start(base, affixes, options);
        QVERIFY(finished.wait(2000));
        QCOMPARE(finished[0][0].toStringList(), expected);
    }

    void longAffixListLeavesTheEventLoopRunning()
    {
        QStringList affixes;
        for (int i = 0; i < 100000; ++i)
            affixes << QString("a%1").arg(i);
        NameGeneration generation;
        QSignalSpy finished(&generation, &NameGeneration::finished);
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(0);
        generation.start("shop", affixes, GeneratorOptions());
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished[0][0].toStringList().size(), 800000);
        QVERIFY2(ticks > 1, qPrintable(QString::number(ticks)));   // other events ran in between
    }

    // Fault caught: affixes and names outside Latin-1 stored as "?", or a Latin-1 list that a new
    // affix turns into two encodings.
    void affixesKeepTheirLetters()
    {
        TestFolders folders;
        const QString path = folders.file("Appends.txt");
        writeBytes(path, "caf\xe9\r\nta\tb\r\n");   // Latin-1, and a line with a tab
        QString error;
        QVERIFY(AffixList::add(path, QString::fromUtf8("日本"), &error));
        QCOMPARE(readBytes(path), QString::fromUtf8("café\r\nta\tb\r\n日本\r\n").toUtf8());
        const QStringList affixes = AffixList::load(path, &error);
        QCOMPARE(affixes, (QStringList {QString::fromUtf8("café"), "ta\tb", QString::fromUtf8("日本")}));
        // The line with a tab is shown, so that it can be removed, but makes no name.
        QCOMPARE(NameGenerator::generate("x", affixes, {true, false, false, true, false, false, {}}),
            (QStringList {QString::fromUtf8("caféx.com"), QString::fromUtf8("日本x.com")}));
        QVERIFY(AffixList::remove(path, QString::fromUtf8("café"), &error));
        QCOMPARE(readBytes(path), QString::fromUtf8("ta\tb\r\n日本\r\n\r\n").toUtf8());
        QVERIFY(writeCreatedDomains(folders.file("CreatedDomains.txt"), {QString::fromUtf8("my日本.com")}, &error));
        QCOMPARE(readBytes(folders.file("CreatedDomains.txt")), QString::fromUtf8("my日本.com\r\n\r\n").toUtf8());
    }

    void affixFile()
    {
        TestFolders folders;
        const QString path = folders.file("Appends.txt");
        QString error;
        QVERIFY(AffixList::load(path, &error).isEmpty());
        QVERIFY(!error.isEmpty());   // a missing list says why
        writeBytes(path, "\r\nmy\r\n \r\nthe\r\nmy\r\nlast");
        error.clear();
        QCOMPARE(AffixList::load(path, &error), (QStringList {"my", "the", "my", "last"}));
        QVERIFY(AffixList::add(path, "Top", &error));
        // Every line equal to the removed affix goes, two line breaks in a row become one, and the
        // file ends with one line break more.
        QVERIFY(AffixList::remove(path, "my", &error));
        QCOMPARE(readBytes(path), QByteArray("\r\n \r\nthe\r\nlast\r\nTop\r\n\r\n"));
        QCOMPARE(AffixList::load(path, &error), (QStringList {"the", "last", "Top"}));

        QVERIFY(writeCreatedDomains(folders.file("CreatedDomains.txt"), {"a.com", "b.net"}, &error));
        QCOMPARE(readBytes(folders.file("CreatedDomains.txt")), QByteArray("a.com\r\nb.net\r\n\r\n"));
        QVERIFY(writeCreatedDomains(folders.file("CreatedDomains.txt"), {}, &error));
        QCOMPARE(readBytes(folders.file("CreatedDomains.txt")), QByteArray("\r\n"));
        QVERIFY(!writeCreatedDomains(folders.file("no-folder/CreatedDomains.txt"), {"a.com"}, &error));
    }
};

QTEST_GUILESS_MAIN(TestNameGenerator)
#include "TestNameGenerator.moc"
