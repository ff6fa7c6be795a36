#include "engine/RegistryService.h"

#include "engine/LookupPool.h"
#include "engine/RdapBackend.h"
#include "engine/WhoisBackend.h"

RegistryService::RegistryService() = default;

RegistryService::~RegistryService()
{
    // The pool stops before its backend goes.
    if (pool)
        pool->stop();
}

std::unique_ptr<RegistryService> RegistryService::overRdap(const QString &key, const Rdap::Bases &bases, int slotCount)
{
    auto service = std::make_unique<RegistryService>();
    service->key = key;
    service->backend = std::make_unique<RdapBackend>(slotCount);
    service->backend->setBases(bases);
    service->backend->setShownService(key);
    service->ownPool = std::make_unique<LookupPool>(slotCount);
    service->pool = service->ownPool.get();
    service->pool->setBackend(service->backend.get());
    service->lost = unservedText(key);
    return service;
}

std::unique_ptr<RegistryService> RegistryService::overBackend(
    const QString &key, std::unique_ptr<LookupBackend> backend, int slotCount)
{
    auto service = std::make_unique<RegistryService>();
    service->key = key;
    service->givenBackend = std::move(backend);
    service->ownPool = std::make_unique<LookupPool>(slotCount);
    service->pool = service->ownPool.get();
    service->pool->setBackend(service->givenBackend.get());
    return service;
}

std::unique_ptr<RegistryService> RegistryService::of(
    const NameService &named, const ServiceDirectory &directory, int slotCount)
{
    return named.isWhois() ? overWhois(named.key, named, directory, slotCount)
                           : overRdap(named.key, directory.bases, slotCount);
}

void RegistryService::follow(const ServiceDirectory &directory)
{
    if (backend)
        backend->setBases(directory.bases);
    if (whoisBackend)
        whoisBackend->setRules(directory.rules);
}

std::unique_ptr<RegistryService> RegistryService::overWhois(
    const QString &key, const NameService &service, const ServiceDirectory &directory, int slotCount)
{
    auto registry = std::make_unique<RegistryService>();
    registry->key = key;
    registry->whoisBackend = std::make_unique<WhoisBackend>(slotCount);
    registry->whoisBackend->setServer(service.whoisServer);
    registry->whoisBackend->setRules(directory.rules);
    registry->ownPool = std::make_unique<LookupPool>(slotCount);
    registry->pool = registry->ownPool.get();
    registry->pool->setBackend(registry->whoisBackend.get());
    if (service.rules && service.rules->perMinute > 0)
        registry->pool->setStartingRate(service.rules->perMinute / 60.0);
    return registry;
}

QString RegistryService::unservedText(const QString &key)
{
    if (!key.startsWith(ServiceDirectory::UnservedKey))
        return {};
    return QStringLiteral("No RDAP service is known for .%1.").arg(key.mid(ServiceDirectory::UnservedKey.size()));
}

bool RegistryService::isRdap(const ServiceDirectory &directory, bool comNetFellOver) const
{
    if (!key.isEmpty())
        return !key.startsWith(ServiceDirectory::WhoisKeyScheme);
    return directory.protocol == Rdap::Protocol::Rdap || comNetFellOver;
}

QString RegistryService::name(const ServiceDirectory &directory, bool rdap) const
{
    if (!key.isEmpty())
        return QUrl(key).authority();
    return rdap ? directory.bases.requestFor(QStringLiteral("example.com")).authority() : directory.server.text();
}

std::optional<ServiceEvidence> RegistryService::evidence(const QString &shownName, bool rdap, bool controlKnown) const
{
    ServiceControl settled = control;
    ServiceEvidence &evidence = settled.evidence;
    evidence.unchecked += lostNames;
    evidence.asked += lostNames;
    if (evidence.asked == 0)
        return std::nullopt;
    settled.settleUntested(controlKnown);
    evidence.service = shownName;
    evidence.protocol = rdap ? QStringLiteral("rdap") : QStringLiteral("whois");
    evidence.byRules = whoisBackend != nullptr;
    return evidence;
}

QString RegistryService::busyText() const
{
    if (!ownPool || !started || !lost.isEmpty())
        return {};
    const QString host = QUrl(key).authority();
    if (pool->askedWaitLeft() > 0)
        return QStringLiteral("%1 asks to wait %2").arg(host, Pace::waitText(pool->askedWaitLeft()));
    if (pool->isPaused())
        return QStringLiteral("%1 busy, pausing").arg(host);
    return {};
}

QString RegistryService::lostText() const
{
    if (lost.isEmpty())
        return {};
    return QStringLiteral("%1 %2 of its names %3 listed as unchecked.")
        .arg(lost, QString::number(lostNames), lostNames == 1 ? QStringLiteral("is") : QStringLiteral("are"));
}
