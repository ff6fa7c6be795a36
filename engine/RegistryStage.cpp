#include "engine/RegistryStage.h"

#include "engine/RdapBackend.h"

RegistryStage::RegistryStage(LookupPool &comNet, QObject *parent)
    : QObject(parent)
    , m_comNet(comNet)
{
    auto service = std::make_unique<Service>();
    service->pool = &m_comNet;
    listen(*service);
    m_services.emplace(QString(), std::move(service));
}

RegistryStage::~RegistryStage() = default;   // each service stops its pool before its backend goes

void RegistryStage::setDirectory(const ServiceDirectory &directory)
{
    m_directory = directory;
    for (auto &[key, service] : m_services)
        service->follow(directory);
}

RegistryStage::Service &RegistryStage::serviceOf(const NameService &named)
{
    const QString &key = named.key;
    auto found = m_services.find(key);
    if (found != m_services.end())
        return *found->second;
    std::unique_ptr<Service> service = m_makeService(named, m_directory, OtherSlots);
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
    connect(pool, &LookupPool::verdict, this,
        [this, &service](const QString &name, bool unregistered, qint64 entry, const NameState &state) {
            onVerdict(service, name, unregistered, entry, state);
        });
    connect(pool, &LookupPool::unchecked, this,
        [this, &service](const QString &name, qint64 entry) { onNoVerdict(service, name, entry); });
    connect(pool, &LookupPool::reserved, this, [this, &service](const QString &name, qint64 entry, const QString &why) {
        onNoVerdict(service, name, entry, why);
    });
    connect(pool, &LookupPool::fellOverToRdap, this, [&service] { service.control.serviceChanged(); });
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
    m_controls.clear();
    for (auto &[key, service] : m_services) {
        service->lost = RegistryService::unservedText(key);
        service->lostNames = 0;
        service->control.resetForRun();
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
        // Free verdicts that waited for a control are dropped: their entries stay open, and a
        // resumed run asks them again.
        service->control.dropWaiting();
    }
    m_waiting = 0;
}

// The next name of this service: one read for it earlier, else the next of the feed, while the
// names read for the other services leave room.
std::optional<Lookup> RegistryStage::take(Service &service)
{
    ServiceControl &control = service.control;
    if (control.queued) {
        control.queued = false;
        control.asked = m_controls.value(service.key);
        return Lookup {control.asked, ControlEntry};
    }
    if (control.isPending())
        return std::nullopt;   // nothing else is asked until the control is answered
    if (!service.waiting.empty())
        return popWaiting(service);
    while (!m_feedEnded && m_waiting < Waiting) {
        const std::optional<Lookup> next = m_feed();
        if (!next) {
            m_feedEnded = !(m_feedBehind && m_feedBehind());
            if (m_feedEnded)
                wakeAll();   // every pool with nothing left may end
            return std::nullopt;
        }
        Service &to = serviceOf(m_directory.serviceFor(next->name));
        if (&to == &service)
            return next;
        route(to, *next);
    }
    return std::nullopt;
}

Lookup RegistryStage::popWaiting(Service &service)
{
    const Lookup lookup = service.waiting.front();
    service.waiting.pop_front();
    if (m_waiting-- == Waiting)
        wakeAll();   // the feed can be read again
    return lookup;
}

bool RegistryStage::isBehind(const Service &service) const
{
    if (service.control.queued)
        return false;
    if (service.control.isPending())
        return true;   // the names after the control come once it is answered
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
                        popWaiting(service);
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
    askWaitingControls();
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
        if (!other->waiting.empty() || other->control.isPending() || (other->started && !other->finished))
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
    // Free answers that waited for a control of a service now lost have no verdict either.
    const std::deque<ServiceControl::Held> held = std::exchange(service.control.held, {});
    service.control.dropWaiting();
    const quint64 run = m_run;
    for (const ServiceControl::Held &name : held) {
        if (run != m_run)
            return;
        ++service.lostNames;
        emit unchecked(name.name, name.entry);
    }
    bool routed = false;
    for (const Lookup &lookup : open) {
        if (lookup.entry != ControlEntry) {
            route(service, lookup);
            routed = true;
        }
    }
    if (!routed)
        onFinished(service);
}

