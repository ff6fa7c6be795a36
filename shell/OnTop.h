#pragma once

class QWidget;

// Keeps a window above all others, or lets it go back among them. Position and size stay as they
// are; a visible window stays visible.
namespace Helpers {

void SetOnTop(QWidget *window, bool onTop);

}
