// tamarind: the desktop program. It starts with the splash window, which hands over to the main
// window.
#include "Version.h"
#include "app/ExitSignals.h"
#include "shell/Shutdown.h"
#include "shell/frmSplash.h"
#include "ui/Form1.h"
#include "ui/PrepareApplication.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char **argv)
{
    prepareApplication();
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
