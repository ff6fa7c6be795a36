#pragma once
#include "engine/NameState.h"
#include "engine/Verdict.h"

#include <QString>

// How one lookup ended, whatever the service asked: the engine's one answer, for a run, the
// harvest checks and the record window alike.
struct LookupAnswer {
    enum class Kind {
        Verdict,       // free or registered
        NoVerdict,     // a reply that tells nothing: a limit notice, an empty close, an HTTP 429, a 400
        Unreachable,   // no reply: no connection to the service, or none in time
    };
    Kind kind = Kind::NoVerdict;
    bool unregistered = false;
    bool reserved = false;       // the registry says the name cannot be registered
    QString reason;              // with reserved: why, in the registry's words where it gave some
    bool hostNotFound = false;   // with Unreachable: the service's host does not exist
    bool oversized = false;      // with NoVerdict: the reply passed the cap, as no record does, and would again
    // With NoVerdict: what a service sends when it is asked too fast (an HTTP 429 or 503, a
    // Retry-After, a WHOIS close without a word or a limit notice). Any other reply without a
    // verdict is an answer we cannot read: the name's trouble, not the pace's.
    bool throttled = false;
    qint64 retryAfterMs = -1;   // the wait the service asked for, if any
    QString said;               // what the reply said, or why none came, for messages
    NameState state;            // with a registered verdict: what the record says beyond it

    Verdict verdict() const
    {
        return kind != Kind::Verdict ? Verdict::None : unregistered ? Verdict::Free : Verdict::Registered;
    }
    void setVerdict(Verdict verdict)
    {
        kind = verdict == Verdict::None ? Kind::NoVerdict : Kind::Verdict;
        unregistered = verdict == Verdict::Free;
    }
};
