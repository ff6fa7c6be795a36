#include "TestSupport.h"
#include "app/DataFile.h"
#include "app/Settings.h"
#include "cli/Command.h"
#include "run/CheckSession.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>
#include <ares.h>

// DNS before the registry, against the test server's resolver: what DNS may settle, and what it
// must leave to the registry whatever a resolver answers.
class TestDnsFirst : public QObject
{
    Q_OBJECT

    struct Outcome {
        int exitCode = -1;
        QStringList out;
        QByteArray err;
    };

    // The verdict lines sorted, or in the order they came.
    static Outcome check(const QStringList &arguments, bool sorted = true)
    {
        QByteArray out;
        Outcome outcome;
        Cli::Console console {[&](const QByteArray &bytes) { out += bytes; },
            [&](const QByteArray &bytes) { outcome.err += bytes; }, false};
        outcome.exitCode = Cli::run(QStringList {"tamarind-cli", "check"} + arguments, console);
        outcome.out = QString::fromUtf8(out).split('\n', Qt::SkipEmptyParts);
        if (sorted)
            outcome.out.sort();
        return outcome;
    }

    // A DNS message of the test's own: a question about `name`, then the records given.
    static QByteArray encodedName(const QByteArray &name)
    {
        QByteArray encoded;
        for (const QByteArray &label : name.split('.'))
            encoded += char(label.size()) + label;
        return encoded + '\0';
    }
    static QByteArray u16(int value) { return QByteArray(1, char(value >> 8)) + char(value & 0xff); }
    static QByteArray message(const QByteArray &name, const QList<QByteArray> &records)
    {
        QByteArray bytes = u16(1) + u16(0x8180) + u16(1) + u16(int(records.size())) + u16(0) + u16(0);
        bytes += encodedName(name) + u16(2) + u16(1);
        for (const QByteArray &record : records)
            bytes += record;
        return bytes;
    }
    static QByteArray record(const QByteArray &owner, int type, int recordClass, const QByteArray &data)
    {
        return encodedName(owner) + u16(type) + u16(recordClass) + QByteArray(4, '\0') + u16(int(data.size())) + data;
    }

private slots:
    // What an answer to an NS question says of a name. Faults caught, by row: REFUSED or SERVFAIL
    // read as a silence or as no delegation; records of class CH, or of another name, taken as the
    // name's delegation; an address made up for the name taken as one; a record cut short read; an
    // empty answer (NODATA) taken as NXDOMAIN, which only a name absent from its zone gets.
    void outcomeOfAnswer_data()
    {
        using O = DnsClient::Outcome;
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<int>("outcome");
        const QByteArray ns = encodedName("ns1.example.net");
        const QByteArray delegated = message("shop.com", {record("shop.com", 2, 1, ns)});
        QTest::addRow("NXDOMAIN") << int(ARES_ENOTFOUND) << QByteArray() << int(O::NotDelegated);
        QTest::addRow("REFUSED") << int(ARES_EREFUSED) << QByteArray() << int(O::Refused);
        QTest::addRow("SERVFAIL") << int(ARES_ESERVFAIL) << QByteArray() << int(O::ServerFailure);
        QTest::addRow("no answer in time") << int(ARES_ETIMEOUT) << QByteArray() << int(O::Silent);
        QTest::addRow("NS of the name") << int(ARES_SUCCESS) << delegated << int(O::Delegated);
        QTest::addRow("NS of the name, in other letters")
            << int(ARES_SUCCESS) << message("shop.com", {record("SHOP.com", 2, 1, ns)}) << int(O::Delegated);
        QTest::addRow("NS of class CH") << int(ARES_SUCCESS) << message("shop.com", {record("shop.com", 2, 3, ns)})
                                        << int(O::Failed);
        QTest::addRow("NS of the parent zone only")
            << int(ARES_ENODATA) << message("shop.com", {record("com", 2, 1, ns)}) << int(O::NoData);
        QTest::addRow("an address made up")
            << int(ARES_SUCCESS) << message("shop.com", {record("shop.com", 1, 1, QByteArray("\x0a\0\0\x01", 4))})
            << int(O::NoData);
        QTest::addRow("NODATA: no record at all") << int(ARES_ENODATA) << message("shop.com", {}) << int(O::NoData);
        QTest::addRow("a record cut short") << int(ARES_SUCCESS) << delegated.chopped(3) << int(O::Failed);
    }
    void outcomeOfAnswer()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, answer);
        const auto bytes = reinterpret_cast<const unsigned char *>(answer.constData());
        QTEST(int(DnsClient::outcomeOf(status, answer.isEmpty() ? nullptr : bytes, int(answer.size()), "shop.com")),
            "outcome");
    }

    // A switch reads as a person writes it (fault caught: "false" taken for the default, on).
    void switchAsWritten_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("on");
        for (const char *off : {"0", "false", "No", " off "})
            QTest::addRow("%s", off) << QByteArray(off) << false;
        for (const char *on : {"1", "TRUE", "yes", "on", "maybe"})
            QTest::addRow("%s", on) << QByteArray(on) << true;
    }
    void switchAsWritten()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, on);
        EnvironmentVariable dnsFirst("TAMARIND_DNS_FIRST", text);
        QCOMPARE(Settings::DnsFirst.get(), on);
    }

    // Every row gives every name its right verdict; they differ in which names reach the registry.
    // Faults caught, by row: delegated names asked of the registry anyway; NXDOMAIN taken as free (a
    // held name listed free); an address, or the servers of the parent zone, taken as a delegation
    // (a free name listed registered); a truncated answer taken as it is instead of asked again over
    // TCP; an answer to another question believed; a refusal taken as a delegation; a resolver that
    // cannot be reached stopping the run.
    void everyVerdictRight_data()
    {
        QTest::addColumn<QStringList>("serverOptions");
        QTest::addColumn<QStringList>("dnsOptions");   // "{dns}": the test server's resolver
        QTest::addColumn<QStringList>("registryAsked");
        const QStringList all {"open.com", "owned.com", "spare.com", "taken.com"};
        const QStringList undelegated {"open.com", "spare.com"};
        const QStringList viaServer {"--dns-server", "{dns}"};
        QTest::addRow("delegated names skip the registry") << QStringList {} << viaServer << undelegated;
        QTest::addRow("NXDOMAIN for every name") << QStringList {"--held-ratio", "1"} << viaServer << all;
        QTest::addRow("an address for every name") << QStringList {"--hijack"} << viaServer << undelegated;
        QTest::addRow("truncated over UDP") << QStringList {"--dns-truncate"} << viaServer << undelegated;
        QTest::addRow("another question answered") << QStringList {"--dns-mismatch"} << viaServer << all;
        QTest::addRow("refused past one a second")
            << QStringList {"--dns-limit-per-s", "1"} << viaServer << QStringList {};
        // SERVFAIL (a lame delegation), records of another class, delegations made up: the
        // registry is asked (faults caught: a class CH record or a made-up one taken as a
        // delegation, a SERVFAIL taken for one).
        QTest::addRow("SERVFAIL for the registered names")
            << QStringList {"--dns-servfail-ratio", "1"} << viaServer << all;
        QTest::addRow("records of class CH") << QStringList {"--dns-class-ch"} << viaServer << all;
        QTest::addRow("delegations made up") << QStringList {"--dns-fabricate"} << viaServer << all;
        // The resolver's first answers, about the names that cannot exist, come after the others
        // (fault caught: names read before those answers, and made-up delegations believed).
        QTest::addRow("delegations made up, the first answers last")
            << QStringList {"--dns-fabricate", "--dns-slow-first", "2"} << viaServer << all;
        QTest::addRow("no resolver listening")
            << QStringList {} << QStringList {"--dns-server", QString("127.0.0.1:%1").arg(unusedPort())} << all;
        QTest::addRow("--no-dns") << QStringList {} << QStringList {"--no-dns"} << all;
    }
    void everyVerdictRight()
    {
        QFETCH(QStringList, serverOptions);
        QFETCH(QStringList, dnsOptions);
        QFETCH(QStringList, registryAsked);
        TestFolders folders;
        DataFile::rewrite(folders.file("registered.txt"), {"taken.com", "owned.com"});
        TestWhoisServer server(serverOptions
            + QStringList {"--registered", folders.file("registered.txt"), "--dns-port", "0", "--log",
                folders.file("queries.log")});
        QVERIFY(!server.dnsAddress().isEmpty());
        dnsOptions.replaceInStrings("{dns}", server.dnsAddress());
        DataFile::rewrite(folders.file("list.txt"), {"open", "taken", "spare", "owned"});
        EnvironmentVariable tick("TAMARIND_TICK_MS", "20");

        const Outcome outcome = check(dnsOptions
            + QStringList {"--server", server.address(), "--folder", folders.program(), folders.file("list.txt")});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out,
            (QStringList {"free open.com", "free spare.com", "registered owned.com", "registered taken.com"}));
        QStringList asked = fileEntries(folders.file("queries.log"));
        asked.sort();
        if (registryAsked.isEmpty()) {   // which names the limit refuses is the server's moment
            QVERIFY2(asked.contains("open.com") && asked.contains("spare.com"), qPrintable(asked.join(' ')));
            return;
        }
        // Where DNS found names delegated, the registry is asked one of them as its control first.
        if (registryAsked.size() == 2) {
            QCOMPARE(asked.size(), 3);
            const QString control = asked.filter(QRegularExpression("^(owned|taken)\\.com$")).value(0);
            QVERIFY2(!control.isEmpty(), qPrintable(asked.join(' ')));
            asked.removeOne(control);
            QVERIFY2(outcome.err.contains("\nDNS: 2 delegated, 2 to the registry"), outcome.err);
            QVERIFY2(outcome.err.contains("2 asked, 2 free, 0 registered, 0 unchecked; controls: 1 passed, 0 failed."),
                outcome.err);
        }
        QCOMPARE(asked, registryAsked);
    }

    // Under an ending whose service answers 404 for every name, a name is free only with DNS's own
    // answer that it is not delegated. Faults caught, by row: a name whose question got SERVFAIL, a
    // silence or a malformed answer passed on to the 404 and listed free; a resolver that falls
    // silent mid-run asked to the end; records of class CH taken as a delegation, or the resolver
    // that sends them kept without a word; a resolver that makes delegations up believed; REFUSED
    // taken as a failure (no pace, the resolver left only by the share of failures); a resolver
    // left after fewer than 50 silences in a row; lame delegations (SERVFAIL for 90 % of the
    // registered names) taken for the resolver's failures, so that DNS is left and the free names
    // go unchecked. A told text starting with "!" must not be told.
    void otherEndingsNeedDnsAnswer_data()
    {
        QTest::addColumn<QStringList>("dnsOptions");   // empty: no resolver listening
        QTest::addColumn<QString>("told");             // what the end of the run says of DNS
        QTest::addRow("SERVFAIL for every third question") << QStringList {"--dns-servfail-every", "3"} << "";
        QTest::addRow("lame delegations") << QStringList {"--dns-servfail-ratio", "0.9"} << "!answers were failures";
        QTest::addRow("silent after 100 questions")
            << QStringList {"--dns-silent-after", "100"} << "gave no answer to 50 questions in a row";
        QTest::addRow("no resolver") << QStringList {} << "gave no answer to 50 questions in a row";
        QTest::addRow("REFUSED for every question")
            << QStringList {"--dns-refuse-all"} << "gave no answer to 50 questions in a row";
        QTest::addRow("silent for 10 names") << QStringList {"--dns-silent-names", "10"} << "!in a row";
        QTest::addRow("records of class CH") << QStringList {"--dns-class-ch"} << "answers were failures";
        QTest::addRow("delegations made up") << QStringList {"--dns-fabricate"} << "makes delegations up";
        // An address for every name and the parent zone's servers: NODATA for the names, which is
        // no word that a name does not exist (fault caught: NODATA taken as NXDOMAIN).
        QTest::addRow("NODATA for the names, the endings shown") << QStringList {"--hijack"} << "!left for the run";
    }
    void otherEndingsNeedDnsAnswer()
    {
        QFETCH(QStringList, dnsOptions);
        QFETCH(QString, told);
        TestFolders folders;
        QStringList names, registered;
        for (int i = 0; i < 300; ++i) {
            names << QString("w%1.io").arg(i);
            if (i % 3 != 0)
                registered << names.last();
        }
        DataFile::rewrite(folders.file("list.txt"), names);
        DataFile::rewrite(folders.file("registered.txt"), registered);
        // An honest service, which passes its control: what DNS may settle is what is tested here
        // (a service that answers 404 for everything is caught by its control, evidenceChecksItself).
        TestWhoisServer io({"--registered", folders.file("registered.txt"), "--rdap-port", "0"});
        std::unique_ptr<TestWhoisServer> resolver;
        QString dns = QString("127.0.0.1:%1").arg(unusedPort());
        if (!dnsOptions.isEmpty()) {
            resolver = std::make_unique<TestWhoisServer>(
                dnsOptions + QStringList {"--registered", folders.file("registered.txt"), "--dns-port", "0"});
            dns = resolver->dnsAddress();
        }
        EnvironmentVariable bases("TAMARIND_RDAP_BASE", ("io=" + io.rdapBase()).toLatin1());
        EnvironmentVariable tick("TAMARIND_TICK_MS", "20");
        const Outcome outcome = check({"--server", QString("127.0.0.1:%1").arg(unusedPort()), "--dns-server", dns,
            "--folder", folders.program(), folders.file("list.txt")});
        QCOMPARE(outcome.out.size(), names.size());
        for (const QString &line : outcome.out)
            QVERIFY2(!line.startsWith("free ") || !registered.contains(line.mid(5)), qPrintable(line));
        QVERIFY2(!outcome.out.filter(QRegularExpression("^unchecked ")).isEmpty(), "every name had an answer");
        // A lame delegation is the name's trouble, not the resolver's: every free name is told free.
        if (dnsOptions.contains("--dns-servfail-ratio"))
            QCOMPARE(outcome.out.filter(QRegularExpression("^free ")).size(), names.size() - registered.size());
        // The DNS counts add up to the list (fault caught: names left unchecked for want of an
        // answer missing from them, so that they disagree with the unchecked count).
        const QRegularExpressionMatch counts =
            QRegularExpression(R"(DNS: (\d+) delegated, (\d+) to the registry(?:, (\d+) unchecked for want)?)")
                .match(QString::fromUtf8(outcome.err));
        QVERIFY2(counts.hasMatch(), outcome.err.constData());
        QCOMPARE(counts.captured(1).toInt() + counts.captured(2).toInt() + counts.captured(3).toInt(), names.size());
        if (told.startsWith('!'))
            QVERIFY2(!outcome.err.contains(told.mid(1).toUtf8()), outcome.err.constData());
        else if (!told.isEmpty())
            QVERIFY2(outcome.err.contains(told.toUtf8()), outcome.err.constData());
    }

    // No name is free on the word of a service nobody has tested. Each row is a whole check over
    // loopback servers; the list's names are 2 in 3 registered. Faults caught, by row: a resolver
    // that answers NXDOMAIN, or NODATA, to everything believed beside a 404 for everything (every
    // registered .io name free); a .com service that answers 404 for everything believed for the
    // registered names out of the zone (no control asked, or its 404 not taken as a failure); a
    // control asked for every name, or never passed (the query count past 0.2 %, or free names
    // lost); a service that turns to 404 for everything half way not caught by its next control.
    void evidenceChecksItself_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("resolverOptions");
        QTest::addColumn<QStringList>("serviceOptions");   // {registered}: the list's registered names
        QTest::addColumn<QString>("told");
        const QStringList lies {"--free-ratio", "1"};   // 404 for every name
        const QStringList honest {"--registered", "{registered}"};
        QTest::addRow("NXDOMAIN for everything") << "io" << 300 << QStringList {"--dns-nxdomain-all"} << lies
                                                 << "hides what exists (it says .com does not exist)";
        QTest::addRow("NODATA for everything")
            << "io" << 300 << QStringList {"--dns-nodata-all"} << lies << "it says .com has no name servers";
        QTest::addRow(".com 404 for everything, names out of the zone")
            << "com" << 300 << QStringList {"--held-ratio", "0.2"} << lies
            << "a name DNS found delegated in this run, as free: it does not tell registered names from free ones";
        QTest::addRow("honest") << "io" << 3000 << QStringList {} << honest
                                << "1000 asked, 1000 free, 0 registered, 0 unchecked; controls: 1 passed, 0 failed.";
        QTest::addRow("404 for everything half way")
            << "com" << 3000 << QStringList {"--held-ratio", "0.3"} << (honest + QStringList {"--free-after", "700"})
            << "controls: 1 passed, 1 failed; ";
    }
    void evidenceChecksItself()
    {
        QFETCH(QString, ending);
        QFETCH(int, count);
        QFETCH(QStringList, resolverOptions);
        QFETCH(QStringList, serviceOptions);
        QFETCH(QString, told);
        TestFolders folders;
        QStringList names, registered;
        for (int i = 0; i < count; ++i) {
            names << QString("e%1.%2").arg(i).arg(ending);
            if (i % 3 != 0)
                registered << names.last();
        }
        DataFile::rewrite(folders.file("list.txt"), names);
        DataFile::rewrite(folders.file("registered.txt"), registered);
        TestWhoisServer resolver(
            resolverOptions + QStringList {"--registered", folders.file("registered.txt"), "--dns-port", "0"});
        const bool isHonest = serviceOptions == QStringList {"--registered", "{registered}"};
        serviceOptions.replaceInStrings("{registered}", folders.file("registered.txt"));
        TestWhoisServer service(
            serviceOptions + QStringList {"--rdap-port", "0", "--stats", folders.file("stats.txt")});
        EnvironmentVariable bases("TAMARIND_RDAP_BASE", (ending + "=" + service.rdapBase()).toLatin1());
        EnvironmentVariable tick("TAMARIND_TICK_MS", "20");
        const Outcome outcome = check({"--protocol", "rdap", "--dns-server", resolver.dnsAddress(), "--folder",
            folders.program(), folders.file("list.txt")});
        QCOMPARE(outcome.out.size(), names.size());
        QVERIFY2(outcome.err.contains(told.toUtf8()), outcome.err.constData());
        const QStringList listedFree = outcome.out.filter(QRegularExpression("^free ")).replaceInStrings("free ", "");
        int wrong = 0;
        for (const QString &name : listedFree)
            wrong += int(registered.contains(name));
        const int freeNames = int(names.size() - registered.size());
        if (serviceOptions.contains("--free-after")) {
            // At worst the names answered between the turn and the next control.
            QVERIFY2(wrong <= RegistryStage::ControlEvery, qPrintable(QString::number(wrong)));
            return;
        }
        QCOMPARE(wrong, 0);
        if (isHonest) {
            QCOMPARE(listedFree.size(), freeNames);
            // The controls cost the registry at most 0.2 % more queries than the names it was asked.
            const auto answered = [&folders] {
                return readBytes(folders.file("stats.txt")).split('\n').value(0).split(' ').value(1).toLongLong();
            };
            TRY_VERIFY(answered() >= freeNames);
            QVERIFY2(answered() <= freeNames * 1.002, qPrintable(QString::number(answered())));
        }
    }

    // A run stopped while DNS still holds names keeps its place before them (fault caught: the
    // position taken from the registry's names alone, which skips the names DNS had not answered).
    void stopKeepsTheNamesDnsHolds()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "0", "--dns-port", "0", "--dns-latency-ms", "300"});
        QStringList names;
        // 100 names in flight at 300 ms: the run lasts 15 s, the stop comes at its first verdicts.
        for (int i = 0; i < 5000; ++i)
            names << QString("name%1").arg(i);
        DataFile::rewrite(folders.file("list.txt"), names);
        CheckSession session;
        session.setServer(Whois::Server::parse(server.address()));
        QCOMPARE(session.setDns(true, server.dnsAddress()), QString());
        session.selectSource(Source::CustomList, folders.file("list.txt"));
        QSet<QString> answered;
        connect(&session, &CheckSession::verdict, this, [&](const QString &name) { answered.insert(name); });
        QCOMPARE(session.start(1, names.size()), QString());
        TRY_VERIFY(!answered.isEmpty());
        // The panel says what DNS settled (fault caught: the count left out of it).
        QVERIFY2(session.run().openConnectionsText().contains(
                     QString(" - DNS: %1 delegated, 0 to the registry").arg(answered.size())),
            qPrintable(session.run().openConnectionsText()));
        session.stop();
        qint64 firstOpen = 1;
        while (firstOpen <= names.size() && answered.contains(names[int(firstOpen - 1)] + ".com"))
            ++firstOpen;
        QVERIFY2(firstOpen <= names.size(), "the run ended before the stop");
        QCOMPARE(session.run().resumeSaved(), firstOpen);
    }

    // A run stopped while a slow service still holds names of its ending keeps its place before
    // them, though every .com name has its verdict (fault caught: the position taken from the
    // .com pool alone, which skips the .io names still open).
    void stopKeepsTheNamesEachServiceHolds()
    {
        TestFolders folders;
        TestWhoisServer server({"--free-ratio", "1", "--dns-port", "0"});
        // The .io service holds every answer until the test ends.
        TestWhoisServer io(
            QStringList {"--free-ratio", "1", "--rdap-port", "0"} + holdingReplies(0, folders.file("hold")));
        EnvironmentVariable bases("TAMARIND_RDAP_BASE", ("io=" + io.rdapBase()).toLatin1());
        QStringList words;
        for (int i = 0; i < 30; ++i)
            words << QString("word%1").arg(i);
        DataFile::rewrite(folders.file("list.txt"), words);
        CheckSession session;
        session.setServer(Whois::Server::parse(server.address()));
        QCOMPARE(session.setDns(true, server.dnsAddress()), QString());
        session.run().setEndings({"com", "io"});
        session.selectSource(Source::CustomList, folders.file("list.txt"));
        QSignalSpy verdicts(&session, &CheckSession::verdict);
        QCOMPARE(session.start(1, words.size()), QString());
        TRY_COMPARE(verdicts.size(), words.size());   // the .com names; the .io ones wait
        session.stop();
        QCOMPARE(session.run().resumeSaved(), 1);
    }

    // A name under another ending that DNS cannot vouch for is settled (unchecked) while the
    // registry's pool is still taking names; the position saved then keeps the names it has taken.
    // Fault caught: names held aside until every slot is filled, so that the position passes them.
    void positionKeepsTheNamesBeingTaken()
    {
        TestFolders folders;
        TestWhoisServer server;
        DataFile::rewrite(folders.file("list.txt"), {"a.com", "b.io", "c.com"});
        CheckSession session;
        session.setServer(Whois::Server::parse(server.address()));
        QVERIFY(!session.setDns(false, "no resolver here").isEmpty());   // DNS cannot be asked at all
        session.selectSource(Source::CustomList, folders.file("list.txt"));
        qint64 savedAtUnchecked = -1;
        connect(
            &session.dns(), &DnsStage::withoutEvidence, this, [&] { savedAtUnchecked = session.run().resumeSaved(); });
        QCOMPARE(session.start(1, 3), QString());
        TRY_VERIFY(!session.isRunning());
        QCOMPARE(savedAtUnchecked, 1);
        QCOMPARE(session.results().uncheckedCount(), 1);
    }

    // Each ending goes to its own service: .com to WHOIS, the others over RDAP at the service the
    // override file names, a bare word under each ending chosen, an ending without a service
    // skipped and told. Faults caught: another ending asked of the .com WHOIS server, every RDAP
    // name sent to one service, a bare word asked under .com alone, a name asked that no service
    // answers.
    void eachEndingAtItsService()
    {
        TestFolders folders;
        TestWhoisServer whois({"--free-ratio", "1", "--dns-port", "0", "--log", folders.file("com.log")});
        std::vector<std::unique_ptr<TestWhoisServer>> rdap;
        QByteArray overrides;
        for (const QString ending : {"org", "io", "dev"}) {
            rdap.push_back(std::make_unique<TestWhoisServer>(
                QStringList {"--free-ratio", "1", "--rdap-port", "0", "--log", folders.file(ending + ".log")}));
            overrides += (ending + ' ' + rdap.back()->rdapBase() + '\n').toLatin1();
        }
        writeBytes(folders.file("rdap-overrides.txt"), overrides);
        // The setting names .com and .net only, so that the files say where the other endings go.
        const QByteArray setting = qgetenv("TAMARIND_RDAP_BASE");
        qputenv("TAMARIND_RDAP_BASE", "com=http://127.0.0.1:9/ net=http://127.0.0.1:9/");
        const auto restore = qScopeGuard([&] { qputenv("TAMARIND_RDAP_BASE", setting); });
        DataFile::rewrite(folders.file("list.txt"), {"bare", "a.org", "b.io", "c.dev", "d.com", "e.zz"});

        const Outcome outcome = check({"--server", whois.address(), "--dns-server", whois.dnsAddress(), "--endings",
            "com,org", "--folder", folders.program(), folders.file("list.txt")});
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(outcome.out,
            (QStringList {"free a.org", "free b.io", "free bare.com", "free bare.org", "free c.dev", "free d.com"}));
        const auto asked = [&](const QString &log) {
            QStringList names = fileEntries(folders.file(log));
            names.sort();
            return names;
        };
        QCOMPARE(asked("com.log"), (QStringList {"bare.com", "d.com"}));
        QCOMPARE(asked("org.log"), (QStringList {"a.org", "bare.org"}));
        QCOMPARE(asked("io.log"), QStringList {"b.io"});
        QCOMPARE(asked("dev.log"), QStringList {"c.dev"});
        QVERIFY2(outcome.err.contains("1 name under .zz: no registry service is known for it"), outcome.err);
    }

    // A service of another ending that cannot be reached costs only its own names their verdicts,
    // on the path a user takes (its slow and strict kin are the stage's tests, without sockets). 30
    // .io names come first in the list, then 40 .com names. Faults caught: the run stopped, or .io
    // names listed free, when the .io service cannot be reached.
    void unreachableServiceCostsOnlyItsNames()
    {
        TestFolders folders;
        TestWhoisServer whois({"--free-ratio", "1", "--dns-port", "0"});
        const QString ioBase = QString("http://127.0.0.1:%1/").arg(unusedPort());
        EnvironmentVariable bases("TAMARIND_RDAP_BASE", ("io=" + ioBase).toLatin1());
        EnvironmentVariable tick("TAMARIND_TICK_MS", "100");
        QStringList names;
        for (int i = 0; i < 30; ++i)
            names << QString("a%1.io").arg(i);
        for (int i = 0; i < 40; ++i)
            names << QString("b%1.com").arg(i);
        DataFile::rewrite(folders.file("list.txt"), names);

        const Outcome outcome = check({"--server", whois.address(), "--dns-server", whois.dnsAddress(), "--folder",
                                          folders.program(), folders.file("list.txt")},
            false);
        QCOMPARE(outcome.exitCode, 1);   // names without a verdict
        QCOMPARE(outcome.out.size(), names.size());
        QCOMPARE(outcome.out.filter(QRegularExpression("^free b")).size(), 40);
        QCOMPARE(outcome.out.filter(QRegularExpression("^unchecked a")).size(), 30);
        QVERIFY2(outcome.err.contains(QString("The RDAP service %1 cannot be reached").arg(ioBase.chopped(1)).toUtf8())
                && outcome.err.contains("30 of its names are listed as unchecked.")
                && outcome.err.contains("every entry of"),
            outcome.err);
    }
};

QTEST_GUILESS_MAIN(TestDnsFirst)
#include "TestDnsFirst.moc"
