#pragma once
#include "engine/Lookup.h"
#include "engine/ServiceControl.h"
#include "engine/ServiceDirectory.h"

#include <QString>
#include <deque>
#include <memory>
#include <optional>

class LookupBackend;
class LookupPool;
class RdapBackend;
class WhoisBackend;

// One service of the registry stage: the pool that asks it, the names read for it and not yet
// taken, and what the run learnt of it.
struct RegistryService {
    RegistryService();
    ~RegistryService();
    // The service that asks the names of `named`: over RDAP or WHOIS, as the directory says.
    static std::unique_ptr<RegistryService> of(
        const NameService &named, const ServiceDirectory &directory, int slotCount);
    // The service of another ending at the RDAP origin `key`, with a pool of its own.
    static std::unique_ptr<RegistryService> overRdap(const QString &key, const Rdap::Bases &bases, int slotCount);
    // The service of other endings at the WHOIS server of `key`, with a pool of its own, at the pace
    // its registry publishes where the rules give one.
    static std::unique_ptr<RegistryService> overWhois(
        const QString &key, const NameService &service, const ServiceDirectory &directory, int slotCount);
    // The service at `key` over a backend of the caller's (tests: a scripted one), with a pool of its
    // own.
    static std::unique_ptr<RegistryService> overBackend(
        const QString &key, std::unique_ptr<LookupBackend> backend, int slotCount);
    // Names of an ending that no service answers are asked nowhere: why, for a key of no service.
    static QString unservedText(const QString &key);

    QString key;                                   // the service's scheme, host and port; "" for .com and .net
    std::unique_ptr<RdapBackend> backend;          // none for .com and .net: the run's pool has its own
    std::unique_ptr<WhoisBackend> whoisBackend;    // for a WHOIS server of other endings
    std::unique_ptr<LookupBackend> givenBackend;   // one of the caller's
    std::unique_ptr<LookupPool> ownPool;           // likewise
    LookupPool *pool = nullptr;
    std::deque<Lookup> waiting;   // read for this service, not yet taken by its pool
    bool started = false;         // in this run
    bool finished = false;        // every name it was given has its outcome
    QString lost;                 // why its names go unchecked for the rest of the run
    qint64 lostNames = 0;
    bool drainScheduled = false;
    ServiceControl control;   // its controls in this run

    // The directory changed between runs: the RDAP services and WHOIS rules it asks by.
    void follow(const ServiceDirectory &directory);
    // Whether it is asked over RDAP; .com and .net follow the run's protocol.
    bool isRdap(const ServiceDirectory &directory, bool comNetFellOver) const;
    // Its host (and port): its own origin, or the .com and .net server of the protocol asked.
    QString name(const ServiceDirectory &directory, bool rdap) const;
    // What the run learnt of it; none when it was asked nothing.
    std::optional<ServiceEvidence> evidence(const QString &name, bool rdap, bool controlKnown) const;
    // "rdap.nic.io busy, pausing" while its pace holds it; empty otherwise.
    QString busyText() const;
    // Why it was lost, and how many of its names are listed as unchecked; empty when it was not.
    QString lostText() const;
};
