#include "tools/testservices/HostileAnswers.h"

#include "tools/testservices/Replies.h"

#include <QTcpSocket>

namespace HostileAnswers {

namespace {

// A zlib stream, as "Content-Encoding: deflate" carries it: qCompress's output without its leading
// length.
QByteArray deflated(const QByteArray &body)
{
    return qCompress(body, 9).mid(4);
}

// A 200 whose body never ends: chunks as fast as the client takes them.
void endlessBody(QTcpSocket *socket)
{
    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/rdap+json\r\nTransfer-Encoding: chunked\r\n\r\n");
    const QByteArray chunk = "10000\r\n" + QByteArray(0x10000, ' ') + "\r\n";
    const auto more = [socket, chunk] {
        while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * chunk.size())
            socket->write(chunk);
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
    more();
}

}   // namespace

bool overWhois(QTcpSocket *socket, const QByteArray &name)
{
    const QByteArray upper = name.toUpper();
    if (name.startsWith("someone-else"))
        Replies::sendWhois(socket, "No match for \"SOMEONE-ELSE.COM\".\r\n");
    else if (name.startsWith("remark"))
        Replies::sendWhois(socket,
            "   Domain Name: " + upper + "\r\n   Remark: No match for \"" + upper + "\" in the old database\r\n");
    else if (name.startsWith("two-names"))
        Replies::sendWhois(socket, "No match for \"" + upper + "\".\r\n   Domain Name: OTHER.COM\r\n");
    else if (name.startsWith("escape"))
        Replies::sendWhois(socket, "\x1b]0;owned\x07\x1b[2JSlow down\r\n");
    else
        return false;
    return true;
}

bool overRdap(QTcpSocket *socket, const QByteArray &name)
{
    const QByteArray rdap = "application/rdap+json";
    if (name.startsWith("empty-json-404"))
        Replies::sendHttp(socket, 404, "application/json", {});
    else if (name.startsWith("html-rdap-404"))
        Replies::sendHttp(socket, 404, rdap, "<html><body>Not Found</body></html>");
    else if (name.startsWith("error-500-404"))
        Replies::sendHttp(socket, 404, rdap, R"({"errorCode":500,"title":"Internal error"})");
    else if (name.startsWith("cut-404")) {
        socket->write("HTTP/1.1 404 Not Found\r\nContent-Type: " + rdap + "\r\nContent-Length: 5000\r\n\r\n{\"err");
        socket->disconnectFromHost();
    } else if (name.startsWith("rights-notice"))
        Replies::sendHttp(socket, 404, rdap,
            R"({"errorCode":404,"title":"Not Found","notices":[{"title":"Terms","description":["All rights reserved."]}]})");
    else if (name == "reserved.com" || name == "blocked.com")
        Replies::sendHttp(socket, 200, rdap,
            R"({"objectClassName":"domain","ldhName":")" + name.toUpper()
                + R"(","status":["active"],"remarks":[{"description":["Registered and reserved for its owner."]}]})");
    else if (name.startsWith("endless"))
        endlessBody(socket);
    else if (name.startsWith("deflate-404"))
        Replies::sendHttp(
            socket, 404, rdap, deflated(R"({"errorCode":404,"title":"Not Found"})"), "Content-Encoding: deflate\r\n");
    else if (name.startsWith("deflate-bomb")) {
        static const QByteArray bomb = deflated(QByteArray(64 << 20, ' '));   // 64 MB in about 64 KB
        Replies::sendHttp(socket, 200, rdap, bomb, "Content-Encoding: deflate\r\n");
    } else
        return false;
    return true;
}

}   // namespace HostileAnswers
