#pragma once
#include "engine/LookupBackend.h"

#include <vector>

// Asks .com and .net names of the service the run's protocol chooses (WHOIS, RDAP or "auto"), and
// every other ending over RDAP, at the service named for it. Each slot hears only the backend
// its name went to. A service of another ending that cannot be reached costs its own names their
// verdicts (they are refused), not the run.
class EndingRouter : public LookupBackend
{
    Q_OBJECT

public:
    EndingRouter(int slotCount, LookupBackend &comNet, LookupBackend &rdap, QObject *parent = nullptr);

    void setComNet(LookupBackend &comNet);
    // Whether the name is one the protocol's own service answers.
    static bool isComNet(const QString &name);

    void ask(int slot, const QString &name) override;
    void tick(int slot) override { routeOf(slot).tick(slot); }
    void cancel(int slot) override { routeOf(slot).cancel(slot); }
    QString serviceText() const override { return m_comNet->serviceText(); }
    QString protocolText() const override { return m_comNet->protocolText(); }
    void newRun() override { m_comNet->newRun(); }
    bool canGiveWay() const override { return m_comNet->canGiveWay(); }
    void giveWay() override { m_comNet->giveWay(); }

private:
    LookupBackend &routeOf(int slot) { return m_toRdap[size_t(slot)] ? m_rdap : *m_comNet; }
    void listen(LookupBackend &backend, bool rdapRoute);

    LookupBackend *m_comNet;
    LookupBackend &m_rdap;
    std::vector<bool> m_toRdap;   // by slot: its name went to RDAP for its ending
};
