// tamarind: the desktop program.
#include "Version.h"
#include "app/ExitSignals.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(TAMARIND_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(TAMARIND_VERSION));
    Form1 window;
    // Where no window manager maximises, the window still fills the screen.
    window.setGeometry(window.screen()->availableGeometry());
    window.showMaximized();
    // A signal to end the program stops a run as Stop does and writes the settings first.
    const auto exitSignals = ExitSignals::install([&window](int) {
        window.close();
        QApplication::quit();
    });
    return app.exec();
}
