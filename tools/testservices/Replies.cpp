#include "tools/testservices/Replies.h"

#include "tools/testservices/NameRules.h"

#include <QDateTime>
#include <QTcpSocket>

namespace Replies {

namespace {

const QByteArray Notice = "NOTICE: The expiration date displayed in this record is the date the\r\n"
                          "registrar's sponsorship of the domain name registration in the registry is\r\n"
                          "currently set to expire. This date does not necessarily reflect the expiration\r\n"
                          "date of the domain name registrant's agreement with the sponsoring\r\n"
                          "registrar.\r\n";

// The time stamp of the replies, made once a second rather than once a reply.
QByteArray lastUpdate()
{
    static qint64 stampSecond = -1;
    static QByteArray stamp;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    if (now != stampSecond) {
        stampSecond = now;
        stamp = QDateTime::fromSecsSinceEpoch(now, Qt::UTC).toString(Qt::ISODate).toLatin1();
    }
    return stamp;
}

QByteArray registeredReply(const QByteArray &name, const QByteArray &phase)
{
    const QByteArray id = QByteArray::number(stableHash(name) % 100000000u);
    // As the .com registry shows a name in redemption: pendingDelete beside redemptionPeriod.
    const QByteArray status = phase.isEmpty()
        ? "   Domain Status: clientTransferProhibited https://icann.org/epp#clientTransferProhibited\r\n"
        : phase == "redemptionPeriod" ? "   Domain Status: pendingDelete https://icann.org/epp#pendingDelete\r\n"
                                        "   Domain Status: redemptionPeriod https://icann.org/epp#redemptionPeriod\r\n"
                                      : "   Domain Status: pendingDelete https://icann.org/epp#pendingDelete\r\n";
    return "   Domain Name: " + name.toUpper()
        + "\r\n"
          "   Registry Domain ID: "
        + id
        + "_DOMAIN_COM-VRSN\r\n"
          "   Registrar WHOIS Server: whois.registrar.test\r\n"
          "   Registrar URL: http://www.registrar.test\r\n"
          "   Updated Date: "
        + (phase.isEmpty() ? QByteArray("2025-06-01T10:00:00Z") : NameRules::phaseSet(phase))
        + "\r\n"
          "   Creation Date: 2001-03-14T09:26:53Z\r\n"
          "   Registry Expiry Date: "
        + (phase.isEmpty() ? "2027-03-14T09:26:53Z" : "2026-09-01T09:26:53Z")
        + "\r\n"
          "   Registrar: Example Registrar, Inc.\r\n"
          "   Registrar IANA ID: 9999\r\n"
        + status
        + "   Name Server: NS1.REGISTRAR.TEST\r\n"
          "   Name Server: NS2.REGISTRAR.TEST\r\n"
          "   DNSSEC: unsigned\r\n"
          "   URL of the ICANN Whois Inaccuracy Complaint Form: https://www.icann.org/wicf/\r\n"
          ">>> Last update of whois database: "
        + lastUpdate() + " <<<\r\n\r\n" + Notice;
}

}   // namespace

void sendWhois(QTcpSocket *socket, const QByteArray &reply)
{
    socket->write(reply);
    socket->disconnectFromHost();   // after the reply has gone out
}

void sendHttp(QTcpSocket *socket, int status, const QByteArray &type, const QByteArray &body, const QByteArray &headers)
{
    socket->write("HTTP/1.1 " + QByteArray::number(status) + " Answer\r\nContent-Type: " + type
        + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + headers + "\r\n" + body);
}

QByteArray whoisReply(const QByteArray &name, bool free, const QByteArray &phase, qint64 replyBytes)
{
    QByteArray reply = free ? "No match for \"" + name.toUpper()
            + "\".\r\n>>> Last update of whois database: " + lastUpdate() + " <<<\r\n\r\n" + Notice
                            : registeredReply(name, phase);
    while (reply.size() < replyBytes)
        reply += Notice;
    if (replyBytes > 0)
        reply.truncate(std::max<qint64>(replyBytes, 1));
    return reply;
}

QByteArray rdapRecord(const QByteArray &name, const QByteArray &shown, const QByteArray &phase)
{
    const QByteArray status = phase.isEmpty() ? R"("client transfer prohibited")"
        : phase == "redemptionPeriod"         ? R"("pending delete","redemption period")"
                                              : R"("pending delete")";
    return R"({"objectClassName":"domain","handle":")" + QByteArray::number(stableHash(name))
        + R"(_DOMAIN_COM-VRSN","ldhName":")" + shown + R"(","status":[)" + status
        + R"(],"events":[{"eventAction":"registration","eventDate":"2001-03-14T09:26:53Z"},)"
          R"({"eventAction":"expiration","eventDate":")"
        + (phase.isEmpty() ? "2027-03-14T09:26:53Z" : "2026-09-01T09:26:53Z")
        + R"("},{"eventAction":"last changed","eventDate":")"
        + (phase.isEmpty() ? QByteArray("2025-06-01T10:00:00Z") : NameRules::phaseSet(phase))
        + R"("}],)"
          R"("entities":[{"objectClassName":"entity","roles":["registrar"],)"
          R"("vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text","Example Registrar, Inc."]]]}],)"
          R"("nameservers":[{"objectClassName":"nameserver","ldhName":"NS1.REGISTRAR.TEST"},)"
          R"({"objectClassName":"nameserver","ldhName":"NS2.REGISTRAR.TEST"}]})";
}

}   // namespace Replies
