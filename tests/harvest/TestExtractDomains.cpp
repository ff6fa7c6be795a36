#include "harvest/ExtractDomains.h"

#include <QTest>

class TestExtractDomains : public QObject
{
    Q_OBJECT

private slots:
    void extract_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("known");   // names already accepted, comma-separated
        QTest::addColumn<QString>("body");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("frames");
        const int list = int(ExtractVariant::List), browser = int(ExtractVariant::Browser);
        QTest::addRow("list: host of a link")
            << list << ""
            << "<a href=\"http://shop.example.com/index.html\">x</a>" << QStringList {"example.com"} << QStringList();
        QTest::addRow("list: .net link") << list << ""
                                         << "<a href=\"http://example.net/\">" << QStringList {"example.net"}
                                         << QStringList();
        QTest::addRow("list: .org lets the line in, the suffix test not")
            << list << ""
            << "<a href=\"http://news.example.org/\">" << QStringList() << QStringList();
        QTest::addRow("list: a second link adds nothing")
            << list << "example.com"
            << "<a href=\"http://shop.example.com/other\">" << QStringList() << QStringList();
        QTest::addRow("list: the engine's own links")
            << list << ""
            << "<a href=\"http://www.google.com/x\"><a href=\"http://us.yahoo.com/\">" << QStringList()
            << QStringList();
        QTest::addRow("list: no names from text") << list << ""
                                                  << "Visit example.com today" << QStringList() << QStringList();
        QTest::addRow("list: https counts as http")
            << list << ""
            << "<a href=\"HTTPS://shop.example.com/\">" << QStringList {"example.com"} << QStringList();
        QTest::addRow("browser: link") << browser << ""
                                       << "<a href=\"http://shop.example.net/a\">" << QStringList {"example.net"}
                                       << QStringList();
        QTest::addRow("browser: .org link")
            << browser << ""
            << "<a href=\"http://mail.example.org/\">" << QStringList() << QStringList();
        QTest::addRow("browser: plain-text link and a space")
            << browser << ""
            << "http://example.com and more" << QStringList() << QStringList();
        QTest::addRow("browser: name in the text")
            << browser << ""
            << "Visit example.com today" << QStringList {"example.com"} << QStringList();
        QTest::addRow("browser: name at the start of a line")
            << browser << ""
            << "example.com is free" << QStringList {"example.com"} << QStringList();
        QTest::addRow("browser: letter case kept")
            << browser << ""
            << "see Example.COM now" << QStringList {"Example.COM"} << QStringList();
        QTest::addRow("browser: frame tag") << browser << ""
                                            << "<FRAME src=\"http://shop.example.com/page.html\">" << QStringList()
                                            << QStringList {"shop.example.com/page.html"};
        QTest::addRow("browser: substring duplicate") << browser << "example.com"
                                                      << "Visit ample.com today" << QStringList() << QStringList();
        QTest::addRow("browser: duplicate in another case of a letter")
            << browser << QString::fromUtf8("\u03D1ab.com") << QString::fromUtf8("Visit \u0398AB.com today")
            << QStringList() << QStringList();
        QTest::addRow("browser: lines broken by LF")
            << browser << ""
            << "one\nexample.net\nexample.com" << QStringList {"example.net", "example.com"} << QStringList();
        QTest::addRow("browser: https text link")
            << browser << ""
            << "go to https://x.com/ now" << QStringList {"x.com"} << QStringList();
        // Fault caught: "someone@hotelsample.com" taken as the invented name someonehotelsample.com.
        QTest::addRow("browser: e-mail address")
            << browser << ""
            << "write to someone@hotelsample.com today" << QStringList {"hotelsample.com"} << QStringList();
        QTest::addRow("empty body") << browser << ""
                                    << "" << QStringList() << QStringList();
    }
    void extract()
    {
        QFETCH(int, variant);
        QFETCH(QString, known);
        QFETCH(QString, body);
        QFETCH(QStringList, names);
        QFETCH(QStringList, frames);
        DomainList accepted;
        for (const QString &name : known.split(',', Qt::SkipEmptyParts))
            accepted.add(name);
        const Extraction found = DomainExtraction::ExtractDomains(body, ExtractVariant(variant), accepted);
        QCOMPARE(found.names, names);
        QCOMPARE(found.frames, frames);
        QCOMPARE(accepted.size(), known.split(',', Qt::SkipEmptyParts).size() + names.size());
    }

    void frameTagLines()
    {
        // The frame tag ends up on three lines: the tag to its quote, the link to its host, the rest.
        QCOMPARE(
            DomainExtraction::prepare("<FRAME src=\"http://shop.example.com/page.html\">", ExtractVariant::Browser),
            QString("\r\n<Frame src=\"\r\nhttp://shop.example.com/\r\npage.html\">\r\n"));
    }

    void duplicateTestIsASubstringTest_data()
    {
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<bool>("present");
        QTest::addRow("itself") << "example.com" << true;
        QTest::addRow("other case") << "EXAMPLE.com" << true;
        QTest::addRow("tail") << "ample.com" << true;
        QTest::addRow("other ending") << "example.net" << false;
        QTest::addRow("longer") << "anexample.com" << false;
        QTest::addRow("two dots") << "b.example.com" << false;
        QTest::addRow("inside a name of another shape") << "le.c" << true;
    }
    void duplicateTestIsASubstringTest()
    {
        QFETCH(QString, candidate);
        QFETCH(bool, present);
        DomainList accepted;
        accepted.add("example.com");
        accepted.add("other.net");
        QCOMPARE(accepted.containsText(candidate), present);
    }
};

QTEST_GUILESS_MAIN(TestExtractDomains)
#include "TestExtractDomains.moc"
