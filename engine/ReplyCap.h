#pragma once
#include <QByteArray>

class QIODevice;

// How much of a registry's reply is kept, over WHOIS and RDAP alike: a reply that never ends, or a
// compressed one that unpacks to gigabytes, costs no more memory than this.
namespace Reply {

constexpr qsizetype Cap = 1 << 20;   // more of a reply than this is not kept

// What the device holds, as far as a reply of `kept` bytes may still grow.
QByteArray readUpToCap(QIODevice &device, qsizetype kept);

}   // namespace Reply
