#pragma once
#include <QString>
#include <QtGlobal>

// One name on its way to a verdict: the name as it is asked, the entry number it had in the source
// (0 when it came from elsewhere), and what its lookups without a verdict have cost it.
//
// The attempt rule: a name is written off as unchecked after MaxAttempts attempts. A lookup that
// ends without an answer in time costs one, as do RefusalsPerAttempt replies without a verdict;
// but only while the service answers other names (or this is the last name open): while it
// answers none, the trouble is the service's, and its give-up rule bounds the run instead.
struct Lookup {
    static constexpr int MaxAttempts = 3;
    static constexpr int RefusalsPerAttempt = 5;

    QString name;
    qint64 entry = 0;
    int attempts = 0;
    int refusals = 0;
    int singledOut = 0;         // refusals in a row while the service answered other names
    quint64 verdictsSeen = 0;   // the service's verdict count at this name's last refusal
    bool unread = false;        // its last reply was an answer we could not read, not a refusal

    // A reply without a verdict, with `verdicts` given by the service so far. True when the name
    // is written off.
    bool refused(quint64 verdicts, bool lastOpen);
    // No answer in time. True when the name is written off.
    bool timedOut(quint64 verdicts, bool lastOpen);
    // A reply we cannot read (a 400, a body of another kind): an answer about this name, so it costs
    // an attempt once the service has given any verdict. True when the name is written off.
    bool unreadable(quint64 verdicts, bool lastOpen)
    {
        verdictsSeen = verdicts;
        return (verdicts > 0 || lastOpen) && ++attempts >= MaxAttempts;
    }
    // Refused again and again while the others are answered: the name's own trouble, not the pace's.
    bool isSingledOut() const { return singledOut >= 2; }
};
