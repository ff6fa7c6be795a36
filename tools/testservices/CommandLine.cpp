#include "tools/testservices/CommandLine.h"

#include <QCommandLineParser>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>

namespace {

bool fail(QString *error, const QString &message)
{
    *error = message;
    return false;
}

}   // namespace

bool parseCommandLine(const QStringList &arguments, ServerSetup *setup, QString *error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A WHOIS server on 127.0.0.1 for tests and benchmarks."));
    parser.addHelpOption();
    const QCommandLineOption port(
        QStringLiteral("port"), QStringLiteral("Port; 0 picks a free one."), QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption registered(QStringLiteral("registered"),
        QStringLiteral("Names that are registered, one per line; every other name is free."), QStringLiteral("FILE"));
    const QCommandLineOption freeRatio(QStringLiteral("free-ratio"),
        QStringLiteral("Without --registered: about this share of names is free (default 0.5)."), QStringLiteral("R"));
    const QCommandLineOption latency(
        QStringLiteral("latency-ms"), QStringLiteral("Delay before each reply."), QStringLiteral("N"));
    const QCommandLineOption slowEvery(
        QStringLiteral("slow-every"), QStringLiteral("Every K-th query waits --slow-ms instead."), QStringLiteral("K"));
    const QCommandLineOption slowMs(
        QStringLiteral("slow-ms"), QStringLiteral("Delay of the slow queries."), QStringLiteral("M"));
    const QCommandLineOption silentEvery(QStringLiteral("silent-every"),
        QStringLiteral("Every K-th connection is never answered."), QStringLiteral("K"));
    const QCommandLineOption silentName(QStringLiteral("silent-name"),
        QStringLiteral("Queries for NAME are never answered (may be given more than once)."), QStringLiteral("NAME"));
    const QCommandLineOption emptyEvery(QStringLiteral("empty-every"),
        QStringLiteral("Every K-th connection is closed without a reply."), QStringLiteral("K"));
    const QCommandLineOption noticeEvery(QStringLiteral("notice-every"),
        QStringLiteral("Every K-th connection gets only the limit notice."), QStringLiteral("K"));
    const QCommandLineOption replyBytes(
        QStringLiteral("reply-bytes"), QStringLiteral("Pad every reply to N bytes."), QStringLiteral("N"));
    const QCommandLineOption limit(QStringLiteral("limit-per-s"),
        QStringLiteral(
            "Beyond R answered queries in the last second, answer with an empty close or a limit notice, alternately."),
        QStringLiteral("R"));
    const QCommandLineOption stats(QStringLiteral("stats"),
        QStringLiteral("Keep FILE up to date with the queries answered and those refused over the limit."),
        QStringLiteral("FILE"));
    const QCommandLineOption log(
        QStringLiteral("log"), QStringLiteral("Append each query as received to FILE."), QStringLiteral("FILE"));
    const QCommandLineOption refuseName(QStringLiteral("refuse-name"),
        QStringLiteral(
            "Queries for NAME always get the limit notice, or a 503 over RDAP (may be given more than once)."),
        QStringLiteral("NAME"));
    const QCommandLineOption refuseAll(QStringLiteral("refuse-all"),
        QStringLiteral("Every query is over the limit: a limit notice or an empty close, or a 429 over RDAP."));
    const QCommandLineOption rdapPort(QStringLiteral("rdap-port"),
        QStringLiteral("Also answer RDAP on this port; 0 picks a free one."), QStringLiteral("N"));
    const QCommandLineOption rdapCert(QStringLiteral("rdap-cert"),
        QStringLiteral("Answer RDAP over TLS with this PEM certificate (and --rdap-key)."), QStringLiteral("FILE"));
    const QCommandLineOption rdapKey(
        QStringLiteral("rdap-key"), QStringLiteral("The PEM key of --rdap-cert."), QStringLiteral("FILE"));
    const QCommandLineOption retryAfter(QStringLiteral("retry-after"),
        QStringLiteral("The Retry-After of an RDAP 429, sent as given (default 1)."), QStringLiteral("S"));
    const QCommandLineOption reservedName(QStringLiteral("reserved-name"),
        QStringLiteral("RDAP answers 404 \"reserved by the registry\" for NAME (may be given more than once)."),
        QStringLiteral("NAME"));
    const QCommandLineOption html404(
        QStringLiteral("html-404"), QStringLiteral("RDAP answers a free name with a web page, not JSON."));
    const QCommandLineOption otherLdhName(
        QStringLiteral("other-ldh-name"), QStringLiteral("RDAP records name another name than the one asked."));
    const QCommandLineOption redirectTo(QStringLiteral("redirect-to"),
        QStringLiteral("RDAP redirects every request once, to BASE + \"redirected\" + its path; {port} in BASE is "
                       "the RDAP port."),
        QStringLiteral("BASE"));
    const QCommandLineOption hostile(QStringLiteral("hostile"),
        QStringLiteral("Names tell the reply: over WHOIS someone-else*, remark*, two-names*, escape*; over RDAP "
                       "empty-json-404*, html-rdap-404*, error-500-404*, cut-404*, rights-notice*, endless*, "
                       "deflate-404*, deflate-bomb*, "
                       "reserved.com, blocked.com."));
    const QCommandLineOption dnsPort(QStringLiteral("dns-port"),
        QStringLiteral("Answer DNS over UDP and TCP on this port (0: any): NS records for registered names, NXDOMAIN "
                       "for free ones."),
        QStringLiteral("N"));
    const QCommandLineOption heldRatio(QStringLiteral("held-ratio"),
        QStringLiteral("Share of the registered names absent from the zone (held, or without name servers)."),
        QStringLiteral("R"));
    const QCommandLineOption dnsLimit(QStringLiteral("dns-limit-per-s"),
        QStringLiteral("Answer DNS questions beyond N a second with REFUSED."), QStringLiteral("N"));
    const QCommandLineOption hijack(QStringLiteral("hijack"),
        QStringLiteral("DNS answers every A question with an address, and NS questions about names not in the zone "
                       "with an address and the servers of the parent zone."));
    const QCommandLineOption dnsTruncate(
        QStringLiteral("dns-truncate"), QStringLiteral("Over UDP, delegations come truncated; TCP brings them whole."));
    const QCommandLineOption dnsMismatch(
        QStringLiteral("dns-mismatch"), QStringLiteral("DNS answers name another question than the one asked."));
    const QCommandLineOption dnsSlowFirst(QStringLiteral("dns-slow-first"),
        QStringLiteral("Over UDP, the first N DNS questions are answered 300 ms late, after later ones."),
        QStringLiteral("N"));
    const QCommandLineOption dnsLatency(QStringLiteral("dns-latency-ms"),
        QStringLiteral("Delay each DNS answer over UDP by MS."), QStringLiteral("MS"));
    const QCommandLineOption replay(QStringLiteral("replay"),
        QStringLiteral("Answer the names of captured answers in DIR with them: whois/NAME is a WHOIS reply, "
                       "rdap/NAME.http an HTTP answer (status line, headers, blank line, body)."),
        QStringLiteral("DIR"));
    const QCommandLineOption servfailRatio(QStringLiteral("dns-servfail-ratio"),
        QStringLiteral("Share of the registered names whose delegation is lame: SERVFAIL whenever asked."),
        QStringLiteral("R"));
    const QCommandLineOption servfailEvery(QStringLiteral("dns-servfail-every"),
        QStringLiteral("Every K-th DNS question gets SERVFAIL."), QStringLiteral("K"));
    const QCommandLineOption dnsSilentNames(QStringLiteral("dns-silent-names"),
        QStringLiteral("Over DNS, never answer the first N names asked about."), QStringLiteral("N"));
    const QCommandLineOption dnsRefuseAll(
        QStringLiteral("dns-refuse-all"), QStringLiteral("Over DNS, answer every question with REFUSED."));
    const QCommandLineOption dnsSilentAfter(
        QStringLiteral("dns-silent-after"), QStringLiteral("DNS answers N questions, then none."), QStringLiteral("N"));
    const QCommandLineOption dnsChaos(
        QStringLiteral("dns-class-ch"), QStringLiteral("DNS records come in class CH instead of IN."));
    const QCommandLineOption dnsFabricate(QStringLiteral("dns-fabricate"),
        QStringLiteral("DNS answers every NS question with name servers, as a resolver that makes them up."));
    const QCommandLineOption droppingRatio(QStringLiteral("dropping-ratio"),
        QStringLiteral("Share of the registered names in redemption or pending delete (half each), out of the zone."),
        QStringLiteral("R"));
    const QCommandLineOption dropping(QStringLiteral("dropping"),
        QStringLiteral("Names on their way out, one per line with its phase: NAME redemptionPeriod|pendingDelete."),
        QStringLiteral("FILE"));
    const QCommandLineOption holdFile(QStringLiteral("hold-file"),
        QStringLiteral("While FILE exists, replies (WHOIS and RDAP) wait; they go once it is removed."),
        QStringLiteral("FILE"));
    const QCommandLineOption holdAfter(QStringLiteral("hold-after"),
        QStringLiteral("With --hold-file: the first N queries are answered as usual."), QStringLiteral("N"));
    const QCommandLineOption dnsDenyAll(QStringLiteral("dns-nxdomain-all"),
        QStringLiteral("Over DNS, answer every question with NXDOMAIN, the endings' own included."));
    const QCommandLineOption dnsEmptyAll(QStringLiteral("dns-nodata-all"),
        QStringLiteral("Over DNS, answer every question with NOERROR and no records (NODATA)."));
    const QCommandLineOption freeAfter(QStringLiteral("free-after"),
        QStringLiteral("After N queries the registry (WHOIS and RDAP) answers every name free, as a service gone "
                       "wrong; DNS is not changed."),
        QStringLiteral("N"));
    parser.addOptions({droppingRatio, dropping, holdAfter, holdFile, dnsDenyAll, dnsEmptyAll, freeAfter});
    parser.addOptions({dnsPort, heldRatio, dnsLimit, hijack, dnsTruncate, dnsMismatch, dnsLatency, dnsSlowFirst, replay,
        servfailRatio, servfailEvery, dnsSilentAfter, dnsSilentNames, dnsRefuseAll, dnsChaos, dnsFabricate});
    parser.addOptions({port, registered, freeRatio, latency, slowEvery, slowMs, silentEvery, silentName, emptyEvery,
        noticeEvery, replyBytes, limit, stats, log, refuseName, refuseAll, rdapPort, rdapCert, rdapKey, retryAfter,
        reservedName, html404, otherLdhName, redirectTo, hostile});
    parser.process(arguments);

    auto number = [&parser](const QCommandLineOption &option, bool *ok) {
        return parser.isSet(option) ? parser.value(option).toLongLong(ok) : (*ok = true, 0LL);
    };
    Options &options = setup->options;
    bool ok = true;
    bool all = true;
    const qint64 portNumber = number(port, &ok);
    all &= ok && portNumber >= 0 && portNumber <= 65535;
    options.latencyMs = int(number(latency, &ok));
    all &= ok;
    options.slowEvery = int(number(slowEvery, &ok));
    all &= ok;
    options.slowMs = int(number(slowMs, &ok));
    all &= ok;
    options.silentEvery = int(number(silentEvery, &ok));
    all &= ok;
    options.emptyEvery = int(number(emptyEvery, &ok));
    all &= ok;
    options.noticeEvery = int(number(noticeEvery, &ok));
    all &= ok;
    options.replyBytes = number(replyBytes, &ok);
    all &= ok;
    options.limitPerSecond = int(number(limit, &ok));
    all &= ok;
    if (parser.isSet(retryAfter))
        options.retryAfter = parser.value(retryAfter).toLatin1();
    const qint64 rdapPortNumber = number(rdapPort, &ok);
    all &= ok && rdapPortNumber >= 0 && rdapPortNumber <= 65535;
    if (parser.isSet(freeRatio))
        options.freeRatio = parser.value(freeRatio).toDouble(&ok), all &= ok;
    if (parser.isSet(droppingRatio))
        options.droppingRatio = parser.value(droppingRatio).toDouble(&ok), all &= ok;
    if (parser.isSet(heldRatio))
        options.heldRatio = parser.value(heldRatio).toDouble(&ok), all &= ok;
    const qint64 dnsPortNumber = number(dnsPort, &ok);
    all &= ok && dnsPortNumber >= 0 && dnsPortNumber <= 65535;
    options.dnsLimitPerSecond = int(number(dnsLimit, &ok));
    all &= ok;
    options.dnsLatencyMs = int(number(dnsLatency, &ok));
    all &= ok;
    options.dnsSlowFirst = int(number(dnsSlowFirst, &ok));
    all &= ok;
    if (parser.isSet(servfailRatio))
        options.servfailRatio = parser.value(servfailRatio).toDouble(&ok), all &= ok;
    options.servfailEvery = int(number(servfailEvery, &ok));
    all &= ok;
    options.dnsSilentAfter = int(number(dnsSilentAfter, &ok));
    all &= ok;
    options.dnsSilentNames = int(number(dnsSilentNames, &ok));
    all &= ok;
    options.holdAfter = quint64(number(holdAfter, &ok));
    all &= ok;
    options.freeAfter = quint64(number(freeAfter, &ok));
    all &= ok;
    options.holdFile = parser.value(holdFile);
    options.dnsRefuseAll = parser.isSet(dnsRefuseAll);
    options.dnsChaos = parser.isSet(dnsChaos);
    options.dnsFabricate = parser.isSet(dnsFabricate);
    options.dnsDenyAll = parser.isSet(dnsDenyAll);
    options.dnsEmptyAll = parser.isSet(dnsEmptyAll);
    options.hijack = parser.isSet(hijack);
    options.dnsTruncate = parser.isSet(dnsTruncate);
    options.dnsMismatch = parser.isSet(dnsMismatch);
    if (!all)
        return fail(error, QStringLiteral("every number option takes a number; see --help"));
    for (const QString &name : parser.values(silentName))
        options.silentNames.insert(name.toLower().toLatin1());
    for (const QString &name : parser.values(refuseName))
        options.refusedNames.insert(name.toLower().toLatin1());
    for (const QString &name : parser.values(reservedName))
        options.reservedNames.insert(name.toLower().toLatin1());
    options.html404 = parser.isSet(html404);
    options.refuseAll = parser.isSet(refuseAll);
    options.otherLdhName = parser.isSet(otherLdhName);
    options.redirectTo = parser.value(redirectTo).toLatin1();
    options.hostile = parser.isSet(hostile);
    options.replay = parser.value(replay);
    std::optional<QSslConfiguration> &tls = setup->tls;
    if (parser.isSet(rdapCert)) {
        QFile cert(parser.value(rdapCert));
        QFile key(parser.value(rdapKey));
        if (!cert.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly))
            return fail(error, QStringLiteral("cannot read the certificate or its key"));
        tls = QSslConfiguration::defaultConfiguration();
        tls->setLocalCertificate(QSslCertificate(cert.readAll()));
        tls->setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
        tls->setPeerVerifyMode(QSslSocket::VerifyNone);
    }
    if (parser.isSet(registered)) {
        QFile file(parser.value(registered));
        if (!file.open(QIODevice::ReadOnly))
            return fail(error, QStringLiteral("cannot read %1").arg(file.fileName()));
        options.useRegisteredList = true;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QByteArray name = line.trimmed().toLower();
            if (!name.isEmpty())
                options.registered.insert(name);
        }
    }

    if (parser.isSet(dropping)) {
        QFile file(parser.value(dropping));
        if (!file.open(QIODevice::ReadOnly))
            return fail(error, QStringLiteral("cannot read %1").arg(file.fileName()));
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words.size() == 2)
                options.dropping.insert(words[0].toLower(), words[1]);
        }
    }

    setup->port = quint16(portNumber);
    if (parser.isSet(rdapPort))
        setup->rdapPort = quint16(rdapPortNumber);
    if (parser.isSet(dnsPort))
        setup->dnsPort = quint16(dnsPortNumber);
    setup->logPath = parser.value(log);
    setup->statsPath = parser.value(stats);
    return true;
}
