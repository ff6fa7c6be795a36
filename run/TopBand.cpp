#include "run/TopBand.h"

// During a run only Stop acts: a source chosen from the menu changes what is shown, never the run.
// Browsing checks its names in its own window, so it has no list to start.
TopBandState topBandFor(Source source, bool running, bool hasSearchText)
{
    TopBandState state;
    state.group = groupOf(source);
    state.sourceEnabled = !running;
    state.stopEnabled = running;
    const bool idleWithList = !running && source != Source::None && source != Source::BrowseForNames;
    state.startEnabled = idleWithList;
    state.startNumberEnabled = idleWithList;
    state.searchTextEnabled = !running && state.group == SourceSelection::Group::Search;
    state.sizeEnabled = state.searchTextEnabled;
    state.searchButtonEnabled = state.searchTextEnabled && hasSearchText;
    return state;
}
