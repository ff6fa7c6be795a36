#pragma once
#include "tools/testservices/Registry.h"

#include <QTcpServer>

class QTcpSocket;

// The registry over WHOIS: one query per connection, the reply, then the close.
class WhoisService : public QObject
{
public:
    explicit WhoisService(Registry &registry);
    bool listen(quint16 port);
    quint16 port() const { return m_server.serverPort(); }

private:
    void accept();
    void readQuery(QTcpSocket *socket, quint64 connection);
    // The faults asked for, in the order a registry would meet them; true when one answered.
    bool misbehaves(QTcpSocket *socket, const QByteArray &query, quint64 connection);

    Registry &m_registry;
    QTcpServer m_server;
    quint64 m_connections = 0;
};
