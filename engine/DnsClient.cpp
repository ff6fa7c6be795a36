#include "engine/DnsClient.h"

#include "engine/HostPort.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QSocketNotifier>
#include <QStringList>
#include <ares.h>
#include <sys/time.h>

namespace {

constexpr int TypeNs = 2;
constexpr int ClassIn = 1;

quint16 read16(const unsigned char *at)
{
    return quint16((at[0] << 8) | at[1]);
}

// The name at `at`, and where what follows it begins; false when the name does not fit the answer.
bool readName(const unsigned char *&at, const unsigned char *answer, int length, QByteArray *name)
{
    char *expanded = nullptr;
    long used = 0;
    if (at >= answer + length || ares_expand_name(at, answer, length, &expanded, &used) != ARES_SUCCESS)
        return false;
    *name = QByteArray(expanded);
    ares_free_string(expanded);
    at += used;
    return true;
}

bool sameName(QByteArray a, QByteArray b)
{
    if (a.endsWith('.'))
        a.chop(1);
    if (b.endsWith('.'))
        b.chop(1);
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

}   // namespace

struct DnsClient::Query {
    DnsClient *client = nullptr;
    quint64 id = 0;
    QByteArray name;
};

struct DnsClient::Notifiers {
    std::unique_ptr<QSocketNotifier> read;
    std::unique_ptr<QSocketNotifier> write;
};

DnsClient::DnsClient(QObject *parent)
    : QObject(parent)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] { process(ARES_SOCKET_BAD, ARES_SOCKET_BAD); });
    static const int initialised = ares_library_init(ARES_LIB_INIT_ALL);
    if (initialised != ARES_SUCCESS) {
        m_error = QStringLiteral("DNS cannot be used: %1").arg(QString::fromLatin1(ares_strerror(initialised)));
        return;
    }
    openChannel();
}

DnsClient::~DnsClient()
{
    closeChannel();
}

void DnsClient::openChannel()
{
    ares_options options {};
    // NOCHECKRESP hands a REFUSED or SERVFAIL to us instead of asking the next resolver at once:
    // the pace learns from it. The ID and question of every answer are matched all the same.
    options.flags = ARES_FLAG_NOSEARCH | ARES_FLAG_NOALIASES | ARES_FLAG_NOCHECKRESP;
    options.timeout = m_timeoutMs;
    options.tries = Tries;
    options.sock_state_cb = &DnsClient::onSocketState;
    options.sock_state_cb_data = this;
    const int mask = ARES_OPT_FLAGS | ARES_OPT_TIMEOUTMS | ARES_OPT_TRIES | ARES_OPT_SOCK_STATE_CB;
    if (const int status = ares_init_options(&m_channel, &options, mask); status != ARES_SUCCESS) {
        m_channel = nullptr;
        m_error = QStringLiteral("DNS cannot be used: %1").arg(QString::fromLatin1(ares_strerror(status)));
        return;
    }
    if (!m_servers.isEmpty())
        ares_set_servers_ports_csv(m_channel, m_servers.toLatin1().constData());
}

void DnsClient::closeChannel()
{
    if (!m_channel)
        return;
    cancelAll();
    ares_destroy(m_channel);   // closes the sockets, which drops their notifiers
    m_channel = nullptr;
    m_sockets.clear();
    m_timeout.stop();
}

void DnsClient::setTimeoutMs(int milliseconds)
{
    if (milliseconds == m_timeoutMs || !m_channel)
        return;
    closeChannel();   // c-ares takes its timeout once, when a channel opens
    m_timeoutMs = milliseconds;
    openChannel();
}

QString DnsClient::serverList(const QString &servers, QString *error)
{
    QStringList checked;
    for (const QString &part : servers.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<HostPort> server = HostPort::parse(part, 53);
        if (!server || QHostAddress(server->host).isNull()) {
            *error = QStringLiteral("The DNS server \"%1\" is not an address with an optional port (HOST[:PORT])")
                         .arg(part.trimmed());
            return {};
        }
        checked << server->text();
    }
    return checked.join(QLatin1Char(','));
}

QString DnsClient::setServers(const QString &servers)
{
    QString error;
    const QString list = serverList(servers, &error);
    if (!error.isEmpty())
        return error;
    if (!m_channel)
        return m_error;
    if (list.isEmpty()) {
        if (!m_servers.isEmpty()) {   // back to the system's own: a new channel reads them afresh
            m_servers.clear();
            closeChannel();
            openChannel();
        }
        return m_error;
    }
    m_servers = list;
    if (const int status = ares_set_servers_ports_csv(m_channel, list.toLatin1().constData()); status != ARES_SUCCESS)
        return QStringLiteral("The DNS servers \"%1\" cannot be used: %2")
            .arg(servers, QString::fromLatin1(ares_strerror(status)));
    return {};
}

quint64 DnsClient::ask(const QString &name)
{
    const quint64 id = ++m_nextId;
    if (!m_channel) {
        QMetaObject::invokeMethod(
            this, [this, id] { emit answered(id, Outcome::Failed); }, Qt::QueuedConnection);
        return id;
    }
    auto *query = new Query {this, id, name.toLatin1()};
    m_pending.insert(id, query);
    ares_query(m_channel, (query->name + '.').constData(), ClassIn, TypeNs, &DnsClient::onAnswer, query);
    scheduleTimeout();
    return id;
}

