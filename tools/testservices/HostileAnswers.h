#pragma once
#include <QByteArray>

class QTcpSocket;

// What broken registries, proxies and attackers send, chosen by the name's first label (see
// whois-test-server --hostile). Each returns false for a name that gets the usual answer.
namespace HostileAnswers {

bool overWhois(QTcpSocket *socket, const QByteArray &name);
bool overRdap(QTcpSocket *socket, const QByteArray &name);

}   // namespace HostileAnswers
