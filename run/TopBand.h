#pragma once
#include "run/RunControl.h"

// What the main window's top band shows and lets the user touch, for the chosen source and
// whether a run goes on. The window applies it; the rules live here, free of widgets.
struct TopBandState {
    SourceSelection::Group group = SourceSelection::Group::None;   // the controls shown
    bool sourceEnabled = true;
    bool startEnabled = false;
    bool stopEnabled = false;
    bool startNumberEnabled = false;
    bool searchTextEnabled = false;
    bool sizeEnabled = false;
    bool searchButtonEnabled = false;

    bool operator==(const TopBandState &) const = default;
};

TopBandState topBandFor(Source source, bool running, bool hasSearchText);
