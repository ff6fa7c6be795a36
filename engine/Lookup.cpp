#include "engine/Lookup.h"

bool Lookup::refused(quint64 verdicts, bool lastOpen)
{
    const bool ownTrouble = verdictsSeen < verdicts || lastOpen;
    singledOut = ownTrouble ? singledOut + 1 : 0;
    if (ownTrouble && ++refusals >= RefusalsPerAttempt) {
        refusals = 0;
        ++attempts;
    }
    verdictsSeen = verdicts;
    return attempts >= MaxAttempts;
}

bool Lookup::timedOut(quint64 verdicts, bool lastOpen)
{
    const bool othersAnswered = verdictsSeen < verdicts;
    verdictsSeen = verdicts;
    return (othersAnswered || lastOpen) && ++attempts >= MaxAttempts;
}
