#include "run/TopBand.h"

SourceSelection::Group groupOf(Source source)
{
    switch (source) {
    case Source::FullWordList:
    case Source::AllTwoLetter:
    case Source::AllThreeLetter:
    case Source::AllFourLetter:
    case Source::CustomList: return SourceSelection::Group::WordList;
    case Source::YahooSearch:
    case Source::GoogleSearch: return SourceSelection::Group::Search;
    case Source::GenerateNames:
    case Source::BrowseForNames:
    case Source::None: break;
    }
    return SourceSelection::Group::None;
}

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
