#pragma once
#include "app/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <cstdio>

// What a screenshot program works with: the output folder named on its command line (empty when
// none was), the build folder, and a temporary program and settings folder for the windows it shows.
struct ScreenshotRun {
    ScreenshotRun(int argc, char **argv)
        : output(argc > 1 ? QDir(QString::fromLocal8Bit(argv[1])).absolutePath() : QString())
    {
        if (output.isEmpty()) {
            std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
            return;
        }
        QDir().mkpath(output);
        ProgramFolder::setPath(folder.path());
        qputenv("XDG_CONFIG_HOME", folder.path().toLocal8Bit());
    }

    const QString output;
    const QString build = QCoreApplication::applicationDirPath() + QStringLiteral("/..");
    QTemporaryDir folder;
};

// Shows the window, lets it paint, and saves its picture as FOLDER/NAME.png.
inline void saveScreenshot(QWidget *window, const QString &folder, const QString &name)
{
    window->show();
    window->raise();
    QTest::qWait(600);
    const QString path = folder + '/' + name + QStringLiteral(".png");
    std::printf("%s %s\n", window->grab().save(path) ? "saved" : "could not save", qPrintable(path));
}

// A control of a window by its name.
template<typename T> T *control(const QObject &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}
