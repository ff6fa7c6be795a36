#include "TestSupport.h"
#include "app/ProgramFolder.h"
#include "engine/ServiceDirectory.h"
#include "engine/WhoisRules.h"
#include "engine/WhoisServers.h"

#include <QStringEncoder>
#include <QTest>

namespace {

// Rules in the shapes the shipped file uses: a name after "Domain:", a name before "is free", a
// name in quotes, a free sentence that names nothing.
const QByteArray Book = R"(
[whois.example.de]
endings = de
query = -T dn,ace {name}
naming = Domain: {name}
free = Status: free
registered = Status: connect
reserved = Status: reserved
quarantine = Status: quarantine
premium = Premium: yes
limit = access control limit reached
[whois.example.nl]
endings = nl co.uk
free = {name} is free
registered = Domain name: {name}
[whois.example.fr]
endings = fr
free = No entries found
registered = domain: {name}
limit = Too many requests
)";

QString outcome(const LookupAnswer &answer)
{
    if (answer.throttled)
        return "throttled";
    if (answer.reserved)
        return "reserved";
    if (answer.kind != LookupAnswer::Kind::Verdict)
        return "none";
    if (answer.unregistered)
        return answer.state.premium ? "premium" : "free";
    return answer.state.phase == NameState::Phase::Quarantine ? "quarantine" : "registered";
}

}   // namespace

