#include "run/ConnectionsPanel.h"

#include "engine/DnsStage.h"
#include "engine/RegistryStage.h"

namespace {

QString registryText(const RegistryStage &registry)
{
    const LookupPool &pool = registry.comNet();
    QString text = QStringLiteral("Open: %1").arg(registry.inFlight());
    if (const int wait = pool.askedWaitLeft(); wait > 0)
        text += QStringLiteral(" - the registry asks to wait %1").arg(Pace::waitText(wait));
    else if (pool.isPaused())
        text += QStringLiteral(" - server busy, pausing");
    else if (pool.waitingForServer())
        text += QStringLiteral(" - waiting for the server");
    else if (pool.rate() > 0)
        text += QStringLiteral(" - pace: %1 names/s, set by the server").arg(pool.rate(), 0, 'f', 1);
    // Under "auto", once WHOIS has failed, the run says where it asks now.
    if (pool.fellOver())
        text += QStringLiteral(" - WHOIS failed, asking RDAP");
    if (const QString others = registry.othersText(); !others.isEmpty())
        text += QStringLiteral(" - ") + others;
    return text;
}

}   // namespace

QString connectionsPanelText(const RegistryStage &registry, const DnsStage &dns, bool listRead)
{
    // DNS reads ahead of the registry: the list is read long before its last names are asked.
    QString text = listRead && dns.isEnded() ? QStringLiteral("Open: Closing connections...") : registryText(registry);
    if (const QString counts = dns.countsText(); !counts.isEmpty())
        text += QStringLiteral(" - ") + counts;
    return text;
}
