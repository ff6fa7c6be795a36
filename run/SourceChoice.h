#pragma once
#include "run/Source.h"
#include "run/SourceFeed.h"

#include <QString>
#include <optional>

// What choosing a source sets in the top band; an empty field stays as it is.
struct SourceSelection {
    enum class Group {
        WordList,
        Search,
        None
    };
    std::optional<qint64> wordMax;
    std::optional<qint64> wordNum;
    Group group = Group::None;
    // Why the list starts at entry 1 and not at its saved position; empty when it does not.
    QString startsOver;
};

// The group of controls a source shows: the list's numbers, the search text, or neither.
SourceSelection::Group groupOf(Source source);

// The source chosen for the next run and its list: an installed word list, a custom list, a
// search's list. Choosing one during a run changes only what the next run reads.
class SourceChoice
{
public:
    // For the custom list, customFile is the file the user picked (empty when the choice was
    // cancelled).
    SourceSelection select(Source source, const QString &customFile = {});
    Source source() const { return m_source; }
    QString file() const { return m_list.path(); }
    // Why the chosen list cannot be read, as Start would say it; empty when it can.
    QString listProblem() const;
    const SourceFeed &list() const { return m_list; }

private:
    Source m_source = Source::None;
    mutable SourceFeed m_list;   // read again whenever the file changed
};
