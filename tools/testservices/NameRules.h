#pragma once
#include "tools/testservices/Options.h"

// The same hash on every run and machine: which names are free, held or dropping never changes.
quint32 stableHash(const QByteArray &text);

// Whether R of the names, picked by their hash under `salt`, include this one.
bool amongShare(const QByteArray &salt, const QByteArray &name, double share);

// The fake registry's belief about each name, shared by its WHOIS, RDAP and DNS.
class NameRules
{
public:
    explicit NameRules(const Options &options)
        : m_options(options)
    { }

    bool isFree(const QByteArray &name) const;
    // A registered name on its way out: "redemptionPeriod" (half of them) or "pendingDelete"; empty
    // for any other name. Such names are out of the zone.
    QByteArray droppingPhase(const QByteArray &name) const;
    // The day the registry set the phase: 35 and 5 days before the releases the client estimates.
    static QByteArray phaseSet(const QByteArray &phase);

private:
    const Options &m_options;
};
