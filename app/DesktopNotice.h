#pragma once
#include <QString>

// A desktop notification (org.freedesktop.Notifications on the session bus). Nothing happens, and
// nothing is reported, where there is no session bus or no notification service.
namespace DesktopNotice {

// A program about to end waits up to waitMs for the service to take the notice; 0 waits for nothing.
void show(const QString &summary, const QString &body, int waitMs = 0);

}   // namespace DesktopNotice
