// tamarind: the desktop program.
#include "Version.h"
#include "ui/Form1.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(TAMARIND_PRODUCT_NAME));
    QApplication::setApplicationVersion(QStringLiteral(TAMARIND_VERSION));
    Form1 window;
    window.showMaximized();
    return app.exec();
}
