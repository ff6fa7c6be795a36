#include "engine/Rdap.h"

#include "engine/RdapServices.h"

#include "app/Settings.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QRegularExpression>

namespace Rdap {

std::optional<Protocol> parseProtocol(const QString &text)
{
    const QString key = text.trimmed().toLower();
    if (key == QLatin1String("whois"))
        return Protocol::Whois;
    if (key == QLatin1String("rdap"))
        return Protocol::Rdap;
    if (key == QLatin1String("auto"))
        return Protocol::Auto;
    return std::nullopt;
}

QString protocolName(Protocol protocol)
{
    switch (protocol) {
    case Protocol::Whois: return QStringLiteral("whois");
    case Protocol::Rdap: return QStringLiteral("rdap");
    case Protocol::Auto: break;
    }
    return QStringLiteral("auto");
}

Protocol configuredProtocol(QString *error)
{
    if (const auto protocol = parseProtocol(Settings::Protocol.get()))
        return *protocol;
    if (error)
        *error = QStringLiteral("%1 holds \"%2\", which is not a protocol: give whois, rdap or auto")
                     .arg(Settings::Protocol.origin(), Settings::Protocol.text());
    return Protocol::Auto;
}

std::optional<Bases> Bases::parse(const QString &text)
{
    Bases bases;
    const QStringList items = text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    for (const QString &item : items) {
        const qsizetype equals = item.indexOf('=');
        const bool named = equals > 0 && !item.left(equals).contains(':');
        QUrl url(named ? item.mid(equals + 1) : item, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty()
            || (url.scheme() != QLatin1String("https") && url.scheme() != QLatin1String("http")))
            return std::nullopt;
        if (!url.path().endsWith('/'))
            url.setPath(url.path() + '/');
        if (named)
            bases.byEnding.insert(item.left(equals).toLower(), url);
        else
            bases.everyEnding = url;
    }
    if (items.isEmpty())
        return std::nullopt;
    return bases;
}

namespace {

// The service of the longest ending of the name that the table names ("co.uk" before "uk").
QUrl longestMatch(const QHash<QString, QUrl> &table, const QString &name)
{
    const QStringList labels = name.toLower().split('.');
    for (qsizetype first = 1; first < labels.size(); ++first) {
        if (const auto found = table.constFind(labels.mid(first).join('.')); found != table.constEnd())
            return found.value();
    }
    return {};
}

}   // namespace

QUrl Bases::requestFor(const QString &name) const
{
    QUrl base = longestMatch(byEnding, name);
    // One URL given for all is the .com and .net registry's: a 404 from a service that does not
    // run the ending would read as free.
    if (base.isEmpty() && Names::isComNet(name))
        base = everyEnding;
    if (base.isEmpty())
        base = longestMatch(known, name);
    if (base.isEmpty())
        return {};
    return base.resolved(QUrl(QStringLiteral("domain/") + name.toLower()));
}

bool Bases::givenFor(const QString &name) const
{
    return !longestMatch(byEnding, name).isEmpty();
}

Bases withKnownServices(Bases bases)
{
    const Services services = loadServices();
    bases.known = services.byEnding;
    bases.knownProblems = services.problems;
    return bases;
}

Bases configuredBases(QString *error)
{
    if (const auto bases = Bases::parse(Settings::RdapBase.get()))
        return withKnownServices(*bases);
    if (error)
        *error = QStringLiteral("%1 holds \"%2\", which is not an RDAP base: give URL or ENDING=URL ...")
                     .arg(Settings::RdapBase.origin(), Settings::RdapBase.text());
    return {};
}

namespace {

QByteArray mediaType(const QByteArray &contentType)
{
    return contentType.split(';').constFirst().trimmed().toLower();
}

bool isJson(const QByteArray &contentType)
{
    const QByteArray type = mediaType(contentType);
    return type == "application/rdap+json" || type == "application/json";
}

// "reserved" or "blocked" as a word of the registry's own text, the name asked left out of it: the
// record of reserved.com names itself, and says nothing by that.
bool saysReserved(QString text, const QString &name)
{
    static const QRegularExpression words(
        QStringLiteral("\\b(reserved|blocked)\\b"), QRegularExpression::CaseInsensitiveOption);
    text.replace(name, QString(), Qt::CaseInsensitive);
    text.replace(Names::unicodeForm(name), QString(), Qt::CaseInsensitive);
    return words.match(text).hasMatch();
}

QString texts(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    QStringList parts;
    for (const QJsonValue &item : value.toArray())
        parts += item.toString();
    return parts.join('\n');
}

LookupAnswer noVerdict(LookupAnswer answer, const QString &why)
{
    answer.said += why;
    return answer;
}

}   // namespace

LookupAnswer replyAnswer(const Reply &reply, const QString &name)
{
    LookupAnswer answer;
    answer.state.by = NameState::By::Rdap;
    answer.said = reply.status == 0 ? QStringLiteral("no HTTP reply") : QStringLiteral("HTTP %1").arg(reply.status);
    if (!reply.fromHostAsked)
        return noVerdict(answer, QStringLiteral(" from another host than the one asked"));
    answer.throttled = reply.status == 429 || reply.status == 503;
    if (reply.status != 200 && reply.status != 404)
        return answer;
    if (!reply.complete)
        return noVerdict(answer, QStringLiteral(" that was cut off"));
    // RDAP asks only for the status of a 404; the .com and .net registry sends nothing else.
    if (reply.status == 404 && reply.body.isEmpty()) {
        if (mediaType(reply.contentType) != "application/rdap+json")
            return noVerdict(answer,
                QStringLiteral(" with an empty body that is not an RDAP answer (%1)")
                    .arg(QString::fromLatin1(reply.contentType.isEmpty() ? "no content type" : reply.contentType)));
        answer.setVerdict(Verdict::Free);
        return answer;
    }
    if (!isJson(reply.contentType))
        return noVerdict(answer,
            QStringLiteral(" that is not an RDAP answer (%1)")
                .arg(QString::fromLatin1(reply.contentType.isEmpty() ? "no content type" : reply.contentType)));
    const QJsonDocument document = QJsonDocument::fromJson(reply.body);
    if (!document.isObject())
        return noVerdict(answer, QStringLiteral(" whose body is no JSON object"));
    const QJsonObject object = document.object();
    if (reply.status == 404) {
        const QJsonValue code = object.value(QLatin1String("errorCode"));
        if (!code.isUndefined() && code.toInt() != 404)
            return noVerdict(answer, QStringLiteral(" whose error code is %1").arg(code.toVariant().toString()));
        const QString said =
            texts(object.value(QLatin1String("title"))) + '\n' + texts(object.value(QLatin1String("description")));
        if (saysReserved(said, name)) {
            answer.reserved = true;
            return noVerdict(answer, QStringLiteral(": the name is reserved by the registry"));
        }
        answer.setVerdict(Verdict::Free);
        return answer;
    }
    const QString ldhName = object.value(QLatin1String("ldhName")).toString();
    if (object.value(QLatin1String("objectClassName")).toString() != QLatin1String("domain")
        || ldhName.compare(name, Qt::CaseInsensitive) != 0)
        return noVerdict(answer,
            ldhName.isEmpty() ? QStringLiteral(" without a domain record")
                              : QStringLiteral(" with the record of another name (%1)").arg(ldhName));
    if (saysReserved(texts(object.value(QLatin1String("status"))), name)) {
        answer.reserved = true;
        return noVerdict(answer, QStringLiteral(": the name is reserved by the registry"));
    }
    answer.setVerdict(Verdict::Registered);
    answer.state = NameStates::fromRdap(name, object);
    return answer;
}

qint64 retryAfterMs(const QByteArray &header)
{
    const QByteArray value = header.trimmed();
    if (value.isEmpty())
        return -1;
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (digits.match(QString::fromLatin1(value)).hasMatch()) {
        // Read digit by digit: a number of any length is a wait, never an overflow.
        qint64 seconds = 0;
        for (char digit : value) {
            seconds = seconds * 10 + (digit - '0');
            if (seconds >= MaxRetryAfterMs / 1000)
                return MaxRetryAfterMs;
        }
        return seconds * 1000;
    }
    // An HTTP date: "Wed, 21 Oct 2026 07:28:00 GMT".
    const QDateTime when = QDateTime::fromString(
        QString::fromLatin1(value).replace(QLatin1String(" GMT"), QLatin1String(" +0000")), Qt::RFC2822Date);
    if (!when.isValid())
        return -1;
    return std::clamp<qint64>(QDateTime::currentDateTimeUtc().msecsTo(when), 0, MaxRetryAfterMs);
}

namespace {

QString joined(const QJsonArray &values, const std::function<QString(const QJsonValue &)> &text)
{
    QStringList parts;
    for (const QJsonValue &value : values) {
        if (const QString part = text(value); !part.isEmpty())
            parts += part;
    }
    return parts.join(QLatin1String(", "));
}

QString registrarOf(const QJsonArray &entities)
{
    for (const QJsonValue &entity : entities) {
        const QJsonObject object = entity.toObject();
        if (!object.value(QLatin1String("roles")).toArray().contains(QLatin1String("registrar")))
            continue;
        // vcardArray: ["vcard", [[property, parameters, type, value], ...]]
        for (const QJsonValue &property : object.value(QLatin1String("vcardArray")).toArray().at(1).toArray()) {
            const QJsonArray fields = property.toArray();
            if (fields.at(0).toString() == QLatin1String("fn"))
                return fields.at(3).toString();
        }
        return object.value(QLatin1String("handle")).toString();
    }
    return {};
}

}   // namespace

QString readableRecord(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (!document.isObject())
        return QString::fromUtf8(body);
    const QJsonObject record = document.object();
    QString text;
    const auto line = [&text](const QString &label, const QString &value) {
        if (!value.isEmpty())
            text += label + QLatin1String(": ") + value + '\n';
    };
    line(QStringLiteral("Domain Name"), record.value(QLatin1String("ldhName")).toString());
    line(QStringLiteral("Status"),
        joined(record.value(QLatin1String("status")).toArray(), [](const QJsonValue &v) { return v.toString(); }));
    for (const QJsonValue &event : record.value(QLatin1String("events")).toArray()) {
        const QJsonObject object = event.toObject();
        QString action = object.value(QLatin1String("eventAction")).toString();
        if (!action.isEmpty())
            action[0] = action[0].toUpper();
        line(action, object.value(QLatin1String("eventDate")).toString());
    }
    line(QStringLiteral("Registrar"), registrarOf(record.value(QLatin1String("entities")).toArray()));
    line(QStringLiteral("Name Servers"),
        joined(record.value(QLatin1String("nameservers")).toArray(),
            [](const QJsonValue &v) { return v.toObject().value(QLatin1String("ldhName")).toString(); }));
    for (const QJsonValue &description : record.value(QLatin1String("description")).toArray())
        line(QStringLiteral("Note"), description.toString());
    return text + '\n' + QString::fromUtf8(document.toJson(QJsonDocument::Indented));
}

QNetworkRequest request(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setRawHeader("Accept", "application/rdap+json, application/json");
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, true);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    request.setMaximumRedirectsAllowed(3);
    return request;
}

bool sameOrigin(const QUrl &a, const QUrl &b)
{
    const auto defaultPort = [](const QUrl &url) { return url.scheme() == QLatin1String("https") ? 443 : 80; };
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0
        && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && a.port(defaultPort(a)) == b.port(defaultPort(b));
}

}   // namespace Rdap
