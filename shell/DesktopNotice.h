#pragma once
#include <QString>

// A desktop notification (org.freedesktop.Notifications on the session bus). Nothing happens, and
// nothing is reported, where there is no session bus or no notification service.
namespace DesktopNotice {

void show(const QString &summary, const QString &body);

}   // namespace DesktopNotice
