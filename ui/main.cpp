// tamarind: the desktop program. It starts with the splash window, which hands over to the main
// window.
#include "Version.h"
#include "app/ExitSignals.h"
#include "shell/Shutdown.h"
#include "shell/frmSplash.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QScreen>
#include <unistd.h>

namespace {

// Chromium's sandbox cannot run as root (tests, CI); there it goes, and the browser is kept off
// the network it would otherwise reach for by itself.
void prepareWebEngine()
{
    if (geteuid() != 0)
        return;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
        qgetenv("QTWEBENGINE_CHROMIUM_FLAGS")
            + " --disable-gpu --disable-background-networking --disable-component-update --no-first-run");
}

}   // namespace

int main(int argc, char **argv)
{
    prepareWebEngine();
    // The web engine draws with OpenGL contexts shared with the other windows; set later, every
    // window but the web views draws black once a web view exists.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(TAMARIND_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(TAMARIND_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);   // the program ends as the main window says
    Shutdown::endHook() = [] { QApplication::quit(); };

    frmSplash splash;
    splash.showMainWindow = [] {
        auto *window = new Form1;
        // Where no window manager maximises, the window still fills the screen.
        window->setGeometry(window->screen()->availableGeometry());
        window->showMaximized();
        return window;
    };
    splash.show();
    // A signal to end the program stops a run as Stop does and writes the settings first.
    const auto exitSignals = ExitSignals::install([&splash](int) {
        if (splash.mainWindow())
            splash.mainWindow()->close();
        QApplication::quit();
    });
    return app.exec();
}
