#pragma once
#include "engine/LookupAnswer.h"
#include "engine/Whois.h"

#include <QByteArray>
#include <QHash>
#include <QNetworkRequest>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

// RDAP, the registries' JSON service over HTTPS: a name is asked as GET base + "domain/" + name.
// 404 from the service named for the name's ending means free, 200 with a record of the name asked
// means registered, anything else tells nothing.
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

// The base address of each ending: "com=URL net=URL", or one URL for .com and .net; then the
// services the bootstrap and override files know. The longest ending that matches wins.
struct Bases {
    QHash<QString, QUrl> byEnding;
    QUrl everyEnding;             // a URL given without an ending: .com and .net only
    QHash<QString, QUrl> known;   // from the service files: only where the above name nothing
    QStringList knownProblems;    // why a service file could not be read

    // Empty when the text holds something that is not an http or https address.
    static std::optional<Bases> parse(const QString &text);
    // The request for the name; invalid when no service is known for its ending.
    QUrl requestFor(const QString &name) const;
    // Whether a service was given for the name's ending (not only known from the files).
    bool givenFor(const QString &name) const;
};
// The setting RdapBase, over the services of the bootstrap and override files.
Bases configuredBases(QString *error = nullptr);
// The bases with the services of the bootstrap and override files beneath them.
Bases withKnownServices(Bases bases);

// A reply as it arrived. Only a whole reply from the service asked is evidence.
struct Reply {
    int status = 0;   // 0: no HTTP answer at all
    QByteArray contentType;
    QByteArray body;
    bool complete = true;        // no network error, nothing cut by the cap or short of its length
    bool fromHostAsked = true;   // not through a redirect to another origin
};
// The verdict of a reply to a request for `name`, asked at the service named for its ending. A 404
// is free only when it arrived whole from the service asked and is either empty under the RDAP
// content type or a JSON object whose errorCode, if any, is 404; a 200 is registered only when it is the
// domain record of the name asked. "Reserved" comes only from the status values of that record or
// the title and description of the 404.
LookupAnswer replyAnswer(const Reply &reply, const QString &name);
// The longest wait a Retry-After may ask for that this program tells apart: an hour and more is
// told as it is by whoever shows it, and a number past this is taken as this.
constexpr qint64 MaxRetryAfterMs = qint64(1) << 50;
// Retry-After as milliseconds (seconds or an HTTP date); -1 when there is none. A number too large
// to hold gives MaxRetryAfterMs.
qint64 retryAfterMs(const QByteArray &header);

// The record as a reader wants it: name, status, dates, registrar and name servers, then the JSON.
QString readableRecord(const QByteArray &body);

// The request of a name to an RDAP service: JSON asked for, HTTP/2 where the server offers it, redirects
// followed only within the service's own origin (scheme, host and port).
QNetworkRequest request(const QUrl &url);
// Whether two addresses are of one origin; a port left out is the scheme's default.
bool sameOrigin(const QUrl &a, const QUrl &b);
}   // namespace Rdap
