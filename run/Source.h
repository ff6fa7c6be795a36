#pragma once
#include <QString>

// The name sources, in the order the source list shows them.
enum class Source {
    None = -1,
    BrowseForNames,
    GenerateNames,
    YahooSearch,
    GoogleSearch,
    FullWordList,
    AllTwoLetter,
    AllThreeLetter,
    AllFourLetter,
    CustomList,
};
