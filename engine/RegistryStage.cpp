#include "engine/RegistryStage.h"

#include "engine/RdapBackend.h"

struct RegistryStage::Service {
    QString key;                            // the service's scheme, host and port; "" for .com and .net
    std::unique_ptr<RdapBackend> backend;   // none for .com and .net: the run's pool has its own
    std::unique_ptr<LookupPool> ownPool;    // likewise
    LookupPool *pool = nullptr;
    std::deque<Lookup> waiting;   // read for this service, not yet taken by its pool
    bool started = false;         // in this run
    bool finished = false;        // every name it was given has its outcome
    QString lost;                 // why its names go unchecked for the rest of the run
    qint64 lostNames = 0;
    bool drainScheduled = false;
};

RegistryStage::RegistryStage(LookupPool &comNet, QObject *parent)
    : QObject(parent)
    , m_comNet(comNet)
{
    auto service = std::make_unique<Service>();
    service->pool = &m_comNet;
    listen(*service);
    m_services.emplace(QString(), std::move(service));
}

RegistryStage::~RegistryStage()
{
    // Pools stop before their backends go.
    for (auto &[key, service] : m_services)
        service->pool->stop();
}

void RegistryStage::setDirectory(const ServiceDirectory &directory)
{
    m_directory = directory;
    for (auto &[key, service] : m_services) {
        if (service->backend)
            service->backend->setBases(directory.bases);
    }
}

namespace {

// Names of an ending that no service answers are asked nowhere: they are listed as unchecked.
QString unservedText(const QString &key)
{
    if (!key.startsWith(ServiceDirectory::UnservedKey))
        return {};
    return QStringLiteral("No RDAP service is known for .%1.").arg(key.mid(ServiceDirectory::UnservedKey.size()));
}

}   // namespace

RegistryStage::Service &RegistryStage::serviceFor(const QString &key)
{
    auto found = m_services.find(key);
    if (found != m_services.end())
        return *found->second;
    auto service = std::make_unique<Service>();
    service->key = key;
    service->backend = std::make_unique<RdapBackend>(OtherSlots);
    service->backend->setBases(m_directory.bases);
    service->backend->setShownService(key);
    service->ownPool = std::make_unique<LookupPool>(OtherSlots);
    service->pool = service->ownPool.get();
    service->pool->setBackend(service->backend.get());
    service->lost = unservedText(key);
    Service &added = *service;
    listen(added);
    connect(added.pool, &LookupPool::serverRefuses, this, [this, &added](const QString &why) { lose(added, why); });
    m_services.emplace(key, std::move(service));
    return added;
}

void RegistryStage::listen(Service &service)
{
    LookupPool *pool = service.pool;
    pool->setFeed([this, &service] { return take(service); }, [this, &service] { return isBehind(service); });
    connect(pool, &LookupPool::verdict, this, &RegistryStage::verdict);
    connect(pool, &LookupPool::unchecked, this, &RegistryStage::unchecked);
    connect(pool, &LookupPool::reserved, this, &RegistryStage::reserved);
    connect(pool, &LookupPool::paceChanged, this, [this] {
        // A lookup ended and none took its place: the last "connecting" no longer holds.
        if (m_connectionShown && inFlight() == 0) {
            m_connectionShown = false;
            emit connectionStatus(NoConnectionText);
        }
        emit paceChanged();
    });
    connect(pool, &LookupPool::connectionStatus, this, [this](const QString &text) {
        m_connectionShown = true;
        emit connectionStatus(text);
    });
    connect(pool, &LookupPool::finished, this, [this, &service] { onFinished(service); });
}

void RegistryStage::start()
{
    stop();
    ++m_run;
    m_running = true;
    m_feedEnded = false;
    for (auto &[key, service] : m_services) {
        service->lost = unservedText(key);
        service->lostNames = 0;
    }
    Service &comNet = *m_services.at(QString());
    comNet.started = true;
    m_comNet.start();
}

void RegistryStage::stop()
{
    m_running = false;
    ++m_run;   // a pool started or drained later belongs to no run
    for (auto &[key, service] : m_services) {
        service->pool->stop();
        service->waiting.clear();
        service->started = service->finished = service->drainScheduled = false;
    }
    m_waiting = 0;
}

