#include "TestSupport.h"

#include <QProcess>
#include <QTest>

namespace {

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Outcome RunCli(const QStringList &arguments)
{
    QProcess process;
    process.start(BuiltProgram("tamarind-cli"), arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void clean()
    {
        // Decoding comes first, so a decoded "%" or blank is then removed by the cleaning.
        const Outcome outcome = RunCli({"clean", "site:my-shop.com", "%2525%2520", "Best Buy!.COM",
                                        "a%2520b%3A.com", "xx%253Aabc"});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out, QByteArray("my-shop.com\n\nBestBuy.COM\nab.com\nxxabc\n"));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addRow("help") << QStringList{"--help"} << 0;
        QTest::addRow("version") << QStringList{"--version"} << 0;
        QTest::addRow("no command") << QStringList{} << 2;
        QTest::addRow("unknown command") << QStringList{"fly"} << 2;
        QTest::addRow("clean without names") << QStringList{"clean"} << 2;
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const Outcome outcome = RunCli(arguments);
        QCOMPARE(outcome.exitCode, exitCode);
        if (exitCode == 2)
            QVERIFY(outcome.err.startsWith("tamarind-cli: "));
        else
            QVERIFY(!outcome.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "TestCli.moc"
