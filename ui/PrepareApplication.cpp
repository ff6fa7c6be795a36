#include "ui/PrepareApplication.h"

#include <QApplication>
#include <unistd.h>

void prepareApplication()
{
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() != 0)
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
        qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")
            + " --disable-gpu --disable-background-networking --disable-component-update --no-first-run");
}
