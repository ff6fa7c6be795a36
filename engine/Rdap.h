#pragma once
#include "engine/Whois.h"

#include <QByteArray>
#include <QHash>
#include <QNetworkRequest>
#include <QString>
#include <QUrl>
#include <optional>

class QNetworkReply;

// RDAP, the registries' JSON service over HTTPS: a name is asked as GET base + "domain/" + name.
// 404 from the service itself means free, 200 with a record of the name asked means registered,
// anything else tells nothing.
namespace Rdap {

// Which service a run asks: WHOIS on port 43, RDAP, or WHOIS until port 43 fails and RDAP after.
enum class Protocol {
    Whois,
    Rdap,
    Auto
};
std::optional<Protocol> parseProtocol(const QString &text);
QString protocolName(Protocol protocol);
// The protocol from TAMARIND_PROTOCOL, else the setting "Protocol"; Auto when neither is usable,
// with the reason in error.
Protocol configuredProtocol(QString *error = nullptr);

// The base address of each ending: "com=URL net=URL", or one URL for every ending.
struct Bases {
    QHash<QString, QUrl> byEnding;
    QUrl everyEnding;

    // Empty when the text holds something that is not an http or https address.
    static std::optional<Bases> parse(const QString &text);
    QUrl requestFor(const QString &name) const;
};
Bases configuredBases(QString *error = nullptr);

struct Answer {
    Whois::Verdict verdict = Whois::Verdict::None;
    bool reserved = false;   // the registry says the name is reserved or blocked
    QString said;            // what the reply said, for messages
    int status = 0;          // the HTTP status
    qint64 retryAfterMs = -1;
};
// The verdict of a reply to a request for `name`: status, content type and body as received; the
// reply came from the host asked (not through a redirect elsewhere).
Answer replyAnswer(
    int status, const QByteArray &contentType, const QByteArray &body, const QString &name, bool fromHostAsked);
// Retry-After as milliseconds (seconds or an HTTP date); -1 when there is none.
qint64 retryAfterMs(const QByteArray &header);

// The record as a reader wants it: name, status, dates, registrar and name servers, then the JSON.
QString readableRecord(const QByteArray &body);

// The verdict of a finished reply to the request `asked` for `name`, its body read as `body`;
// nullopt when no HTTP answer came at all (refused, unknown host, TLS failure).
std::optional<Answer> replyAnswer(
    const QNetworkReply &reply, const QByteArray &body, const QString &name, const QUrl &asked);

// The request of a name to an RDAP service: JSON asked for, HTTP/2 where the server offers it, redirects
// followed only where they do not lower the security.
QNetworkRequest request(const QUrl &url);
}   // namespace Rdap

// The services a lookup may ask: the WHOIS server, the RDAP services, and which of them.
struct LookupService {
    Whois::Server server;
    Rdap::Protocol protocol = Rdap::Protocol::Auto;
    Rdap::Bases bases;
};
