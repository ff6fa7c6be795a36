#pragma once
#include "tools/testservices/Registry.h"

#include <QSslConfiguration>
#include <QTcpServer>
#include <memory>
#include <optional>

class QTcpSocket;

// The registry over RDAP: HTTP/1.1 (HTTPS with a certificate), connections kept alive, the same rule
// of names, the same delays and the same limit as its WHOIS (429 with Retry-After).
class RdapService : public QObject
{
public:
    explicit RdapService(Registry &registry);
    // On the port, over TLS when a configuration is given.
    bool listen(quint16 port, const std::optional<QSslConfiguration> &tls);
    quint16 port() const { return m_server ? m_server->serverPort() : 0; }

private:
    void accept();
    // One request at a time per connection, as HTTP/1.1 clients send them without pipelining.
    void readRequest(QTcpSocket *socket);
    // The faults asked for; true when one answered.
    bool misbehaves(QTcpSocket *socket, const QByteArray &path, const QByteArray &query);
    void answer(QTcpSocket *socket, const QByteArray &query);

    Registry &m_registry;
    std::unique_ptr<QTcpServer> m_server;
};
