#pragma once
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

// Escape closes a window of its own, as it does a dialog.
inline void closeOnEscape(QWidget *window)
{
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}