class TestWhoisRules : public QObject
{
    Q_OBJECT

private slots:
    // Each rule at its edges. Faults caught: a name found inside a longer one ("cab.nl is free"
    // read for ab.nl); a limit notice beside the free sentence read as free; a reply naming
    // another name, or both a free and a registered sentence, given a verdict; a reply in Latin-1,
    // or naming the name in Unicode or in capitals, missed; a word read as part of a longer one
    // ("free" in "freeze"); reserved, quarantine and premium sentences not heard.
    void readsByTheRegistrysWords_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("expected");
        const QString umlaut = "xn--tstdomain-v2a.de";   // tästdomain.de
        QTest::addRow("free") << "abc.de" << QByteArray("Domain: abc.de\nStatus: free\n") << "free";
        QTest::addRow("any spacing and case")
            << "abc.de" << QByteArray("domain:\tABC.DE\r\nstatus:    FREE\r\n") << "free";
        QTest::addRow("another name") << "abc.de" << QByteArray("Domain: xabc.de\nStatus: free\n") << "none";
        QTest::addRow("a longer word") << "abc.de" << QByteArray("Domain: abc.de\nStatus: freeze\n") << "none";
        QTest::addRow("registered") << "abc.de" << QByteArray("Domain: abc.de\nStatus: connect\n") << "registered";
        QTest::addRow("free and registered")
            << "abc.de" << QByteArray("Domain: abc.de\nStatus: free\nStatus: connect\n") << "none";
        QTest::addRow("limit beside free")
            << "abc.de" << QByteArray("% access control limit reached\nDomain: abc.de\nStatus: free\n") << "throttled";
        QTest::addRow("reserved") << "abc.de" << QByteArray("Domain: abc.de\nStatus: reserved\n") << "reserved";
        QTest::addRow("quarantine") << "abc.de" << QByteArray("Domain: abc.de\nStatus: quarantine\n") << "quarantine";
        QTest::addRow("premium") << "abc.de" << QByteArray("Domain: abc.de\nStatus: free\nPremium: yes\n") << "premium";
        QTest::addRow("UTF-8, asked in IDNA")
            << umlaut << QString("Domain: tästdomain.de\nStatus: free\n").toUtf8() << "free";
        QTest::addRow("Latin-1, asked in IDNA")
            << umlaut
            << QByteArray(QStringEncoder(QStringEncoder::Latin1)(QString("Domain: tästdomain.de\nStatus: free\n")))
            << "free";
        QTest::addRow("name first") << "ab.nl" << QByteArray("ab.nl is free\n") << "free";
        QTest::addRow("name inside a longer one") << "ab.nl" << QByteArray("cab.nl is free\n") << "none";
        QTest::addRow("longest ending's rules") << "ab.co.uk" << QByteArray("AB.CO.UK is free\n") << "free";
        QTest::addRow("free sentence naming nothing") << "ab.fr" << QByteArray("%% No entries found\n") << "free";
        QTest::addRow("limit notice ending in the free sentence")
            << "ab.fr" << QByteArray("%% Too many requests...\n%%\n%% No entries found\n") << "throttled";
        QTest::addRow("an empty close") << "ab.fr" << QByteArray() << "throttled";
        QTest::addRow("a notice no rule knows") << "ab.fr" << QByteArray("Please slow down\n") << "throttled";
        QTest::addRow("a reply no rule reads") << "ab.fr" << QByteArray("Something else entirely\n") << "none";
    }
    void readsByTheRegistrysWords()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, reply);
        QFETCH(QString, expected);
        QString error;
        const std::optional<WhoisRuleBook> book = WhoisRuleBook::parse(Book, &error);
        QVERIFY2(book, qPrintable(error));
        const WhoisRules *rules = book->forName(name);
        QVERIFY(rules);
        QCOMPARE(outcome(rules->read(reply, name)), expected);
    }

    void queryInTheRegistrysForm()
    {
        QString error;
        const std::optional<WhoisRuleBook> book = WhoisRuleBook::parse(Book, &error);
        QCOMPARE(book->forName("abc.de")->queryFor("abc.de"), QByteArray("-T dn,ace abc.de"));
        QCOMPARE(book->forName("ab.nl")->queryFor("ab.nl"), QByteArray("ab.nl"));
        QCOMPARE(book->forName("ab.com"), nullptr);
    }

    // A rules file is taken whole or not at all, and says which line is wrong. Faults caught: a
    // file half read, a set that can give no verdict, a query that never names the name.
    void malformedRulesRefusedWhole_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        QTest::addRow("key before a set") << QByteArray("free = x\n") << "line 1 ";
        QTest::addRow("unknown key") << QByteArray("[a]\nendings = de\nfree = x\ncolour = red\n") << "line 4 ";
        QTest::addRow("key without a value") << QByteArray("[a]\nendings = de\nfree =\n") << "line 3 ";
        QTest::addRow("query without the name") << QByteArray("[a]\nendings = de\nquery = -T\nfree = x\n") << "line 3 ";
        QTest::addRow("pace not a number")
            << QByteArray("[a]\nendings = de\nfree = x\nper-minute = soon\n") << "line 4 ";
        QTest::addRow("no ending") << QByteArray("[a]\nfree = x\n[b]\nendings = nl\nfree = y\n")
                                   << "the rules of a, ending before line 3";
        QTest::addRow("no verdict") << QByteArray("[a]\nendings = de\nlimit = x\n") << "the rules of a";
    }
    void malformedRulesRefusedWhole()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        QString said;
        QVERIFY(!WhoisRuleBook::parse(text, &said));
        QVERIFY2(said.startsWith(error), qPrintable(said));
    }

    // The program folder's rules are read instead of the shipped ones; a copy that cannot be used
    // is told, with its line, and the shipped rules serve. Fault caught: a broken copy leaving
    // every registry without rules, silently.
    void programFolderRulesOverShipped()
    {
        TestFolders folders;
        ProgramFolder::setPath(folders.program());
        QString problem;
        std::shared_ptr<const WhoisRuleBook> shipped = loadWhoisRules(&problem);
        QVERIFY(problem.isEmpty());
        QVERIFY(shipped->forEnding("de") && shipped->byEnding.size() >= 19);

        writeBytes(folders.file(WhoisRulesFileName), "[whois.example]\nendings = de\nfree = gone\n");
        std::shared_ptr<const WhoisRuleBook> own = loadWhoisRules(&problem);
        QCOMPARE(own->path, folders.file(WhoisRulesFileName));
        QCOMPARE(own->forEnding("de")->free, QStringList {"gone"});
        QVERIFY(!own->forEnding("nl"));

        writeBytes(folders.file(WhoisRulesFileName), "[whois.example]\nendings = de\nfree = gone\nnonsense\n");
        std::shared_ptr<const WhoisRuleBook> fallback = loadWhoisRules(&problem);
        QCOMPARE(fallback->path, shipped->path);
        QVERIFY2(problem.contains("line 4 is no rule") && problem.contains("the shipped rules are used"),
            qPrintable(problem));
        ProgramFolder::setPath({});
    }

    // Faults caught: an ENDING=HOST item taken for a bare server, a second bare server accepted,
    // .com left without its registry when only other endings are named.
    void serverItems_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("comNet");
        QTest::addColumn<QString>("endings");   // "ENDING=HOST:PORT" sorted; "-": refused
        QTest::addRow("bare") << "127.0.0.1:4343"
                              << "127.0.0.1:4343"
                              << "";
        QTest::addRow("bare and endings") << "h:1 de=whois.denic.de, .NL=h2:4343"
                                          << "h:1"
                                          << "de=whois.denic.de:43 nl=h2:4343";
        QTest::addRow("endings only") << "de=h"
                                      << "whois.verisign-grs.com:43"
                                      << "de=h:43";
        QTest::addRow("two bare servers") << "h1 h2"
                                          << ""
                                          << "-";
        QTest::addRow("no ending") << "=h"
                                   << ""
                                   << "-";
        QTest::addRow("no server") << "de="
                                   << ""
                                   << "-";
    }
    void serverItems()
    {
        QFETCH(QString, text);
        QFETCH(QString, comNet);
        QFETCH(QString, endings);
        const std::optional<Whois::ServerItems> items = Whois::parseServerItems(text);
        QCOMPARE(items.has_value(), endings != "-");
        if (!items)
            return;
        QCOMPARE(items->comNet.text(), comNet);
        QStringList named;
        for (auto it = items->byEnding.cbegin(); it != items->byEnding.cend(); ++it)
            named << it.key() + "=" + it.value().text();
        named.sort();
        QCOMPARE(named.join(' '), endings);
    }

    // Which service asks a name. Faults caught: "whois" asking a server whose replies nothing can
    // read while an RDAP service is known; a service given for an ending losing to one only known
    // from the files; "rdap" asking WHOIS; an ending served by nothing not skipped.
    void routesEachEnding_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("rdap");    // the ending's RDAP service: "given", "known" or none
        QTest::addColumn<QString>("whois");   // its WHOIS server, likewise
        QTest::addColumn<QString>("asked");   // "rdap", "whois" or "unserved"
        QTest::addRow("whois, rules known") << "whois"
                                            << "a.de"
                                            << "known"
                                            << "known"
                                            << "whois";
        QTest::addRow("whois, no rules") << "whois"
                                         << "a.io"
                                         << "known"
                                         << "known"
                                         << "rdap";
        QTest::addRow("whois, only a server") << "whois"
                                              << "a.io"
                                              << ""
                                              << "known"
                                              << "whois";
        QTest::addRow("whois, RDAP given") << "whois"
                                           << "a.de"
                                           << "given"
                                           << "known"
                                           << "rdap";
        QTest::addRow("auto, both known") << "auto"
                                          << "a.de"
                                          << "known"
                                          << "known"
                                          << "rdap";
        QTest::addRow("auto, server given") << "auto"
                                            << "a.de"
                                            << "known"
                                            << "given"
                                            << "whois";
        QTest::addRow("auto, only a server") << "auto"
                                             << "a.io"
                                             << ""
                                             << "known"
                                             << "whois";
        QTest::addRow("rdap, only a server") << "rdap"
                                             << "a.de"
                                             << ""
                                             << "known"
                                             << "unserved";
        QTest::addRow("nothing known") << "auto"
                                       << "a.zz"
                                       << ""
                                       << ""
                                       << "unserved";
    }
    void routesEachEnding()
    {
        QFETCH(QString, protocol);
        QFETCH(QString, name);
        QFETCH(QString, rdap);
        QFETCH(QString, whois);
        QFETCH(QString, asked);
        const QString ending = name.section('.', -1);
        ServiceDirectory directory({}, *Rdap::parseProtocol(protocol), *Rdap::Bases::parse("https://rdap.example/"));
        const QUrl service("https://rdap.example/" + ending + "/");
        if (rdap == "given")
            directory.bases.byEnding.insert(ending, service);
        else if (rdap == "known")
            directory.bases.known.insert(ending, service);
        if (whois == "given")
            directory.whoisServers.byEnding.insert(ending, Whois::Server::parse("w.example"));
        else if (whois == "known")
            directory.whoisServers.known.insert(ending, Whois::Server::parse("w.example"));
        QString error;
        directory.rules = std::make_shared<const WhoisRuleBook>(*WhoisRuleBook::parse(Book, &error));
        const NameService named = directory.serviceFor(name);
        const QString kind = !named.isServed() ? "unserved" : named.isWhois() ? "whois" : "rdap";
        QCOMPARE(kind, asked);
        QCOMPARE(named.key,
            asked == "whois"      ? QString("whois://w.example:43")
                : asked == "rdap" ? "https://rdap.example"
                                  : "unserved:" + ending);
    }
};

QTEST_GUILESS_MAIN(TestWhoisRules)
#include "TestWhoisRules.moc"
