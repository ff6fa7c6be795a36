#include "shell/OnTop.h"

#include <QWidget>

void Helpers::SetOnTop(QWidget *window, bool onTop)
{
    if (!window)
        return;
    const bool visible = window->isVisible();
    const QRect geometry = window->geometry();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    // Changing a window flag hides the window: show it again where it was.
    if (visible) {
        window->setGeometry(geometry);
        window->show();
    }
}