// A verdict of one of the service's names; a free one counts only once a control has shown that
// the service tells registered names from free ones.
void RegistryStage::onVerdict(
    Service &service, const QString &name, bool unregistered, qint64 entry, const NameState &state)
{
    if (entry == ControlEntry)
        return onControl(service, unregistered ? ServiceControl::Answer::Free : ServiceControl::Answer::Registered);
    ServiceControl &control = service.control;
    control.counted();
    if (!unregistered) {
        ++control.evidence.registered;
        emit verdict(name, false, entry, state);
    } else if (control.hasFailed()) {
        ++control.evidence.unchecked;
        emit untrusted(name, entry);
    } else if (control.held.empty() && !awaitsControl(service)) {
        ++control.evidence.free;
        emit verdict(name, true, entry, state);
    } else {
        control.held.push_back({name, entry, state});
        askControl(service);
    }
}

// A name written off or reserved; a control so answered says neither registered nor free.
void RegistryStage::onNoVerdict(Service &service, const QString &name, qint64 entry, const QString &reserved)
{
    if (entry == ControlEntry)
        return onControl(service, ServiceControl::Answer::None);
    service.control.countedUnchecked();
    if (!reserved.isEmpty())
        emit this->reserved(name, entry, reserved);
    else
        emit unchecked(name, entry);
}

// Whether the service's free verdicts wait for a control: none has cleared them lately, and one can
// be had, now or once DNS finds a name delegated.
bool RegistryStage::awaitsControl(const Service &service) const
{
    if (service.control.isCleared() || service.control.hasFailed())
        return false;
    return m_controls.contains(service.key) || (m_controlsMayCome && m_controlsMayCome());
}

void RegistryStage::askControl(Service &service)
{
    ServiceControl &control = service.control;
    if (!m_running || !control.asked.isEmpty() || control.queued || control.held.empty())
        return;
    if (!m_controls.contains(service.key)) {
        // No control can be had any more: the verdicts count as they would without controls, and the
        // end of the run names the service as untested.
        if (!awaitsControl(service)) {
            control.clearUntested();
            releaseHeld(service, true);
        }
        return;
    }
    control.queued = true;
    service.finished = false;
    service.pool->feedResumed();
}

void RegistryStage::askWaitingControls()
{
    for (auto &[key, service] : m_services)
        askControl(*service);
}

void RegistryStage::noteDelegated(const QString &name)
{
    const NameService service = m_directory.serviceFor(name);
    if (!service.isServed())
        return;
    m_controls.insert(service.key, name);
    if (const auto found = m_services.find(service.key); found != m_services.end()) {
        found->second->control.controlFound();
        askControl(*found->second);
    }
}

void RegistryStage::onControl(Service &service, ServiceControl::Answer answer)
{
    service.control.answered(answer, serviceName(service));
    const bool failed = answer == ServiceControl::Answer::Free;
    if (failed)
        emit controlFailed(service.control.evidence.failure);
    releaseHeld(service, !failed);
    if (m_running)
        service.pool->feedReady();
}

void RegistryStage::releaseHeld(Service &service, bool trusted)
{
    const quint64 run = m_run;
    ServiceEvidence &evidence = service.control.evidence;
    for (const ServiceControl::Held &held : std::exchange(service.control.held, {})) {
        if (run != m_run)
            return;   // the run stopped: the others keep their entries open
        if (trusted) {
            ++evidence.free;
            emit verdict(held.name, true, held.entry, held.state);
        } else {
            ++evidence.unchecked;
            emit untrusted(held.name, held.entry);
        }
    }
}

QString RegistryStage::serviceName(const Service &service) const
{
    return service.name(m_directory, service.isRdap(m_directory, m_comNet.fellOver()));
}

QList<ServiceEvidence> RegistryStage::evidence() const
{
    QList<ServiceEvidence> all;
    for (const auto &[key, service] : m_services) {
        const bool rdap = service->isRdap(m_directory, m_comNet.fellOver());
        if (auto evidence = service->evidence(service->name(m_directory, rdap), rdap, m_controls.contains(key)))
            all << *evidence;
    }
    return all;
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
        if (const QString text = service->busyText(); !text.isEmpty())
            busy << text;
    }
    return busy.join(QStringLiteral(", "));
}

QString RegistryStage::lostText() const
{
    QStringList lost;
    for (const auto &[key, service] : m_services) {
        if (const QString text = service->lostText(); !text.isEmpty())
            lost << text;
    }
    return lost.join(QLatin1Char(' '));
}
