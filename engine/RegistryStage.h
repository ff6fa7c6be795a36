#pragma once
#include "engine/Lookup.h"
#include "engine/LookupPool.h"
#include "engine/RegistryService.h"
#include "engine/ServiceControl.h"
#include "engine/ServiceDirectory.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>

// The registries of a run: the names DNS did not settle, each handed to the pool of the service
// that answers its ending. .com and .net go to the run's own pool (the protocol's service, 25 at a
// time); every other ending to a pool of its RDAP service, one per host, with OtherSlots in flight
// and a pace of its own. A strict or slow service then slows only its own names, until Waiting
// names are held for it; past that the list is read no further, so that memory stays bounded
// and the resume position stays near. A service that cannot be reached, or refuses everything,
// costs its own names their verdicts (unchecked), not the run.
//
// A service's "free" counts only once it has shown that it tells a registered name from a free one:
// before its first free verdict counts, and again every ControlEvery names it answers, it is asked
// about a control, a name DNS found delegated in this run under an ending it serves. Its free
// verdicts wait meanwhile (their entries stay open), at most a pool's worth, as the service takes
// no other name until the control is answered. A control answered as free means the service
// answers free for what exists (a wrong base, a proxy, a redirector): none of its free answers
// counts for the rest of the run. Where no control can be had, the run goes on and says so.
class RegistryStage : public QObject
{
    Q_OBJECT

public:
    static constexpr int OtherSlots = 10;
    static constexpr int Waiting = 10000;   // names read for their services and not yet asked
    static constexpr int ControlEvery = ServiceControl::Every;
    static constexpr qint64 ControlEntry = -1;   // a control belongs to no entry of the list
    using Evidence = ServiceEvidence;

    explicit RegistryStage(LookupPool &comNet, QObject *parent = nullptr);
    ~RegistryStage() override;

    void setFeed(LookupPool::Feed feed, LookupPool::FeedBehind behind)
    {
        m_feed = std::move(feed);
        m_feedBehind = std::move(behind);
    }
    // Names came into a feed that was behind, or it ended.
    void feedReady();
    // Where the names of the endings other than .com and .net are asked. Set between runs.
    void setDirectory(const ServiceDirectory &directory);
    // How the service of an ending is made at its first name: RegistryService::of, unless tests give
    // services of their own (scripted backends on a manual clock: no socket, no wall time).
    using ServiceMaker = std::function<std::unique_ptr<RegistryService>(
        const NameService &named, const ServiceDirectory &directory, int slotCount)>;
    void setServiceMaker(ServiceMaker maker) { m_makeService = std::move(maker); }

    LookupPool &comNet() { return m_comNet; }
    const LookupPool &comNet() const { return m_comNet; }

    void start();
    // Stops every pool; the names without an outcome are dropped (the run's ledger keeps their entries).
    void stop();
    int inFlight() const;
    // What the services of other endings are doing, when it matters: "rdap.nic.io: pausing".
    QString othersText() const;
    // The services of other endings that were lost in this run, and why: one sentence each.
    QString lostText() const;
    // A name DNS found delegated in this run: a control for the service of its ending.
    void noteDelegated(const QString &name);
    // Whether names DNS finds delegated may still come; while they may, free verdicts of a service
    // without a control wait for one.
    void setControlsMayCome(std::function<bool()> mayCome) { m_controlsMayCome = std::move(mayCome); }
    // Each service asked in the last run, with its counts and its controls.
    QList<Evidence> evidence() const;

signals:
    void verdict(const QString &name, bool unregistered, qint64 entry, const NameState &state);
    void unchecked(const QString &name, qint64 entry);
    void reserved(const QString &name, qint64 entry, const QString &why);
    // A free answer of a service that failed its control: the name gets no verdict.
    void untrusted(const QString &name, qint64 entry);
    // A service failed its control; the text says which, with the control and its answer.
    void controlFailed(const QString &text);
    // Every name of the feed has its outcome.
    void finished();
    void paceChanged();
    // "connecting(3): - Search String: abc.com" from any service, or NoConnectionText once none is open.
    void connectionStatus(const QString &text);

public:
    static inline const QString NoConnectionText = QStringLiteral("No connection open");

private:
    using Service = RegistryService;

    // The service that asks the names of `named`, made at its first name.
    Service &serviceOf(const NameService &named);
    void listen(Service &service);
    std::optional<Lookup> take(Service &service);
    Lookup popWaiting(Service &service);
    bool isBehind(const Service &service) const;
    void route(Service &service, const Lookup &lookup);
    void wakeAll();
    void onFinished(Service &service);
    void lose(Service &service, const QString &why);
    void onVerdict(Service &service, const QString &name, bool unregistered, qint64 entry, const NameState &state);
    void onControl(Service &service, ServiceControl::Answer answer);
    // `reserved`: why the registry keeps the name; empty for a name written off.
    void onNoVerdict(Service &service, const QString &name, qint64 entry, const QString &reserved = {});
    bool awaitsControl(const Service &service) const;
    void askControl(Service &service);
    void askWaitingControls();
    void releaseHeld(Service &service, bool trusted);
    QString serviceName(const Service &service) const;

    LookupPool &m_comNet;
    LookupPool::Feed m_feed;
    LookupPool::FeedBehind m_feedBehind;
    ServiceDirectory m_directory;
    ServiceMaker m_makeService = &RegistryService::of;
    std::map<QString, std::unique_ptr<Service>> m_services;   // by key; "" is .com and .net
    QHash<QString, QString> m_controls;   // by service key: the last name DNS found delegated under it
    std::function<bool()> m_controlsMayCome;
    qsizetype m_waiting = 0;
    bool m_feedEnded = false;
    bool m_running = false;
    bool m_connectionShown = false;   // the last status told of an open connection
    quint64 m_run = 0;
};
