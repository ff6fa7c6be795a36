#include "engine/ReplyCap.h"

#include <QIODevice>
#include <algorithm>

namespace Reply {

QByteArray readUpToCap(QIODevice &device, qsizetype kept)
{
    // Only what is waiting: read(n) would reserve all n bytes first.
    if (!device.isOpen())
        return {};
    return device.read(std::min<qint64>(Cap - kept, device.bytesAvailable()));
}

}   // namespace Reply
