#pragma once
#include <functional>

class QMainWindow;

// What the items of the main window's menus do.
struct MainMenuHandlers {
    std::function<void(int index)> editItem;    // the Clear and Copy items, mnuEditItem0 .. 9
    std::function<void(int index)> toolsItem;   // a source, as if chosen in the top band
    std::function<void()> checkSavedAgain;
    std::function<void()> showDroppingNames;
    std::function<void()> showHelp;
    std::function<void()> showAbout;
};

// The main window's menu bar: File, Edit, Tools, Help and About. Each menu's items are one array,
// named by their index: mnuEditItem3 is "Clear Low".
void addMainMenus(QMainWindow *window, const MainMenuHandlers &handlers);
