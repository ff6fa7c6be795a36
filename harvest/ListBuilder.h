#pragma once
#include <QString>
#include <QStringList>

// The search-engine list builder's rules: which result page to ask for, how many names to collect,
// and what the finished list looks like.
namespace ListBuilder {

enum class Engine {
    None,
    Yahoo,
    Google
};

// The number of names wanted for the index of the "~100 Domains" box; 0 for an index outside it.
int resultLimit(int index);
// The address of the result page at the paging offset (1 for the first page). The query has its
// blanks as "+" and every other character as typed.
QString requestAddress(Engine engine, const QString &host, const QString &query, int offset);
// The paging offset of the page after the one at offset.
int nextOffset(Engine engine, int offset);
// The finished list's text: empty lines and the two link leftovers removed.
QString tidyList(QString listText);
// The name of the copy in the searches folder; empty when the search text cannot stand in a file
// name (a "/", "\" or control character), so that no copy is made.
QString searchCopyName(Engine engine, const QString &searchText);

}   // namespace ListBuilder
