#pragma once
#include <QByteArray>

class QTcpSocket;

// The replies of a registry that works, shaped like the .com registry's, and how they are sent.
namespace Replies {

// A WHOIS reply, then the close that ends it.
void sendWhois(QTcpSocket *socket, const QByteArray &reply);
// An HTTP/1.1 answer on a connection kept alive.
void sendHttp(
    QTcpSocket *socket, int status, const QByteArray &type, const QByteArray &body, const QByteArray &headers = {});

// The WHOIS reply about a name: "No match for" a free one, the record of a registered one (in
// redemption or pending delete when `phase` says so), padded or cut to `replyBytes` when set.
QByteArray whoisReply(const QByteArray &name, bool free, const QByteArray &phase, qint64 replyBytes);
// The RDAP record of a registered name; `shown` is the name it gives.
QByteArray rdapRecord(const QByteArray &name, const QByteArray &shown, const QByteArray &phase);

}   // namespace Replies
