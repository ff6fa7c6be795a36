#pragma once
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

struct ares_channeldata;
class QSocketNotifier;

// NS questions to DNS resolvers over c-ares, driven by the event loop: its sockets through socket
// notifiers, its timeouts through a timer; no thread and no blocking call. c-ares matches each
// answer's ID and question to its query, and asks again over TCP when a UDP answer is truncated.
class DnsClient : public QObject
{
    Q_OBJECT

public:
    // What DNS says of a name.
    enum class Outcome {
        Delegated,       // NS records for the name itself, as an answer or as a referral
        NotDelegated,    // NXDOMAIN: the name does not exist in its zone
        NoData,          // NOERROR without NS records of the name: a wildcard, a filter, or a name without a zone cut
        Refused,         // REFUSED: the resolver's load, or our pace
        Silent,          // no answer in time, or no resolver listening
        ServerFailure,   // SERVFAIL: the name's own trouble (a delegation whose name servers are dead)
        Failed,          // a malformed answer, or any other failure
    };
    static constexpr int TimeoutMs = 2000;   // the first try's; c-ares doubles it for the next
    static constexpr int Tries = 2;

    explicit DnsClient(QObject *parent = nullptr);
    ~DnsClient() override;

    // Why DNS cannot be asked at all (c-ares could not start, no resolver known), or empty.
    QString error() const { return m_error; }
    // The resolvers: "HOST[:PORT]" addresses separated by commas; empty for the system's own.
    // Returns why the text cannot be used, or empty.
    QString setServers(const QString &servers);
    // The resolvers of a "HOST[:PORT],..." text as c-ares takes them ("127.0.0.1:53,[::1]:53"), or
    // why the text cannot be used. Addresses only: a resolver is never looked up itself.
    static QString serverList(const QString &servers, QString *error);
    // Asks for the NS records of the name (its ASCII form); answered() follows, never within this call.
    quint64 ask(const QString &name);
    // The wait for the first try's answer; open questions are forgotten.
    void setTimeoutMs(int milliseconds);
    // Forgets every open question without an answer.
    void cancelAll();
    int pending() const { return int(m_pending.size()); }

    // The outcome of an answer to an NS question for `name`; for the tests of the rule.
    static Outcome outcomeOf(int status, const unsigned char *answer, int length, const QByteArray &name);

signals:
    void answered(quint64 id, DnsClient::Outcome outcome);

private:
    struct Query;
    void openChannel();
    void closeChannel();
    static void onSocketState(void *data, int socket, int readable, int writable);
    static void onAnswer(void *arg, int status, int timeouts, unsigned char *answer, int length);
    void socketState(int socket, bool readable, bool writable);
    void process(int readSocket, int writeSocket);
    void scheduleTimeout();

    ares_channeldata *m_channel = nullptr;
    QString m_error;
    QString m_servers;   // as c-ares takes them; empty for the system's
    int m_timeoutMs = TimeoutMs;
    quint64 m_nextId = 0;
    QHash<quint64, Query *> m_pending;
    struct Notifiers;
    QHash<int, std::shared_ptr<Notifiers>> m_sockets;
    QTimer m_timeout;
};
