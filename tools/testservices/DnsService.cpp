#include "tools/testservices/DnsService.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray u16(int value)
{
    return QByteArray(1, char(value >> 8)) + char(value & 0xFF);
}

QByteArray encodedName(const QByteArray &name)
{
    QByteArray encoded;
    for (const QByteArray &label : name.split('.')) {
        if (!label.isEmpty())
            encoded += char(label.size()) + label;
    }
    return encoded + '\0';
}

}   // namespace

DnsService::DnsService(const Options &options, const NameRules &rules)
    : m_options(options)
    , m_rules(rules)
{ }

bool DnsService::listen(quint16 port)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        m_udp = std::make_unique<QUdpSocket>();
        m_tcp = std::make_unique<QTcpServer>();
        if (m_udp->bind(QHostAddress::LocalHost, port) && m_tcp->listen(QHostAddress::LocalHost, m_udp->localPort()))
            break;
        if (port != 0)
            return false;
    }
    if (!m_tcp->isListening())
        return false;
    m_udp->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 1 << 20);
    connect(m_udp.get(), &QUdpSocket::readyRead, this, &DnsService::readDatagrams);
    connect(m_tcp.get(), &QTcpServer::newConnection, this, &DnsService::acceptTcp);
    return true;
}

void DnsService::readDatagrams()
{
    while (m_udp->hasPendingDatagrams()) {
        QHostAddress from;
        quint16 fromPort = 0;
        QByteArray query(int(m_udp->pendingDatagramSize()), Qt::Uninitialized);
        query.resize(m_udp->readDatagram(query.data(), query.size(), &from, &fromPort));
        const QByteArray reply = answerTo(query, true);
        if (reply.isEmpty())
            continue;
        const int latency = ++m_udpQuestions <= quint64(m_options.dnsSlowFirst) ? SlowFirstMs : m_options.dnsLatencyMs;
        if (latency <= 0)
            m_udp->writeDatagram(reply, from, fromPort);
        else
            QTimer::singleShot(
                latency, this, [this, reply, from, fromPort] { m_udp->writeDatagram(reply, from, fromPort); });
    }
}

void DnsService::acceptTcp()
{
    while (QTcpSocket *socket = m_tcp->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            QByteArray buffered = socket->property("buffer").toByteArray() + socket->readAll();
            while (buffered.size() >= 2) {
                const int length = (quint8(buffered[0]) << 8) | quint8(buffered[1]);
                if (buffered.size() < 2 + length)
                    break;
                const QByteArray reply = answerTo(buffered.mid(2, length), false);
                buffered.remove(0, 2 + length);
                if (!reply.isEmpty())
                    socket->write(u16(int(reply.size())) + reply);
            }
            socket->setProperty("buffer", buffered);
        });
    }
}

QByteArray DnsService::record(const QByteArray &owner, int type, const QByteArray &data) const
{
    const int recordClass = m_options.dnsChaos ? 3 : 1;   // CH or IN
    return owner + u16(type) + u16(recordClass) + QByteArray("\0\0\x01\x2c", 4) + u16(int(data.size())) + data;
}

QByteArray DnsService::answerTo(const QByteArray &query, bool udp)
{
    if (query.size() < 17)
        return {};
    qsizetype at = 12;
    QByteArray name;
    while (at < query.size() && query[at] != 0) {
        const int length = quint8(query[at]);
        if (length > 63 || at + 1 + length >= query.size())
            return {};
        name += (name.isEmpty() ? QByteArray() : QByteArray(".")) + query.mid(at + 1, length);
        at += 1 + length;
    }
    if (at + 5 > query.size())
        return {};
    const QByteArray question = query.mid(12, at + 5 - 12);
    const int type = (quint8(query[at + 1]) << 8) | quint8(query[at + 2]);
    const QByteArray lower = name.toLower();
    const bool ending = !lower.contains('.');   // every top-level zone is delegated from the root
    const bool registered = ending || !m_rules.isFree(lower);
    const bool delegated = ending
        || (registered && m_rules.droppingPhase(lower).isEmpty() && !amongShare("held:", lower, m_options.heldRatio));

    int rcode = 0;
    bool truncated = false;
    QByteArray answers;
    QByteArray authority;
    int answerCount = 0;
    int authorityCount = 0;
    const QByteArray self("\xc0\x0c", 2);   // the name of the question
    ++m_questions;
    if (m_options.dnsSilentAfter > 0 && m_questions > quint64(m_options.dnsSilentAfter))
        return {};   // gone silent
    if (m_silentNames.size() < m_options.dnsSilentNames)
        m_silentNames.insert(lower);
    if (m_silentNames.contains(lower))
        return {};   // a name this server never answers
    const bool lame = registered && !ending && amongShare("lame:", lower, m_options.servfailRatio);
    if (m_options.dnsRefuseAll || m_limit.exceeded()) {
        rcode = 5;   // REFUSED
    } else if (m_options.dnsDenyAll) {
        rcode = 3;   // NXDOMAIN
    } else if (m_options.dnsEmptyAll) {
        // NOERROR and nothing else
    } else if (lame || (m_options.servfailEvery > 0 && m_questions % quint64(m_options.servfailEvery) == 0)) {
        rcode = 2;   // SERVFAIL
    } else if (m_options.dnsFabricate && type == TypeNs) {
        for (const char *server : {"\x03ns1", "\x03ns2"})
            answers += record(self, TypeNs, QByteArray(server) + encodedName("parking.test"));
        answerCount = 2;
    } else if (m_options.hijack && (type == TypeA || !delegated)) {
        // An address for anything, and the parent zone's servers: no delegation of the name.
        answers = record(self, TypeA, QByteArray("\x0a\x00\x00\x01", 4));
        answerCount = 1;
        authority =
            record(encodedName(lower.mid(lower.lastIndexOf('.') + 1)), TypeNs, encodedName("a.gtld-servers.net"));
        authorityCount = 1;
    } else if (!delegated) {
        rcode = 3;   // NXDOMAIN
    } else if (type == TypeNs && udp && m_options.dnsTruncate) {
        truncated = true;
    } else if (type == TypeNs) {
        for (const char *server : {"\x03ns1", "\x03ns2"})
            answers += record(self, TypeNs, QByteArray(server) + self);
        answerCount = 2;
    }
    QByteArray asked = question;
    if (m_options.dnsMismatch)
        asked = encodedName("other-" + lower) + question.right(4);
    const int flags = 0x8000 | (quint8(query[2]) & 0x01) << 8 | 0x0080 | (truncated ? 0x0200 : 0) | rcode;
    return query.left(2) + u16(flags) + u16(1) + u16(answerCount) + u16(authorityCount) + u16(0) + asked + answers
        + authority;
}
