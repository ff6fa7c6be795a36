#include "engine/RdapServices.h"

#include "app/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace Rdap {

namespace {

QUrl serviceUrl(QString text)
{
    if (!text.endsWith(QLatin1Char('/')))
        text += QLatin1Char('/');
    const QUrl url(text, QUrl::StrictMode);
    const bool web = url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http");
    return url.isValid() && web && !url.host().isEmpty() ? url : QUrl();
}

QString endingOf(QString text)
{
    text = text.trimmed().toLower();
    while (text.startsWith(QLatin1Char('.')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

bool readFile(const QString &path, QByteArray *bytes, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    constexpr qint64 Limit = 16 << 20;   // the published file is well under 1 MB
    if (file.size() > Limit) {
        *error = QStringLiteral("%1 is larger than %2 MB, more than any list of services")
                     .arg(QDir::toNativeSeparators(path))
                     .arg(Limit >> 20);
        return false;
    }
    *bytes = file.readAll();
    return true;
}

}   // namespace

bool parseBootstrap(const QByteArray &json, Services *into, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    const QJsonValue services = document.object().value(QStringLiteral("services"));
    if (!document.isObject() || !services.isArray()) {
        *error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                              : QStringLiteral("it holds no list of services");
        return false;
    }
    for (const QJsonValue &service : services.toArray()) {
        const QJsonArray pair = service.toArray();
        QUrl chosen;
        for (const QJsonValue &address : pair.at(1).toArray()) {
            const QUrl url = serviceUrl(address.toString());
            if (url.isValid() && (chosen.isEmpty() || url.scheme() == QLatin1String("https")))
                chosen = url;
        }
        if (chosen.isEmpty())
            continue;
        for (const QJsonValue &ending : pair.at(0).toArray()) {
            if (const QString name = endingOf(ending.toString()); !name.isEmpty())
                into->byEnding.insert(name, chosen);
        }
    }
    into->publication = document.object().value(QStringLiteral("publication")).toString();
    return true;
}

bool parseOverrides(const QByteArray &text, Services *into, QString *error)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    // Taken whole or not at all: the lines before a bad one are no more to be trusted than it.
    QHash<QString, QUrl> read;
    int number = 0;
    for (const QByteArray &rawLine : text.split('\n')) {
        ++number;
        const QString line = QString::fromUtf8(rawLine).section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList parts = line.split(space);
        const QUrl url = parts.size() == 2 ? serviceUrl(parts[1]) : QUrl();
        if (url.isEmpty() || endingOf(parts[0]).isEmpty()) {
            *error = QStringLiteral("line %1 is not \"ENDING URL\": %2").arg(number).arg(line.left(100));
            return false;
        }
        read.insert(endingOf(parts[0]), url);
    }
    into->byEnding.insert(read);
    return true;
}

QString servicesFile(const QString &fileName)
{
    return ProgramFolder::dataFile(fileName, QStringLiteral("rdap"), QStringLiteral(TAMARIND_SHIPPED_RDAP));
}

Services loadServices()
{
    Services services;
    const auto load = [&services](const QString &fileName, auto parse) {
        const QString path = servicesFile(fileName);
        QByteArray bytes;
        QString error;
        if (path.isEmpty())
            error = QStringLiteral("%1 is missing").arg(fileName);
        else if (readFile(path, &bytes, &error) && !parse(bytes, &services, &error))
            error = QStringLiteral("%1 cannot be used: %2").arg(QDir::toNativeSeparators(path), error);
        if (!error.isEmpty())
            services.problems << error;
    };
    load(BootstrapFileName, parseBootstrap);
    load(OverridesFileName, parseOverrides);
    return services;
}

}   // namespace Rdap
