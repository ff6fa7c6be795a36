#pragma once
#include "engine/NameState.h"

#include <QString>
#include <deque>

// What a run learnt of one registry service, for the end of the run.
struct ServiceEvidence {
    QString service;        // its host (and port)
    QString protocol;       // "whois" or "rdap"
    bool byRules = false;   // a WHOIS server of another ending, its replies read by its registry's rules
    qint64 asked = 0, free = 0, registered = 0, unchecked = 0;
    int controlsPassed = 0, controlsFailed = 0, controlsUnanswered = 0;
    QString failure;    // why none of its free answers counted; empty when they did
    QString untested;   // why it could not be tested; empty when it was

    // "whois.test:43 (whois): 300 asked, 20 free, 270 registered, 10 unchecked; controls: 1 passed, 0 failed."
    QString text() const;
    // "tested", "failed" or "untested".
    QString state() const;
};

// The controls of one registry service in a run. Its free verdicts count once a control, a name
// DNS found delegated, has been answered as registered, and until it has answered Every more names;
// meanwhile they are held. A control answered as free fails the service for the rest of the run.
class ServiceControl
{
public:
    static constexpr int Every = 1000;   // names a service answers between two controls

    enum class Answer {
        Registered,
        Free,
        None,   // no answer after its attempts, or none that says registered or free
    };
    struct Held {
        QString name;
        qint64 entry = 0;
        NameState state;
    };

    void resetForRun() { *this = {}; }
    // The run stopped: what waited is dropped (its entries stay open, a resumed run asks again).
    void dropWaiting()
    {
        held.clear();
        asked.clear();
        queued = false;
    }
    // A control is asked or waits to be, or free verdicts wait for one: the service asks nothing else.
    bool isPending() const { return queued || !asked.isEmpty() || !held.empty(); }
    bool hasFailed() const { return !evidence.failure.isEmpty(); }
    // Its free verdicts count at once, without a control.
    bool isCleared() const { return cleared; }

    // A name of the list answered, whatever its outcome.
    void counted();
    void countedUnchecked()
    {
        counted();
        ++evidence.unchecked;
    }
    // No control could be had: its free verdicts count as they would without controls until one can.
    void clearUntested() { cleared = clearedUntested = true; }
    // A control can now be had: the next free verdict waits for it, if none could be before.
    void controlFound()
    {
        if (clearedUntested)
            cleared = clearedUntested = false;
    }
    // Another service answers from now on: it shows what it can tell before its free answers count.
    void serviceChanged() { cleared = clearedUntested = false; }
    // The control's answer; the service's name for the text of a failure.
    void answered(Answer answer, const QString &serviceName);
    // The untested reason, once the run is over: whether a control was known for it.
    void settleUntested(bool controlKnown);

    std::deque<Held> held;   // free verdicts waiting for a control
    QString asked;           // the control on its way; empty when none is
    bool queued = false;     // for its pool to take next
    ServiceEvidence evidence;

private:
    bool cleared = false;
    bool clearedUntested = false;
    quint64 sinceControl = 0;   // names answered since the last control
};
