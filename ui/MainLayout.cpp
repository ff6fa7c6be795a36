#include "ui/MainLayout.h"

#include <algorithm>
#include <cstdlib>

MainLayout computeMainLayout(int width, int height, int statusBarHeight)
{
    MainLayout layout;
    if (width < MainLayout::MinimumSize || height < MainLayout::MinimumSize) {
        layout.enforceMinimum = true;
        layout.newWidth = width < MainLayout::MinimumSize ? MainLayout::MinimumSize + 1 : width;
        layout.newHeight = height < MainLayout::MinimumSize ? MainLayout::MinimumSize + 1 : height;
        return layout;
    }
    const int pitch = width / 5;
    layout.frame1Width = width + 200;
    layout.frame2Width = std::abs(width) - 300;
    layout.frame2Height = std::abs(height) - MainLayout::Frame2Top - 1000;
    layout.websiteWidth = std::abs(layout.frame1Width - MainLayout::WebsiteLeft - 200);
    layout.panelWidths = {layout.frame2Width / 4, layout.frame2Width / 4, layout.frame2Width / 2};
    layout.listWidth = pitch - 250;

    // Left to right: High (3), Mid (4), Low (1), then Registered (2) and Saved (5) after wider gaps.
    layout.listLeft[3] = 125;
    layout.listLeft[4] = layout.listLeft[3] + layout.listWidth + 75;
    layout.listLeft[1] = layout.listLeft[4] + layout.listWidth + 75;
    layout.listLeft[2] = layout.listLeft[1] + layout.listWidth + 300;
    layout.listLeft[5] = layout.listLeft[2] + layout.listWidth + 300;
    layout.listHeight = layout.frame2Height - MainLayout::ListTop - statusBarHeight;

    for (int i = 1; i <= 5; ++i) {
        layout.copyLeft[i] = layout.listLeft[i];
        layout.clearLeft[i] = layout.copyLeft[i] + MainLayout::CopyWidth + 25;
        layout.labelLeft[i] = layout.listLeft[i];
    }
    layout.labelWidth = layout.listWidth;
    layout.summaryLeft = layout.listLeft[3];
    layout.summaryTop = MainLayout::ListTop + layout.listHeight + 15;
    layout.summaryWidth = layout.listLeft[5] + layout.listWidth - layout.listLeft[3];
    layout.summaryHeight = std::max(statusBarHeight - 60, 0);   // clear of the frame's edge
    return layout;
}
