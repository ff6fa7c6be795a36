#pragma once
#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

// What the fake registry believes and how it behaves: the rule of free and registered names, and the
// faults of real services that tests and benchmarks ask for. Every option of whois-test-server sets
// one of these.
struct Options {
    // The names
    QSet<QByteArray> registered;
    bool useRegisteredList = false;
    double freeRatio = 0.5;
    double heldRatio = 0;                     // of the registered names, absent from the zone
    double droppingRatio = 0;                 // of the registered names, in redemption or pending delete
    QHash<QByteArray, QByteArray> dropping;   // lower case name: "redemptionPeriod" or "pendingDelete"
    quint64 freeAfter = 0;                    // the registry answers every name free after this many queries
    QString replay;                           // a folder of captured answers: whois/NAME, rdap/NAME.http

    // Latency, limits and silence of the registry (WHOIS and RDAP)
    int latencyMs = 0;
    int slowEvery = 0;
    int slowMs = 0;
    int silentEvery = 0;
    QSet<QByteArray> silentNames;   // lower case
    int emptyEvery = 0;
    int noticeEvery = 0;
    qint64 replyBytes = 0;
    int limitPerSecond = 0;
    QSet<QByteArray> refusedNames;   // lower case; always a limit notice (WHOIS) or a 503 (RDAP)
    bool refuseAll = false;          // every query is over the limit
    QString holdFile;                // while it exists, replies wait...
    quint64 holdAfter = 0;           // ...once this many queries have been answered

    // RDAP's own
    QByteArray retryAfter = "1";      // of an RDAP 429, as sent
    QSet<QByteArray> reservedNames;   // lower case; RDAP says "reserved"
    bool html404 = false;             // RDAP's 404 is a web page, as a proxy's would be
    bool otherLdhName = false;        // RDAP's records name another name
    QByteArray redirectTo;            // RDAP sends every request there once ("{port}": its own port)
    bool hostile = false;             // names tell which hostile reply they get (see HostileAnswers.h)

    // DNS
    int dnsLimitPerSecond = 0;   // DNS answers REFUSED beyond it
    bool hijack = false;         // DNS makes up an address for every name, as some ISPs' resolvers do
    bool dnsTruncate = false;    // over UDP every delegation comes truncated: only TCP brings it
    bool dnsMismatch = false;    // DNS answers name another question than the one asked
    int dnsLatencyMs = 0;        // before each DNS answer over UDP
    int dnsSlowFirst = 0;        // the first this many DNS questions over UDP are answered last
    double servfailRatio = 0;    // of the registered names, lame: SERVFAIL every time they are asked
    int servfailEvery = 0;       // every K-th DNS question gets SERVFAIL
    int dnsSilentAfter = 0;      // DNS answers this many questions, then none
    int dnsSilentNames = 0;      // DNS never answers the first this many names it is asked about
    bool dnsRefuseAll = false;   // DNS answers every question with REFUSED
    bool dnsChaos = false;       // NS records come in class CH, not IN
    bool dnsFabricate = false;   // NS records for every name, as a resolver that makes things up
    bool dnsDenyAll = false;     // NXDOMAIN for every name, the endings too, as a filter's
    bool dnsEmptyAll = false;    // NOERROR without records for every name (NODATA)
};
