#pragma once
#include <QString>
#include <QTest>
#include <QWidget>
#include <cstdio>

// Shows the window, lets it paint, and saves its picture as FOLDER/NAME.png.
inline void SaveScreenshot(QWidget *window, const QString &folder, const QString &name)
{
    window->show();
    window->raise();
    QTest::qWait(600);
    const QString path = folder + '/' + name + QStringLiteral(".png");
    std::printf("%s %s\n", window->grab().save(path) ? "saved" : "could not save", qPrintable(path));
}