// The next name of this service: one read for it earlier, else the next of the feed, while the
// names read for the other services leave room.
std::optional<Lookup> RegistryStage::take(Service &service)
{
    if (!service.waiting.empty()) {
        const Lookup lookup = service.waiting.front();
        service.waiting.pop_front();
        if (m_waiting-- == Waiting)
            wakeAll();   // the feed can be read again
        return lookup;
    }
    while (!m_feedEnded && m_waiting < Waiting) {
        const std::optional<Lookup> next = m_feed();
        if (!next) {
            m_feedEnded = !(m_feedBehind && m_feedBehind());
            if (m_feedEnded)
                wakeAll();   // every pool with nothing left may end
            return std::nullopt;
        }
        Service &to = serviceFor(m_directory.serviceFor(next->name).key);
        if (&to == &service)
            return next;
        route(to, *next);
    }
    return std::nullopt;
}

bool RegistryStage::isBehind(const Service &service) const
{
    return service.waiting.empty() && !m_feedEnded && (m_waiting >= Waiting || (m_feedBehind && m_feedBehind()));
}

void RegistryStage::route(Service &service, const Lookup &lookup)
{
    service.waiting.push_back(lookup);
    ++m_waiting;
    if (!service.lost.isEmpty() && !service.drainScheduled) {
        // Given to no pool: listed as unchecked from the event loop, never inside another pool's fill.
        service.drainScheduled = true;
        QMetaObject::invokeMethod(
            this,
            [this, &service, run = m_run] {
                if (run != m_run)
                    return;
                service.drainScheduled = false;
                // Each name is told while it still waits, so that a resume position saved meanwhile,
                // or a stop because its outcome could not be saved, keeps it.
                while (!service.waiting.empty() && run == m_run) {
                    const Lookup written = service.waiting.front();
                    ++service.lostNames;
                    emit unchecked(written.name, written.entry);
                    if (run == m_run)
                        take(service);
                }
                if (run == m_run)
                    onFinished(service);
            },
            Qt::QueuedConnection);
    } else if (!service.started) {
        service.started = true;
        QMetaObject::invokeMethod(
            this,
            [this, &service, run = m_run] {
                if (run != m_run)
                    return;
                service.pool->setTickInterval(m_comNet.tickInterval());
                service.pool->start();
            },
            Qt::QueuedConnection);
    } else {
        service.pool->feedReady();
    }
}

void RegistryStage::feedReady()
{
    wakeAll();
}

void RegistryStage::wakeAll()
{
    for (auto &[key, service] : m_services) {
        if (service->started && service->lost.isEmpty())
            service->pool->feedReady();
    }
}

// The run ends once the feed has ended and every service has given each of its names an outcome.
void RegistryStage::onFinished(Service &service)
{
    if (!m_running)
        return;
    service.finished = true;
    if (!m_feedEnded)
        return;
    for (const auto &[key, other] : m_services) {
        if (!other->waiting.empty() || (other->started && !other->finished))
            return;
    }
    emit finished();
}

// The service of another ending cannot be reached or refuses everything: its open names, and
// every later one, go unchecked, and the rest of the run goes on.
void RegistryStage::lose(Service &service, const QString &why)
{
    if (!m_running)
        return;
    const QList<Lookup> open = service.pool->openLookups();
    service.pool->stop();
    service.lost = why;
    for (const Lookup &lookup : open)
        route(service, lookup);
    if (open.isEmpty())
        onFinished(service);
}

int RegistryStage::inFlight() const
{
    int open = 0;
    for (const auto &[key, service] : m_services)
        open += service->pool->inFlight();
    return open;
}

QString RegistryStage::othersText() const
{
    QStringList busy;
    for (const auto &[key, service] : m_services) {
        if (!service->backend || !service->started || !service->lost.isEmpty())
            continue;
        const QString host = QUrl(key).authority();
        if (service->pool->askedWaitLeft() > 0)
            busy << QStringLiteral("%1 asks to wait %2").arg(host, Pace::waitText(service->pool->askedWaitLeft()));
        else if (service->pool->isPaused())
            busy << QStringLiteral("%1 busy, pausing").arg(host);
    }
    return busy.join(QStringLiteral(", "));
}

QString RegistryStage::lostText() const
{
    QStringList lost;
    for (const auto &[key, service] : m_services) {
        if (service->lost.isEmpty())
            continue;
        lost << QStringLiteral("%1 %2 of its names %3 listed as unchecked.")
                    .arg(service->lost, QString::number(service->lostNames),
                        service->lostNames == 1 ? QStringLiteral("is") : QStringLiteral("are"));
    }
    return lost.join(QLatin1Char(' '));
}
