#include "engine/Whois.h"

#include "engine/HostPort.h"

#include "app/Settings.h"

#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTcpSocket>
#include <QUrl>

namespace Whois {

Server Server::parse(const QString &text)
{
    const std::optional<HostPort> parsed = HostPort::parse(text, DefaultPort);
    return parsed ? Server {parsed->host, parsed->port} : Server {};
}

QString Server::text() const
{
    return HostPort {host, port}.text();
}

QString notAServer(const QString &text, const QString &origin)
{
    return QStringLiteral("%1 holds \"%2\", which is not a WHOIS server: give HOST, HOST:PORT or [IPv6]:PORT, "
                          "and ENDING=HOST[:PORT] for the server of another ending")
        .arg(origin, text);
}

QByteArray configuredMarker()
{
    return Settings::RegisteredMarker.get().toLatin1().toLower();
}

namespace {

// The word at `start` of a line, past spaces and quotes, and where it ends.
QByteArray wordAt(const QByteArray &lower, qsizetype start, qsizetype *end)
{
    while (start < lower.size() && (lower[start] == ' ' || lower[start] == '\t' || lower[start] == '"'))
        ++start;
    *end = start;
    while (*end < lower.size() && !QByteArrayView(" \t\r\n\"").contains(lower[*end]))
        ++*end;
    return lower.mid(start, *end - start);
}

// The name that follows each place where `marker` stands (lower case): `No match for "NAME".` gives
// name, `Domain Name: NAME` too, and so does `No match for domain "NAME".`, the registry's answer
// to a "domain NAME" query (a name has a dot; the word "domain" has none). A marker followed by no
// name gives an empty one.
QList<QByteArray> namesAfter(const QByteArray &lower, const QByteArray &marker)
{
    QList<QByteArray> names;
    for (qsizetype at = lower.indexOf(marker); at >= 0; at = lower.indexOf(marker, at + marker.size())) {
        qsizetype end = 0;
        QByteArray name = wordAt(lower, at + marker.size(), &end);
        if (name == "domain") {
            qsizetype afterWord = 0;
            if (QByteArray next = wordAt(lower, end, &afterWord); next.contains('.'))
                name = next;
        }
        while (name.endsWith('.'))
            name.chop(1);   // the sentence's full stop
        names += name;
    }
    return names;
}

}   // namespace

Verdict replyVerdict(const QByteArray &reply, const QByteArray &registeredMarker, const QString &name)
{
    const QByteArray lower = reply.toLower();
    const QByteArray asked = name.toLower().toLatin1();
    const QList<QByteArray> unmatched = namesAfter(lower, "no match for");
    // A marker followed by no name (a marker of the user's own that is no "Domain Name:") counts
    // for the name asked.
    const QList<QByteArray> records =
        registeredMarker.isEmpty() ? QList<QByteArray>() : namesAfter(lower, registeredMarker.toLower());
    const auto isAsked = [&asked](const QByteArray &said) { return said == asked; };
    const auto isOther = [&asked](const QByteArray &said) { return said != asked; };
    if (std::any_of(
            records.cbegin(), records.cend(), [&](const QByteArray &said) { return said.isEmpty() || said == asked; }))
        return Verdict::Registered;
    const bool free = std::any_of(unmatched.cbegin(), unmatched.cend(), isAsked);
    const bool aboutOthers = std::any_of(unmatched.cbegin(), unmatched.cend(), isOther)
        || std::any_of(records.cbegin(), records.cend(), isOther);
    if (free && !aboutOthers)
        return Verdict::Free;
    if (registeredMarker.isEmpty() && unmatched.isEmpty())
        return Verdict::Registered;
    return Verdict::None;
}

bool isThrottleNotice(const QByteArray &reply)
{
    static const QRegularExpression words(
        QStringLiteral("\\b(limit|limits|limited|exceeded|slow down|try again|too many|quota|throttled|denied|"
                       "refused|busy|overloaded|temporarily|wait)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    const QByteArray head = reply.left(4096);
    return head.trimmed().isEmpty() || words.match(QString::fromLatin1(head)).hasMatch();
}

QByteArray request(const QString &query)
{
    return query.toLatin1() + "\r\n";
}

void closeQuietly(QTcpSocket &socket)
{
    const QSignalBlocker quiet(socket);
    socket.abort();
}

}   // namespace Whois
