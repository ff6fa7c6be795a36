#include "app/DesktopNotice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace DesktopNotice {

void show(const QString &summary, const QString &body, int waitMs)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage notify = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"), QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("Notify"));
    // app name, replaces id, icon, summary, body, actions, hints, timeout (-1: the server's)
    notify << QStringLiteral("Tamarind") << 0u << QStringLiteral("example.tamarind_domains.Tamarind") << summary << body
           << QStringList() << QVariantMap() << -1;
    if (waitMs > 0)
        bus.call(notify, QDBus::Block, waitMs);
    else
        bus.call(notify, QDBus::NoBlock);   // no answer awaited: a missing service costs nothing
}

}   // namespace DesktopNotice
