#pragma once
#include <QByteArray>

class QTcpSocket;

// Captured answers of real registries, sent as they came.
namespace Replay {

// The name a WHOIS query asks about, whatever form its registry wants: "-T dn,ace NAME", "NAME/e",
// "domain NAME".
QByteArray queriedName(const QByteArray &query);
// A captured HTTP answer (status line, headers, a blank line, the body; LF or CR LF) as it was sent,
// its length counted anew: the capture's own framing headers are left out.
void sendHttp(QTcpSocket *socket, QByteArray captured);

}   // namespace Replay
