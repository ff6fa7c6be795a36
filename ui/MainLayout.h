#pragma once
#include <array>

// The main window's layout for a window size, in twips. Pure arithmetic, so that the rule can be
// checked at any size; Form1 applies it to its widgets.
struct MainLayout {
    // Design values the layout starts from.
    static constexpr int MinimumSize = 6500;
    static constexpr int Frame2Top = 1020;
    static constexpr int ListTop = 1080;
    static constexpr int WebsiteLeft = 8400;
    static constexpr int CopyWidth = 675;

    // Set when the window is below the minimum: the new outer size, and nothing else is laid out.
    bool enforceMinimum = false;
    int newWidth = 0;
    int newHeight = 0;

    int frame1Width = 0;
    int frame2Width = 0;
    int frame2Height = 0;
    int websiteWidth = 0;
    std::array<int, 3> panelWidths {};
    int listWidth = 0;
    int listHeight = 0;
    // Indexed by list number 1 to 5 (index 0 unused).
    std::array<int, 6> listLeft {};
    std::array<int, 6> copyLeft {};
    std::array<int, 6> clearLeft {};
    std::array<int, 6> labelLeft {};
    int labelWidth = 0;
    // The last run's summary: a line under the lists, as tall as the status bar.
    int summaryLeft = 0;
    int summaryTop = 0;
    int summaryWidth = 0;
    int summaryHeight = 0;
};

// W and H are the window's outer width and height, the status bar height is in twips too.
MainLayout computeMainLayout(int width, int height, int statusBarHeight);
