#include "engine/ServiceTrouble.h"

#include <algorithm>

void ServiceTrouble::newService()
{
    const quint64 verdicts = m_verdicts;
    reset();
    m_verdicts = verdicts;
}

void ServiceTrouble::verdict()
{
    ++m_verdicts;
    m_ticks = 0;
    m_refusals = 0;
    m_unreadable.clear();
}

void ServiceTrouble::refused(const QString &said)
{
    ++m_refusals;
    m_lastReply = said;
}

bool ServiceTrouble::unreadable(const QString &name, const QString &said)
{
    refused(said);
    m_unreadable.insert(name);
    return m_unreadable.size() >= UnreadableNames;
}

bool ServiceTrouble::unreachable(bool hostNotFound, int slotCount)
{
    ++m_failedConnections;
    return hostNotFound
        || (!m_anyConnected && m_verdicts == 0 && m_failedConnections >= std::min(m_started, slotCount));
}

ServiceTrouble::Step ServiceTrouble::tick(bool feedEnded)
{
    ++m_ticks;
    if (m_ticks == QuietTicks)
        return Step::Quiet;
    if (m_refusals == 0)
        return Step::Nothing;
    // Names the service refuses at the end of a list it answered are the names' trouble.
    const bool answeredTheRest = feedEnded && m_verdicts > 0;
    if (m_ticks >= GiveUpTicks)
        return answeredTheRest ? Step::WriteOff : Step::GiveUp;
    if (m_ticks >= FallOverTicks && !answeredTheRest)
        return Step::FallOver;
    return Step::Nothing;
}
