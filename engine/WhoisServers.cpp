#include "engine/WhoisServers.h"

#include "app/ProgramFolder.h"
#include "app/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace Whois {

namespace {

QString endingOf(QString text)
{
    text = text.trimmed().toLower();
    while (text.startsWith(QLatin1Char('.')))
        text.remove(0, 1);
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

// The "# Source:" line of a table, which names where and when its servers were read.
QString sourceOf(const QByteArray &text)
{
    for (const QByteArray &line : text.split('\n')) {
        if (line.startsWith("# Source:"))
            return QString::fromUtf8(line.mid(9)).trimmed();
    }
    return {};
}

}   // namespace

Server ServerTable::serverFor(const QString &name) const
{
    const QStringList labels = name.toLower().split(QLatin1Char('.'));
    for (const QHash<QString, Server> *table : {&byEnding, &known}) {
        for (qsizetype first = 1; first < labels.size(); ++first) {
            if (const auto found = table->constFind(labels.mid(first).join(QLatin1Char('.')));
                found != table->constEnd())
                return *found;
        }
    }
    return {};
}

bool ServerTable::givenFor(const QString &name) const
{
    const QStringList labels = name.toLower().split(QLatin1Char('.'));
    for (qsizetype first = 1; first < labels.size(); ++first) {
        if (byEnding.contains(labels.mid(first).join(QLatin1Char('.'))))
            return true;
    }
    return false;
}

std::optional<ServerItems> parseServerItems(const QString &text, QString *badItem)
{
    ServerItems items;
    bool bare = false;
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    for (const QString &item : parts) {
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        const Server server = Server::parse(equals > 0 ? item.mid(equals + 1) : item);
        const QString ending = equals > 0 ? endingOf(item.left(equals)) : QString();
        if (!server.isValid() || (equals >= 0 && ending.isEmpty()) || (equals < 0 && bare)) {
            if (badItem)
                *badItem = item;
            return std::nullopt;
        }
        if (equals < 0) {
            items.comNet = server;
            bare = true;
        } else {
            items.byEnding.insert(ending, server);
        }
    }
    if (parts.isEmpty())
        return std::nullopt;
    if (!bare)   // .com and .net keep their registry unless an item names them
        items.comNet = items.byEnding.value(QStringLiteral("com"), Server::parse(Settings::WhoisServer.defaultValue()));
    return items;
}

bool parseServerFile(const QByteArray &text, QHash<QString, Server> *into, QString *error)
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    QHash<QString, Server> read;
    int number = 0;
    for (const QByteArray &raw : text.split('\n')) {
        ++number;
        const QString line = QString::fromUtf8(raw).section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList parts = line.split(space);
        const Server server = parts.size() == 2 ? Server::parse(parts[1]) : Server {};
        if (!server.isValid() || endingOf(parts[0]).isEmpty()) {
            *error = QStringLiteral("line %1 is not \"ENDING HOST[:PORT]\": %2").arg(number).arg(line.left(100));
            return false;
        }
        read.insert(endingOf(parts[0]), server);
    }
    into->insert(read);
    return true;
}

ServerTable withKnownServers(const QHash<QString, Server> &given)
{
    ServerTable table;
    table.byEnding = given;
    for (const QString &fileName : {ServerTableFileName, ServerOverridesFileName}) {
        const QString path =
            ProgramFolder::dataFile(fileName, QStringLiteral("whois"), QStringLiteral(TAMARIND_SHIPPED_WHOIS));
        QFile file(path);
        QString error;
        if (path.isEmpty())
            error = QStringLiteral("%1 is missing").arg(fileName);
        else if (!file.open(QIODevice::ReadOnly))
            error = QStringLiteral("%1 cannot be read: %2").arg(QDir::toNativeSeparators(path), file.errorString());
        else if (const QByteArray text = file.read(16 << 20); !parseServerFile(text, &table.known, &error))
            error = QStringLiteral("%1 cannot be used: %2").arg(QDir::toNativeSeparators(path), error);
        else if (fileName == ServerTableFileName) {
            table.tableFile = path;
            table.tableSource = sourceOf(text);
        }
        if (!error.isEmpty())
            table.knownProblems << error;
    }
    return table;
}

Server configuredServer(QString *error)
{
    const std::optional<ServerItems> items = parseServerItems(Settings::WhoisServer.text());
    if (!items && error)
        *error = notAServer(Settings::WhoisServer.text(), Settings::WhoisServer.origin());
    return items ? items->comNet : Server {};
}

ServerTable configuredServerTable()
{
    const std::optional<ServerItems> items = parseServerItems(Settings::WhoisServer.text());
    return withKnownServers(items ? items->byEnding : QHash<QString, Server> {});
}

}   // namespace Whois
