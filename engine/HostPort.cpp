#include "engine/HostPort.h"

#include <QRegularExpression>

std::optional<HostPort> HostPort::parse(const QString &text, quint16 defaultPort)
{
    const QString trimmed = text.trimmed();
    QString host = trimmed;
    QString port;
    if (trimmed.startsWith('[')) {
        const qsizetype close = trimmed.indexOf(']');
        if (close < 0)
            return std::nullopt;
        host = trimmed.mid(1, close - 1);
        const QString rest = trimmed.mid(close + 1);
        if (!rest.isEmpty() && (!rest.startsWith(':') || rest.size() == 1))
            return std::nullopt;
        port = rest.mid(1);
    } else if (trimmed.count(':') == 1) {
        const qsizetype colon = trimmed.indexOf(':');
        host = trimmed.left(colon);
        port = trimmed.mid(colon + 1);
        if (port.isEmpty())
            return std::nullopt;
    }
    if (host.isEmpty() || host.contains(QRegularExpression(QStringLiteral("[\\s/\\[\\]]"))))
        return std::nullopt;
    HostPort parsed {host, defaultPort};
    if (!port.isEmpty()) {
        bool ok = false;
        const uint number = port.toUInt(&ok);
        if (!ok || number == 0 || number > 65535)
            return std::nullopt;
        parsed.port = quint16(number);
    }
    return parsed;
}

QString HostPort::text() const
{
    // One arg() call: a "%2" in the host would be taken for the port's place by a second one.
    return host.contains(':') ? QStringLiteral("[%1]:%2").arg(host, QString::number(port))
                              : QStringLiteral("%1:%2").arg(host, QString::number(port));
}
