#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QIODevice;
class QTcpSocket;

// The WHOIS convention: one TCP connection per query, the query and CR LF sent on connect, the reply
// read until the server closes; "No match for" anywhere in it, in any letter case, means free.
namespace Whois {

constexpr quint16 DefaultPort = 43;
constexpr qsizetype ReplyCap = 1 << 20;   // more of a reply than this is not kept

struct Server {
    QString host;
    quint16 port = DefaultPort;

    // "host" or "host:port"; an invalid port gives an empty host.
    static Server parse(const QString &text);
    QString text() const;
    bool isValid() const { return !host.isEmpty() && port != 0; }
};

// The server from TAMARIND_WHOIS_SERVER, else the setting "WhoisServer", else the .com registry.
Server ConfiguredServer();

// A candidate as it is asked: the text after a first ":", decoded and cleaned, given ".com" unless
// it holds ".com" or ".net", and without control characters, so one query is one line.
QString PrepareLookupName(const QString &candidate);
QByteArray Request(const QString &query);
bool IsUnregisteredReply(const QByteArray &reply);
// Closes a socket without signals: an abort of a connected socket would report a close by the
// server, which reads as the end of a reply.
void CloseQuietly(QTcpSocket &socket);
// What the socket holds, as far as a reply of `kept` bytes may still grow.
QByteArray ReadUpToCap(QIODevice &socket, qsizetype kept);

} // namespace Whois

// One WHOIS question and its raw answer, for showing a record.
class WhoisQuery : public QObject
{
    Q_OBJECT

public:
    explicit WhoisQuery(QObject *parent = nullptr);
    ~WhoisQuery() override;
    // Asks the server about the name exactly as given. finished() follows once.
    void start(const Whois::Server &server, const QString &name, int timeoutMs = 30000);

signals:
    // The reply as received (at most ReplyCap bytes); error is empty on success.
    void finished(const QByteArray &reply, const QString &error);

private:
    void finish(const QString &error);

    QTcpSocket *m_socket;
    QTimer m_timeout;
    QByteArray m_reply;
    QByteArray m_request;
    bool m_done = true;
};
