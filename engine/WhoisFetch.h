#pragma once
#include "engine/LookupAnswer.h"
#include "engine/Whois.h"
#include "engine/WhoisRules.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>

// One WHOIS question on a connection of its own: the name sent once connected, the reply read until
// the server closes, or cut off at Reply::Cap. Cancelling closes the connection without a
// signal, so nothing of it reaches an owner that has moved on.
class WhoisFetch : public QObject
{
    Q_OBJECT

public:
    struct Result {
        QByteArray reply;            // as received, at most Reply::Cap bytes
        QString error;               // empty when the server closed after its reply
        bool connected = false;      // the query was sent: an error came after it
        bool hostNotFound = false;   // the server's host does not exist
        bool capped = false;         // the reply passed the cap and was cut off there

        // What the result says of `name`, where `marker` marks a record: the one reading of a
        // WHOIS reply, for a run and for the record window alike.
        LookupAnswer answerFor(const QString &name, const QByteArray &marker) const;
        // The same by a registry's own rules: a reply cut at the cap tells nothing.
        LookupAnswer answerFor(const QString &name, const WhoisRules &rules) const;
    };

    explicit WhoisFetch(QObject *parent = nullptr);
    ~WhoisFetch() override;

    // Sends the query (a name, or the form a registry asks for) exactly as given, on a new connection; finished()
    // follows once, unless cancelled or asked again. With a timeout (ms), a fetch without its reply by then ends with
    // an error.
    void start(const Whois::Server &server, const QString &query, int timeoutMs = 0);
    void cancel();

signals:
    void connected();   // the server took the connection; the query goes out next
    void received();    // a part of the reply came
    void finished(const WhoisFetch::Result &result);

private:
    void finish(const QString &error);

    QTcpSocket m_socket;
    QTimer m_timeout;
    Whois::Server m_server;
    QByteArray m_request;
    QByteArray m_reply;
    bool m_active = false;
};
