#pragma once
#include "engine/LookupName.h"
#include "engine/Verdict.h"

#include <QByteArray>
#include <QString>

class QTcpSocket;

// The WHOIS convention: one TCP connection per query, the query and CR LF sent on connect, the reply
// read until the server closes. "No match for" the name asked, in any letter case, means free; the
// registry's record marker before the name asked means registered; anything else (an empty close, a limit notice) is no
// verdict, and the name is asked again.
namespace Whois {

constexpr quint16 DefaultPort = 43;

struct Server {
    QString host;
    quint16 port = DefaultPort;

    // "host", "host:port" or "[IPv6]:port"; anything else gives an empty host.
    static Server parse(const QString &text);
    QString text() const;
    bool isValid() const { return !host.isEmpty() && port != 0; }
};

// The message for a server text that does not parse.
QString notAServer(const QString &text, const QString &origin);

// The verdict of a whole reply to a query for `name`. "No match for" the name asked means free, the
// record marker followed by the name asked means registered, whatever else the reply holds; a reply
// that speaks of other names only, or of the name asked and another, tells nothing. With an empty
// marker every reply without "No match for" counts as registered.
Verdict replyVerdict(const QByteArray &reply, const QByteArray &registeredMarker, const QString &name);
// Whether a reply without a verdict is what a registry sends when it is asked too fast: a close
// without a word, or a notice of a limit ("Your connection limit exceeded. Please slow down"),
// rather than an answer about something else.
bool isThrottleNotice(const QByteArray &reply);
// The configured record marker, in lower case.
QByteArray configuredMarker();

QByteArray request(const QString &query);
// Closes a socket without signals: an abort of a connected socket would report a close by the
// server, which reads as the end of a reply.
void closeQuietly(QTcpSocket &socket);

}   // namespace Whois
