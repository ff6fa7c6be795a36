#pragma once
#include "tools/testservices/Behaviours.h"
#include "tools/testservices/NameRules.h"

#include <QSet>
#include <QTcpServer>
#include <QUdpSocket>
#include <memory>

// DNS on 127.0.0.1, UDP and TCP on one port, as a resolver would answer NS questions about the
// registry's names: NS records for a registered name, NXDOMAIN for a free one; and the faults of
// resolvers that tests ask for.
class DnsService : public QObject
{
public:
    DnsService(const Options &options, const NameRules &rules);
    // Binds UDP and TCP to one port; port 0 takes any port free for both.
    bool listen(quint16 port);
    quint16 port() const { return m_udp->localPort(); }

private:
    static constexpr int TypeA = 1;
    static constexpr int TypeNs = 2;
    static constexpr int SlowFirstMs = 300;   // well within a client's wait for an answer

    void readDatagrams();
    void acceptTcp();
    QByteArray record(const QByteArray &owner, int type, const QByteArray &data) const;
    // The reply to one query; empty for what is no query, or for one left unanswered.
    QByteArray answerTo(const QByteArray &query, bool udp);

    const Options &m_options;
    const NameRules &m_rules;
    std::unique_ptr<QUdpSocket> m_udp;
    std::unique_ptr<QTcpServer> m_tcp;
    RateLimit m_limit {m_options.dnsLimitPerSecond};
    quint64 m_questions = 0;
    quint64 m_udpQuestions = 0;
    QSet<QByteArray> m_silentNames;
};
