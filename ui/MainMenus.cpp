#include "ui/MainMenus.h"

#include "run/RunControl.h"

#include <QMainWindow>
#include <QMenuBar>

namespace {

QMenu *addMenu(QMainWindow *window, const QString &name, const QString &caption, const QString &itemName,
    const QStringList &captions, const std::function<void(int)> &click)
{
    QMenu *menu = window->menuBar()->addMenu(caption);
    menu->setObjectName(name);
    for (int i = 0; i < captions.size(); ++i) {
        QAction *item = menu->addAction(captions[i]);
        item->setObjectName(itemName + QString::number(i));
        QObject::connect(item, &QAction::triggered, window, [click, i] { click(i); });
    }
    return menu;
}

}   // namespace

void addMainMenus(QMainWindow *window, const MainMenuHandlers &handlers)
{
    QMenu *file = addMenu(window, QStringLiteral("menuFile"), QStringLiteral("&File"), QStringLiteral("mnuFileItem"),
        {QStringLiteral("Exit")}, [window](int) { window->close(); });
    file->actions().constFirst()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu *edit = addMenu(window, QStringLiteral("mnuEdit"), QStringLiteral("&Edit"), QStringLiteral("mnuEditItem"),
        {"Clear High/Mid/Low", "Clear High", "Clear Mid", "Clear Low", "Clear Registered", "Clear Saved", "Copy High",
            "Copy Mid", "Copy Low", "Copy Saved"},
        handlers.editItem);
    edit->insertSeparator(edit->actions().at(6));
    edit->addSeparator();
    QAction *checkAgain =
        edit->addAction(QStringLiteral("Check Saved Domains Again"), window, handlers.checkSavedAgain);
    checkAgain->setObjectName(QStringLiteral("mnuCheckSavedAgain"));
    QStringList sources;
    for (int source = int(Source::BrowseForNames); source <= int(Source::CustomList); ++source)
        sources << RunControl::sourceName(Source(source));
    QMenu *tools = addMenu(window, QStringLiteral("mnuTools"), QStringLiteral("&Tools"), QStringLiteral("mnuToolsItem"),
        sources, handlers.toolsItem);
    tools->addSeparator();
    QAction *dropping = tools->addAction(QStringLiteral("Dropping Names"), window, handlers.showDroppingNames);
    dropping->setObjectName(QStringLiteral("mnuDroppingNames"));
    QMenu *help = addMenu(window, QStringLiteral("mnuHelp"), QStringLiteral("&Help"), QStringLiteral("mnuHelpItem"),
        {QStringLiteral("View Help")}, [handlers](int) { handlers.showHelp(); });
    help->actions().constFirst()->setShortcut(QKeySequence(Qt::Key_F1));
    addMenu(window, QStringLiteral("mnuAbout"), QStringLiteral("&About"), QStringLiteral("mnuAboutItem"),
        {QStringLiteral("About this software")}, [handlers](int) { handlers.showAbout(); });
}
