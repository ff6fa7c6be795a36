#pragma once
#include "engine/FallOverBackend.h"
#include "engine/RdapBackend.h"
#include "engine/ServiceDirectory.h"
#include "engine/WhoisBackend.h"

// The backends a protocol choice may ask, with as many slots each: WHOIS, RDAP, and "auto"'s
// WHOIS that gives way to RDAP. A run's pool and the harvest window's checks each have their own.
class LookupBackends
{
public:
    explicit LookupBackends(int slotCount)
        : m_whois(slotCount)
        , m_rdap(slotCount)
    { }

    void setServer(const Whois::Server &server) { m_whois.setServer(server); }
    void setBases(const Rdap::Bases &bases) { m_rdap.setBases(bases); }
    void setService(const ServiceDirectory &service)
    {
        setServer(service.server);
        setBases(service.bases);
    }

    LookupBackend &forProtocol(Rdap::Protocol protocol)
    {
        switch (protocol) {
        case Rdap::Protocol::Whois: return m_whois;
        case Rdap::Protocol::Rdap: return m_rdap;
        case Rdap::Protocol::Auto: break;
        }
        return m_whoisThenRdap;
    }
    WhoisBackend &whois() { return m_whois; }
    RdapBackend &rdap() { return m_rdap; }
    const WhoisBackend &whois() const { return m_whois; }
    const RdapBackend &rdap() const { return m_rdap; }

private:
    WhoisBackend m_whois;
    RdapBackend m_rdap;
    FallOverBackend m_whoisThenRdap {m_whois, m_rdap};
};
