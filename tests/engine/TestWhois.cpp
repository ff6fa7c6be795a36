#include "TestSupport.h"
#include "engine/NameState.h"
#include "engine/Whois.h"
#include "engine/WhoisServers.h"
#include "run/LineTally.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class TestWhois : public QObject
{
    Q_OBJECT

private slots:
    // Each row is a line as people paste it; the fault it catches is a name asked in a form the
    // registry has no record of (and so reported free), or a line cut into a guess.
    void prepareLookup_data()
    {
        QTest::addColumn<QString>("candidate");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("skip");
        const int asked = int(Names::Skip::None), blank = int(Names::Skip::Blank),
                  more = int(Names::Skip::MoreThanAName), bad = int(Names::Skip::NotRegistrable),
                  noIdna = int(Names::Skip::NoIdnaForm);
        QTest::addRow("bare word") << "abc"
                                   << "abc.com" << asked;
        QTest::addRow("text after the first colon") << "xx:abc"
                                                    << "abc.com" << asked;
        QTest::addRow("search operator") << "site:shop.net"
                                         << "shop.net" << asked;
        QTest::addRow(".net in capitals") << "ABC.NET"
                                          << "ABC.NET" << asked;
        QTest::addRow("decoded and cleaned") << "Best%20Buy"
                                             << "BestBuy.com" << asked;
        QTest::addRow("line break decoded") << "ab%0D%0Acd"
                                            << "abcd.com" << asked;
        QTest::addRow("raw control characters") << QString("a\x01"
                                                           "b\x7f"
                                                           "c")
                                                << "abc.com" << asked;
        QTest::addRow("spaces and tabs around") << " \tgoogle.com \t"
                                                << "google.com" << asked;
        QTest::addRow("URL") << "http://google.com/"
                             << "google.com" << asked;
        QTest::addRow("URL with everything") << "https://user@WWW.Example.com:8080/x?y#z"
                                             << "example.com" << asked;
        QTest::addRow("URL of a bare host") << "https://localhost/"
                                            << "localhost.com" << asked;
        QTest::addRow("encoded URL") << "http%3A%2F%2Fgoogle.com%2Fsearch"
                                     << "google.com" << asked;
        QTest::addRow("host name") << "www.google.com"
                                   << "google.com" << asked;
        QTest::addRow("deeper host") << "shop.example.net"
                                     << "example.net" << asked;
        QTest::addRow("trailing dot") << "google.com."
                                      << "google.com" << asked;
        QTest::addRow("port") << "example.com:43"
                              << "example.com" << asked;
        QTest::addRow("path") << "google.com/about"
                              << "google.com" << asked;
        QTest::addRow("query") << "google.com?q=1"
                               << "google.com" << asked;
        QTest::addRow("operator and path") << "site:shop.net/x"
                                           << "shop.net" << asked;
        QTest::addRow("e-mail address") << "someone@hotelsample.com"
                                        << "hotelsample.com" << asked;
        QTest::addRow("63 letters") << QString(63, 'a') + ".com" << QString(63, 'a') + ".com" << asked;
        QTest::addRow("hyphen inside") << "my-shop.com"
                                       << "my-shop.com" << asked;
        QTest::addRow("letters outside ASCII: IDNA")
            << QString::fromUtf8("日本語.com") << "xn--wgv71a119e.com" << asked;
        QTest::addRow("Latin-1 letters: IDNA") << QString::fromLatin1("B\xfc"
                                                                      "cher")
                                               << "xn--bcher-kva.com" << asked;
        QTest::addRow("valid xn-- label") << "xn--bcher-kva.com"
                                          << "xn--bcher-kva.com" << asked;
        // Faults caught: a dot outside ASCII read after ".com" is added (google。com asked as
        // com.com); "--" in the 3rd and 4th place, look-alike letters of two scripts, or a NUL asked.
        QTest::addRow("ideographic full stop") << QString::fromUtf8("google。com") << "google.com" << asked;
        QTest::addRow("half-width full stops") << QString::fromUtf8("shop｡example｡net") << "example.net" << asked;
        QTest::addRow("full-width full stop") << QString::fromUtf8("google．com") << "google.com" << asked;
        // Faults caught: the dots mapped after the port or path is cut ("43.com", "google.comabout").
        QTest::addRow("ideographic full stop, port") << QString::fromUtf8("google。com:43") << "google.com" << asked;
        QTest::addRow("ideographic full stop, path") << QString::fromUtf8("google。com/about") << "google.com" << asked;
        QTest::addRow("hyphens in 3rd and 4th place") << "ab--cd.com"
                                                      << "" << bad;
        QTest::addRow("hyphens in 2nd and 3rd place") << "a--b.com"
                                                      << "a--b.com" << asked;
        QTest::addRow("Cyrillic beside Latin")
            << QString::fromUtf8("раypal.com") << "" << int(Names::Skip::MixedScripts);
        QTest::addRow("Cyrillic beside Latin, as IDNA") << "xn--ypal-43d9g.com"
                                                        << "" << int(Names::Skip::MixedScripts);
        QTest::addRow("Greek beside Latin") << QString::fromUtf8("gοogle") << "" << int(Names::Skip::MixedScripts);
        QTest::addRow("all Cyrillic") << QString::fromUtf8("пример.com") << "xn--e1afmkfd.com" << asked;
        QTest::addRow("Han and Hiragana with Latin")
            << QString::fromUtf8("myにほん日本") << "xn--my-sb4asc4fu476ao4b.com" << asked;
        QTest::addRow("NUL inside") << QString("good") + QChar(0) + "evil.com"
                                    << "" << int(Names::Skip::NulCharacter);
        QTest::addRow("empty") << ""
                               << "" << blank;
        QTest::addRow("one space") << " "
                                   << "" << blank;
        QTest::addRow("words after the name") << "google.com registered 2001"
                                              << "" << more;
        QTest::addRow("CSV line") << "google.com,registered"
                                  << "" << more;
        QTest::addRow("comment") << "example.com # mine"
                                 << "" << more;
        QTest::addRow("tab inside") << "google.com\t2001"
                                    << "" << more;
        // A name keeps its ending; the registrable name is a label and ICANN's public suffix
        // (fault caught: the last two labels taken, "com.au" asked for shop.com.au).
        QTest::addRow("other ending") << "abc.org"
                                      << "abc.org" << asked;
        QTest::addRow(".com inside another ending") << "my.company"
                                                    << "my.company" << asked;
        QTest::addRow("URL of another ending") << "https://www.example.org/"
                                               << "example.org" << asked;
        QTest::addRow(".com below a country") << "shop.com.au"
                                              << "shop.com.au" << asked;
        QTest::addRow("host under a country's .co") << "www.shop.example.co.uk"
                                                    << "example.co.uk" << asked;
        QTest::addRow("private suffix is no registry") << "user.github.io"
                                                       << "github.io" << asked;
        QTest::addRow("ending unknown to the list") << "a.b.unlisted"
                                                    << "b.unlisted" << asked;
        QTest::addRow("a public suffix") << "co.uk"
                                         << "" << int(Names::Skip::PublicSuffix);
        QTest::addRow("64 letters") << QString(64, 'a') + ".com"
                                    << "" << bad;
        QTest::addRow("254 characters") << QString(62, 'a') + "." + QString(62, 'b') + "." + QString(62, 'c') + "."
                + QString(62, 'd') + ".com"
                                        << "" << bad;
        QTest::addRow("leading hyphen") << "-bad.com"
                                        << "" << bad;
        QTest::addRow("trailing hyphen") << "my-.com"
                                         << "" << bad;
        QTest::addRow("empty xn-- label") << "xn--.com"
                                          << "" << bad;
        QTest::addRow("xn-- label that is no IDNA") << "xn--abc.com"
                                                    << "" << bad;
        QTest::addRow("cleans to nothing") << "!!!"
                                           << "" << bad;
        QTest::addRow("bare ending") << ".com"
                                     << "" << bad;
        QTest::addRow("two dots") << "abc..com"
                                  << "" << bad;
        QTest::addRow("quotes") << "\"google.com\""
                                << "" << bad;
        // Addresses are no names: fault caught, "2001:db8::1" asked as db81.com, "fe80::1" as 1.com,
        // "192.168.0.1" as 0.1 (and listed free).
        const int address = int(Names::Skip::Address);
        QTest::addRow("IPv6 URL") << "http://[::1]/"
                                  << "" << address;
        QTest::addRow("IPv6 URL with a port") << "https://[2001:db8::1]:8443/x"
                                              << "" << address;
        QTest::addRow("IPv6") << "2001:db8::1"
                              << "" << address;
        QTest::addRow("link-local IPv6") << "fe80::1"
                                         << "" << address;
        QTest::addRow("IPv6 in brackets") << "[2001:db8::1]"
                                          << "" << address;
        QTest::addRow("IPv4") << "192.168.0.1"
                              << "" << address;
        QTest::addRow("IPv4 URL with a port") << "http://10.0.0.1:8080/x"
                                              << "" << address;
        QTest::addRow("IPv4 with a port") << "10.0.0.1:43"
                                          << "" << address;
        QTest::addRow("dotted numbers") << "3.4"
                                        << "" << address;
        QTest::addRow("digits under an ending") << "123.com"
                                                << "123.com" << asked;
        QTest::addRow("a bare number") << "1234"
                                       << "1234.com" << asked;
        QTest::addRow("line separator") << QString::fromUtf8("a\u2028b.com") << "" << more;
        QTest::addRow("no IDNA form") << QString::fromUtf8("\u200b\u200b.com") << "" << noIdna;
    }
    void prepareLookup()
    {
        QFETCH(QString, candidate);
        QFETCH(QString, expected);
        QFETCH(int, skip);
        const Names::LookupName prepared = Names::prepareLookup(candidate);
        QCOMPARE(prepared.name, expected);
        QCOMPARE(int(prepared.skip), skip);
        QCOMPARE(Names::prepareLookupName(candidate), expected);
        if (expected.startsWith("xn--") && expected != "xn--bcher-kva.com")   // the reader's form for the verdict line
            QVERIFY(!Names::unicodeForm(expected).startsWith("xn--"));
    }

    // One reading of a line, whatever path it takes: a run over a list (with or without endings),
    // `tamarind-cli whois` and the harvest window's checks ask the same name. Faults caught: the
    // harvest testing for ".com" before dots outside ASCII are mapped ("www.google。com" skipped
    // there, asked in a run); "abc." with endings asked as "abc..com"; a path of its own that
    // decodes or cleans otherwise.
    void oneReadingOfALine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("bareWord");   // no name for the harvest, which takes names from pages
        QTest::addRow("dots outside ASCII") << QString::fromUtf8("www.google。com") << "google.com" << false;
        QTest::addRow("and a port") << QString::fromUtf8("google。com:43") << "google.com" << false;
        QTest::addRow("the root's dot") << "abc."
                                        << "abc.com" << true;
        QTest::addRow("a URL") << "http://www.d1.com/x?q=1"
                               << "d1.com" << false;
        QTest::addRow("an operator and a path") << "site:shop.net/x"
                                                << "shop.net" << false;
        QTest::addRow("an e-mail address") << "someone@hotelsample.com"
                                           << "hotelsample.com" << false;
        QTest::addRow("escapes and punctuation") << "Best%20Buy!.com"
                                                 << "BestBuy.com" << false;
        QTest::addRow("a bare word") << "golf"
                                     << "golf.com" << true;
    }
    void oneReadingOfALine()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QFETCH(bool, bareWord);
        QCOMPARE(Names::prepareLookup(line).name, expected);   // tamarind-cli whois
        LineTally run;
        QCOMPARE(run.namesOf(line, {}), QStringList {expected});
        QCOMPARE(run.namesOf(line, {"com"}), QStringList {expected});
        QCOMPARE(Names::harvestedName(line).name, bareWord ? QString() : expected);
        if (bareWord)
            QCOMPARE(run.namesOf(line, {"com", "net"}), (QStringList {expected, expected.chopped(3) + "net"}));
    }

    // Faults caught: "No match" for another name, or a remark of the asked name's own record,
    // taken for free; a reply about two names taken for a verdict.
    void verdict_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QByteArray>("marker");
        QTest::addColumn<int>("verdict");
        const int free = int(Verdict::Free), registered = int(Verdict::Registered), none = int(Verdict::None);
        const QByteArray marker("Domain Name:");
        QTest::addRow("registry wording") << QByteArray("No match for \"ABC.COM\".\r\n") << marker << free;
        QTest::addRow("capitals, no quotes") << QByteArray("NO MATCH FOR abc.com") << marker << free;
        QTest::addRow("after a notice") << QByteArray("notice\r\n no match for abc.com.\r\n") << marker << free;
        QTest::addRow("answer to a domain query")
            << QByteArray("No match for domain \"ABC.COM\".\r\n") << marker << free;
        QTest::addRow("domain query, another name")
            << QByteArray("No match for domain \"SOMEONE-ELSE.COM\".\r\n") << marker << none;
        QTest::addRow("another name") << QByteArray("No match for \"SOMEONE-ELSE.COM\".\r\n") << marker << none;
        QTest::addRow("the name and another")
            << QByteArray("No match for \"ABC.COM\".\r\nNo match for \"XYZ.COM\".\r\n") << marker << none;
        QTest::addRow("a longer name") << QByteArray("No match for \"ABC.COM.AU\".") << marker << none;
        QTest::addRow("no name") << QByteArray("No match for\r\n") << marker << none;
        QTest::addRow("record") << QByteArray("   Domain Name: ABC.COM\r\n") << marker << registered;
        QTest::addRow("record in other case") << QByteArray("domain name: abc.com") << marker << registered;
        QTest::addRow("record with a No match remark")
            << QByteArray("Domain Name: ABC.COM\r\nRemark: No match for \"ABC.COM\" in the old database\r\n") << marker
            << registered;
        QTest::addRow("record of another name") << QByteArray("Domain Name: XYZ.COM\r\n") << marker << none;
        QTest::addRow("free here, record of another")
            << QByteArray("No match for \"ABC.COM\".\r\nDomain Name: XYZ.COM\r\n") << marker << none;
        QTest::addRow("empty close") << QByteArray() << marker << none;
        QTest::addRow("limit notice") << QByteArray(
            "Your connection limit exceeded. Please slow down and try again later.\r\n")
                                      << marker << none;
        QTest::addRow("broken phrase") << QByteArray("No match\r\nfor abc.com") << marker << none;
        QTest::addRow("cut record") << QByteArray(1000, 'x') << marker << none;
        QTest::addRow("no marker: empty is registered") << QByteArray() << QByteArray() << registered;
        QTest::addRow("no marker: notice is registered") << QByteArray("slow down") << QByteArray() << registered;
        QTest::addRow("no marker: free") << QByteArray("No match for abc.com") << QByteArray() << free;
        QTest::addRow("no marker: another name") << QByteArray("No match for x.com") << QByteArray() << none;
    }
    void verdict()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QByteArray, marker);
        QFETCH(int, verdict);
        QCOMPARE(int(Whois::replyVerdict(reply, marker, "abc.com")), verdict);
    }

    // A registered record's state, from real captures where there are any. Faults caught: the
    // pendingDelete shown beside redemptionPeriod taken for the phase (a release 30 days early), the
    // older record format missed, the .com cycle applied to another ending, a release made up without
    // the date the state was set, the RDAP events misread.
    void nameState_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("record");   // a WHOIS reply, or an RDAP body starting with "{"
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("phase");
        QTest::addColumn<QString>("expires");
        QTest::addColumn<QString>("release");
        QTest::addColumn<QString>("today");
        QTest::addColumn<QString>("why");   // a part of why the release is unknown; empty: no reason
        const QString data = TAMARIND_TEST_DATA "/registries/whois/";
        QTest::addRow("Verisign, redemption (captured)")
            << "test.com" << readBytes(data + "test.com") << "clientTransferProhibited redemptionPeriod"
            << "redemptionPeriod"
            << "2021-12-06"
            << "2022-02-21"
            << "2022-01-20"
            << "";
        QTest::addRow("Verisign, older format, pendingDelete (captured)")
            << "killianestates.com" << readBytes(data + "killianestates.com") << "pendingDelete"
            << "pendingDelete"
            << "2013-05-26"
            << "2013-05-10"
            << "2013-05-07"
            << "";
        QTest::addRow("Verisign, held (captured)") << "google.com" << readBytes(data + "google.com")
                                                   << "clientDeleteProhibited clientTransferProhibited "
                                                      "clientUpdateProhibited serverDeleteProhibited "
                                                      "serverTransferProhibited serverUpdateProhibited"
                                                   << ""
                                                   << "2020-09-14"
                                                   << ""
                                                   << "2026-12-10"
                                                   << "";
        const QByteArray both = "Domain Name: A.NET\r\nUpdated Date: 2026-11-20T10:00:00Z\r\n"
                                "Domain Status: pendingDelete https://icann.org/epp#pendingDelete\r\n"
                                "Domain Status: redemptionPeriod https://icann.org/epp#redemptionPeriod\r\n";
        QTest::addRow("pendingDelete beside redemptionPeriod") << "a.net" << both << "pendingDelete redemptionPeriod"
                                                               << "redemptionPeriod"
                                                               << ""
                                                               << "2026-12-25"
                                                               << "2026-12-10"
                                                               << "";
        QTest::addRow("another ending: release unknown")
            << "a.io" << QByteArray(both).replace("A.NET", "A.IO") << "pendingDelete redemptionPeriod"
            << "redemptionPeriod"
            << ""
            << ""
            << "2026-12-10"
            << "";
        QTest::addRow("no date the state was set")
            << "a.com" << QByteArray("Domain Name: A.COM\r\nDomain Status: pendingDelete\r\n") << "pendingDelete"
            << "pendingDelete"
            << ""
            << ""
            << "2026-12-10"
            << "no last-change date";
        QTest::addRow("RDAP, pending delete")
            << "a.com"
            << QByteArray(R"({"objectClassName":"domain","ldhName":"A.COM","status":["pending delete"],)"
                          R"("events":[{"eventAction":"expiration","eventDate":"2026-09-01T09:26:53Z"},)"
                          R"({"eventAction":"last changed","eventDate":"2026-12-01T23:59:59Z"},)"
                          R"({"eventAction":"last update of RDAP database","eventDate":"2026-12-09T10:00:00Z"}]})")
            << "pending delete"
            << "pendingDelete"
            << "2026-09-01"
            << "2026-12-06"
            << "2026-12-02"
            << "";
        // Release dates within reason (faults caught: a release in the future beyond any cycle, one in
        // 2001, the later of two last changes taken, an empty field for a year no record holds, a
        // status in words or capitals missed).
        const auto redemption = [](const QByteArray &updated, const QByteArray &status = "redemptionPeriod") {
            return "Domain Name: A.COM\r\n" + updated + "Domain Status: " + status + "\r\n";
        };
        QTest::addRow("last change in the future")
            << "a.com" << redemption("Updated Date: 2026-12-20T00:00:00Z\r\n") << "redemptionPeriod"
            << "redemptionPeriod"
            << ""
            << ""
            << "2026-12-10"
            << "2026-12-20, is in the future";
        QTest::addRow("the cycle has run out")
            << "a.com" << redemption("Updated Date: 2001-01-01T00:00:00Z\r\n") << "redemptionPeriod"
            << "redemptionPeriod"
            << ""
            << ""
            << "2026-12-10"
            << "ended on 2001-02-05";
        QTest::addRow("the last day of the cycle")
            << "a.com" << redemption("Updated Date: 2026-11-05T00:00:00Z\r\n") << "redemptionPeriod"
            << "redemptionPeriod"
            << ""
            << "2026-12-10"
            << "2026-12-10"
            << "";
        QTest::addRow("two last changes")
            << "a.com" << redemption("Updated Date: 2026-11-20\r\nUpdated Date: 2026-11-25\r\n") << "redemptionPeriod"
            << "redemptionPeriod"
            << ""
            << ""
            << "2026-12-10"
            << "two different last-change dates";
        QTest::addRow("a year no record holds")
            << "a.com" << redemption("Updated Date: 01-dec-99999\r\n") << "redemptionPeriod"
            << "redemptionPeriod"
            << ""
            << ""
            << "2026-12-10"
            << "no last-change date";
        QTest::addRow("status in words") << "a.com" << redemption("Updated Date: 2026-11-20\r\n", "redemption period")
                                         << "redemption period"
                                         << "redemptionPeriod"
                                         << ""
                                         << "2026-12-25"
                                         << "2026-12-10"
                                         << "";
        QTest::addRow("status in capitals with a hyphen")
            << "a.com" << redemption("Updated Date: 2026-11-20\r\n", "REDEMPTION-PERIOD") << "REDEMPTION-PERIOD"
            << "redemptionPeriod"
            << ""
            << "2026-12-25"
            << "2026-12-10"
            << "";
    }
    void nameState()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, record);
        QFETCH(QString, status);
        QFETCH(QString, phase);
        QFETCH(QString, expires);
        QFETCH(QString, release);
        QFETCH(QString, today);
        QFETCH(QString, why);
        NameStates::setToday(QDate::fromString(today, Qt::ISODate));
        const NameState state = record.startsWith('{')
            ? NameStates::fromRdap(name, QJsonDocument::fromJson(record).object())
            : NameStates::fromWhois(name, record);
        QCOMPARE(state.status.join(' '), status);
        QCOMPARE(state.phaseText(), phase);
        QCOMPARE(state.expires.toString(Qt::ISODate), expires);
        QCOMPARE(state.release.toString(Qt::ISODate), release);
        QVERIFY2(
            why.isEmpty() ? state.releaseWhy.isEmpty() : state.releaseWhy.contains(why), qPrintable(state.releaseWhy));
        NameStates::setToday({});
    }

    // An ending given by the user is checked before a run: fault caught, "../../etc" taken as .com,
    // "co/m" as .co, "i_o", "*", "-io", a Cyrillic "о" or a 70-letter label taken (every word then
    // skipped), a private suffix ("github.io") taken so that every word is asked as github.io.
    void endings_data()
    {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<QString>("problem");   // empty: taken
        QTest::addRow("com") << "com"
                             << "";
        QTest::addRow("a country's") << "co.uk"
                                     << "";
        QTest::addRow("IDNA") << QString::fromUtf8("москва") << "";
        QTest::addRow("a top-level label DNS could hold") << "zz"
                                                          << "";
        QTest::addRow("path") << "/../etc"
                              << "holds \"/\"";
        QTest::addRow("slash") << "co/m"
                               << "holds \"/\"";
        QTest::addRow("underscore") << "i_o"
                                    << "holds \"_\"";
        QTest::addRow("star") << "*"
                              << "holds \"*\"";
        QTest::addRow("leading hyphen") << "-io"
                                        << "hyphen";
        QTest::addRow("Cyrillic o in com") << QString::fromUtf8("cоm") << "mixes";
        QTest::addRow("70 letters") << QString(70, 'a') << "longer than 63";
        QTest::addRow("private suffix") << "github.io"
                                        << "Public Suffix List";
        QTest::addRow("empty label") << "co..uk"
                                     << "empty label";
    }
    void endings()
    {
        QFETCH(QString, ending);
        QFETCH(QString, problem);
        const QString said = Names::endingProblem(ending);
        if (problem.isEmpty())
            QCOMPARE(said, QString());
        else
            QVERIFY2(said.contains(problem), qPrintable(said));
    }

    // Faults caught: a registry's throttle (a close without a word, a limit notice, "try again")
    // taken for an answer, so the pace never learns; an answer about something else taken for a
    // throttle, so one odd name lowers the pace of the run.
    void throttleNotice_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("throttled");
        QTest::addRow("empty close") << QByteArray() << true;
        QTest::addRow("only a line break") << QByteArray("\r\n") << true;
        QTest::addRow("limit notice") << QByteArray(
            "Your connection limit exceeded. Please slow down and try again later.\r\n")
                                      << true;
        QTest::addRow("database down") << readBytes(TAMARIND_TEST_DATA "/registries/whois/whoisdown.com") << true;
        QTest::addRow("another name") << QByteArray("No match for \"SOMEONE-ELSE.COM\".\r\n") << false;
        QTest::addRow("a record cut short")
            << QByteArray("   Registrar WHOIS Server: whois.registrar.test\r\n") << false;
    }
    void throttleNotice()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, throttled);
        QCOMPARE(Whois::isThrottleNotice(reply), throttled);
    }

    void server_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");   // empty: not a server
        QTest::addRow("host only") << "whois.example.test"
                                   << "whois.example.test:43";
        QTest::addRow("host and port") << "127.0.0.1:4343"
                                       << "127.0.0.1:4343";
        QTest::addRow("blanks") << " host:44 "
                                << "host:44";
        QTest::addRow("IPv6 with port") << "[::1]:43"
                                        << "[::1]:43";
        QTest::addRow("IPv6 in brackets") << "[::1]"
                                          << "[::1]:43";
        QTest::addRow("bare IPv6") << "::1"
                                   << "[::1]:43";
        QTest::addRow("percent sign in the host") << "a%2b%1:44"
                                                  << "a%2b%1:44";
        QTest::addRow("letters as port") << "host:abc"
                                         << "";
        QTest::addRow("no host") << ":43"
                                 << "";
        QTest::addRow("port zero") << "127.0.0.1:0"
                                   << "";
        QTest::addRow("port too big") << "127.0.0.1:99999"
                                      << "";
        QTest::addRow("empty port") << "host:"
                                    << "";
        QTest::addRow("unclosed bracket") << "[::1:43"
                                          << "";
        QTest::addRow("empty") << ""
                               << "";
    }
    void server()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const Whois::Server server = Whois::Server::parse(text);
        QCOMPARE(server.isValid(), !expected.isEmpty());
        if (server.isValid())
            QCOMPARE(server.text(), expected);
    }

    void configuredServer()
    {
        {
            EnvironmentVariable server("TAMARIND_WHOIS_SERVER", "127.0.0.1:4999");
            QCOMPARE(Whois::configuredServer().text(), QString("127.0.0.1:4999"));
        }
        EnvironmentVariable server("TAMARIND_WHOIS_SERVER", "127.0.0.1:0");
        QString error;
        QVERIFY(!Whois::configuredServer(&error).isValid());
        QVERIFY2(error.contains("TAMARIND_WHOIS_SERVER") && error.contains("127.0.0.1:0"), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestWhois)
#include "TestWhois.moc"
