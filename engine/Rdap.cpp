#include "engine/Rdap.h"

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

QUrl Bases::requestFor(const QString &name) const
{
    const QString ending = name.section('.', -1).toLower();
    const QUrl base = byEnding.value(ending, everyEnding);
    if (base.isEmpty())
        return {};
    return base.resolved(QUrl(QStringLiteral("domain/") + name.toLower()));
}

Bases configuredBases(QString *error)
{
    if (const auto bases = Bases::parse(Settings::RdapBase.get()))
        return *bases;
    if (error)
        *error = QStringLiteral("%1 holds \"%2\", which is not an RDAP base: give URL or ENDING=URL ...")
                     .arg(Settings::RdapBase.origin(), Settings::RdapBase.text());
    return {};
}

namespace {

bool isJson(const QByteArray &contentType)
{
    const QByteArray type = contentType.split(';').constFirst().trimmed().toLower();
    return type == "application/rdap+json" || type == "application/json";
}

// A registry that will not let a name be registered says so in its record or its error.
bool saysReserved(const QByteArray &body)
{
    static const QRegularExpression words(
        QStringLiteral("\\b(reserved|blocked)\\b"), QRegularExpression::CaseInsensitiveOption);
    return words.match(QString::fromUtf8(body)).hasMatch();
}

}   // namespace

Answer replyAnswer(
    int status, const QByteArray &contentType, const QByteArray &body, const QString &name, bool fromHostAsked)
{
    Answer answer;
    answer.status = status;
    answer.said = status == 0 ? QStringLiteral("no HTTP reply") : QStringLiteral("HTTP %1").arg(status);
    if (status != 200 && status != 404)
        return answer;
    if (!fromHostAsked) {
        answer.said += QStringLiteral(" from another host than the one asked");
        return answer;
    }
    if (!isJson(contentType)) {
        answer.said += QStringLiteral(" that is not an RDAP answer (%1)")
                           .arg(QString::fromLatin1(contentType.isEmpty() ? "no content type" : contentType));
        return answer;
    }
    if (saysReserved(body)) {
        answer.reserved = true;
        answer.said += QStringLiteral(": the name is reserved by the registry");
        return answer;
    }
    if (status == 404) {
        answer.verdict = Whois::Verdict::Free;
        return answer;
    }
    const QJsonObject record = QJsonDocument::fromJson(body).object();
    const QString ldhName = record.value(QLatin1String("ldhName")).toString();
    if (record.value(QLatin1String("objectClassName")).toString() == QLatin1String("domain")
        && ldhName.compare(name, Qt::CaseInsensitive) == 0)
        answer.verdict = Whois::Verdict::Registered;
    else
        answer.said += ldhName.isEmpty() ? QStringLiteral(" without a domain record")
                                         : QStringLiteral(" with the record of another name (%1)").arg(ldhName);
    return answer;
}

qint64 retryAfterMs(const QByteArray &header)
{
    const QByteArray value = header.trimmed();
    if (value.isEmpty())
        return -1;
    bool ok = false;
    const qint64 seconds = value.toLongLong(&ok);
    if (ok)
        return seconds >= 0 ? seconds * 1000 : -1;
    // An HTTP date: "Wed, 21 Oct 2026 07:28:00 GMT".
    const QDateTime when = QDateTime::fromString(
        QString::fromLatin1(value).replace(QLatin1String(" GMT"), QLatin1String(" +0000")), Qt::RFC2822Date);
    if (!when.isValid())
        return -1;
    return std::max<qint64>(0, QDateTime::currentDateTimeUtc().msecsTo(when));
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
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(3);
    return request;
}

std::optional<Answer> replyAnswer(
    const QNetworkReply &reply, const QByteArray &body, const QString &name, const QUrl &asked)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0)
        return std::nullopt;
    // A redirect may have led elsewhere: only the host asked speaks for the registry.
    const bool fromHostAsked =
        reply.url().host().compare(asked.host(), Qt::CaseInsensitive) == 0 && reply.url().port() == asked.port();
    Answer answer = replyAnswer(status, reply.rawHeader("Content-Type"), body, name, fromHostAsked);
    answer.retryAfterMs = retryAfterMs(reply.rawHeader("Retry-After"));
    return answer;
}

}   // namespace Rdap