void DnsClient::cancelAll()
{
    if (!m_channel)
        return;
    // The callbacks of the cancelled queries come within this call and are dropped.
    for (Query *query : std::as_const(m_pending))
        query->client = nullptr;
    m_pending.clear();
    ares_cancel(m_channel);
    scheduleTimeout();
}

void DnsClient::onAnswer(void *arg, int status, int timeouts, unsigned char *answer, int length)
{
    Q_UNUSED(timeouts)
    std::unique_ptr<Query> query(static_cast<Query *>(arg));
    DnsClient *client = query->client;
    if (!client || status == ARES_EDESTRUCTION || status == ARES_ECANCELLED)
        return;
    client->m_pending.remove(query->id);
    const Outcome outcome = outcomeOf(status, answer, length, query->name);
    // Told from the event loop, never from inside c-ares or inside ask().
    QMetaObject::invokeMethod(
        client, [client, id = query->id, outcome] { emit client->answered(id, outcome); }, Qt::QueuedConnection);
}

DnsClient::Outcome DnsClient::outcomeOf(int status, const unsigned char *answer, int length, const QByteArray &name)
{
    switch (status) {
    case ARES_ENOTFOUND: return Outcome::NotDelegated;
    case ARES_SUCCESS:
    case ARES_ENODATA: break;   // NODATA or a referral: the records tell
    case ARES_EREFUSED: return Outcome::Refused;
    case ARES_ESERVFAIL: return Outcome::ServerFailure;
    case ARES_ETIMEOUT:
    case ARES_ECONNREFUSED: return Outcome::Silent;
    default: return Outcome::Failed;
    }
    if (!answer || length < 12)
        return Outcome::Failed;
    const int questions = read16(answer + 4);
    const int records = read16(answer + 6) + read16(answer + 8);   // the answer and authority sections
    const unsigned char *at = answer + 12;
    const unsigned char *end = answer + length;
    QByteArray owner;
    for (int i = 0; i < questions; ++i) {
        if (!readName(at, answer, length, &owner) || end - at < 4)
            return Outcome::Failed;
        at += 4;
    }
    // Only NS records whose owner is the name asked: an address for it (a resolver that makes up
    // answers) or the name servers of its parent zone say nothing of its delegation.
    bool delegated = false;
    for (int i = 0; i < records; ++i) {
        if (!readName(at, answer, length, &owner) || end - at < 10)
            return Outcome::Failed;
        const int type = read16(at);
        const int recordClass = read16(at + 2);
        const int dataLength = read16(at + 8);
        at += 10;
        if (end - at < dataLength)
            return Outcome::Failed;
        at += dataLength;
        // Only the Internet's records: records of another class (CH, HS) are no answer to our question.
        if (recordClass != ClassIn)
            return Outcome::Failed;
        delegated |= type == TypeNs && sameName(owner, name);
    }
    return delegated ? Outcome::Delegated : Outcome::NoData;
}

void DnsClient::onSocketState(void *data, int socket, int readable, int writable)
{
    static_cast<DnsClient *>(data)->socketState(socket, readable != 0, writable != 0);
}

void DnsClient::socketState(int socket, bool readable, bool writable)
{
    if (!readable && !writable) {
        // The socket is closed: its notifiers go once the event loop is out of them.
        if (const auto found = m_sockets.find(socket); found != m_sockets.end()) {
            for (QSocketNotifier *notifier : {found.value()->read.get(), found.value()->write.get()}) {
                if (notifier)
                    notifier->setEnabled(false);
            }
            QMetaObject::invokeMethod(
                this, [kept = found.value()] { Q_UNUSED(kept) }, Qt::QueuedConnection);
            m_sockets.erase(found);
        }
        return;
    }
    std::shared_ptr<Notifiers> &notifiers = m_sockets[socket];
    if (!notifiers) {
        notifiers = std::make_shared<Notifiers>();
        notifiers->read = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
        notifiers->write = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Write);
        connect(notifiers->read.get(), &QSocketNotifier::activated, this,
            [this, socket] { process(socket, ARES_SOCKET_BAD); });
        connect(notifiers->write.get(), &QSocketNotifier::activated, this,
            [this, socket] { process(ARES_SOCKET_BAD, socket); });
    }
    notifiers->read->setEnabled(readable);
    notifiers->write->setEnabled(writable);
}

void DnsClient::process(int readSocket, int writeSocket)
{
    if (m_channel)
        ares_process_fd(m_channel, readSocket, writeSocket);
    scheduleTimeout();
}

void DnsClient::scheduleTimeout()
{
    if (!m_channel)
        return;
    timeval wait {};
    if (!ares_timeout(m_channel, nullptr, &wait)) {
        m_timeout.stop();
        return;
    }
    const int ms = int(wait.tv_sec * 1000 + (wait.tv_usec + 999) / 1000);
    if (!m_timeout.isActive() || m_timeout.remainingTime() > ms)
        m_timeout.start(ms);
}
