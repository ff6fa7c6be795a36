#pragma once
#include "run/NameWatch.h"

#include <QObject>
#include <functional>

class CheckSession;
class SourceFlow;
class QWidget;

// Saved Domains as the watch list: Check Saved Domains Again asks every saved name once more, and
// what changed since their last check is told when that run ends. What the watches run while the
// program was closed found is shown when it starts.
class SavedWatch : public QObject
{
public:
    // Runs the list from its first entry, as Start would.
    using StartList = std::function<void(const QString &path)>;
    SavedWatch(CheckSession &session, SourceFlow &flow, QWidget *window, StartList startList);

    void checkAgain();
    // A run ended: when it was the check of Saved Domains, the states are kept and what changed is
    // told.
    void runEnded();
    void showChangesSinceLastOpen();

private:
    CheckSession &m_session;
    SourceFlow &m_flow;
    QWidget *m_window;
    StartList m_startList;
    NameWatch m_watch;
    bool m_watching = false;   // the run is a check of Saved Domains again
};
