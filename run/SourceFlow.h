#pragma once
#include "run/CheckSession.h"

#include <optional>

// What the top band's two number fields show after a step: a value, an empty text (no list, no
// numbers), or, without a value, what they showed before.
struct BandNumbers {
    std::optional<QString> startNumber;
    std::optional<QString> entries;
    QString status;   // for the entry status panel, when there is something to tell

    bool operator==(const BandNumbers &) const = default;
};

// Which source starts what, with which list and from which entry: the main window's source box,
// Start, and the lists the generator and the list builder hand over. Free of widgets: the window
// shows what it returns.
class SourceFlow
{
public:
    explicit SourceFlow(CheckSession &session)
        : m_session(session)
    { }

    // A source picked; a custom list with the file chosen for it, empty when the dialog was cancelled.
    BandNumbers choose(Source source, const QString &customFile = {});
    // Start, with the fields as typed: why no run starts, or empty.
    QString start(const QString &startNumber, const QString &entries, BandNumbers *after);
    // The numbers shown once a run has stopped: a custom or generated list goes on where its run
    // stopped; a word list shows its own position again.
    BandNumbers afterRun();
    // A run of the generator's earlier list stops: never one run over two lists.
    void stopForNewGeneratedList();
    // What a new list would stop: "A run of All Four Letter is going on, at entry 4,914 of
    // 456,976.", and that it keeps its place; empty when no run is going on.
    QString runToReplace() const;

private:
    CheckSession &m_session;
};
