// tamarind: the desktop program.
#include "Version.h"
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
    return app.exec();
}
