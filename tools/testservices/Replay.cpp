#include "tools/testservices/Replay.h"

#include <QList>
#include <QTcpSocket>

namespace Replay {

QByteArray queriedName(const QByteArray &query)
{
    QByteArray name = query.toLower().split(' ').constLast();
    if (name.endsWith("/e"))
        name.chop(2);
    return name;
}

void sendHttp(QTcpSocket *socket, QByteArray captured)
{
    captured.replace("\r\n", "\n");
    const qsizetype blank = captured.indexOf("\n\n");
    const QByteArray body = blank < 0 ? QByteArray() : captured.mid(blank + 2);
    const QList<QByteArray> head = captured.left(blank < 0 ? captured.size() : blank).split('\n');
    const int status = head.value(0).split(' ').value(1).toInt();
    QByteArray type;
    QByteArray headers;
    for (const QByteArray &line : head.mid(1)) {
        const QByteArray field = line.left(line.indexOf(':')).trimmed().toLower();
        if (field == "content-type")
            type = line.mid(line.indexOf(':') + 1).trimmed();
        else if (field != "content-length" && field != "transfer-encoding" && field != "connection")
            headers += line + "\r\n";
    }
    socket->write("HTTP/1.1 " + QByteArray::number(status) + " Answer\r\n"
        + (type.isEmpty() ? QByteArray() : "Content-Type: " + type + "\r\n")
        + "Content-Length: " + QByteArray::number(body.size()) + "\r\n" + headers + "\r\n" + body);
}

}   // namespace Replay
