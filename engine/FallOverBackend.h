#pragma once
#include "engine/LookupBackend.h"

// "auto": asks the first service (WHOIS) and, once the pool finds that it fails, the second (RDAP)
// for the rest of the run. Only the service in use is heard: a late answer of the other is dropped.
class FallOverBackend : public LookupBackend
{
    Q_OBJECT

public:
    FallOverBackend(LookupBackend &first, LookupBackend &second, QObject *parent = nullptr);

    void ask(int slot, const QString &name) override { m_current->ask(slot, name); }
    void tick(int slot) override { m_current->tick(slot); }
    void cancel(int slot) override { m_current->cancel(slot); }
    QString serviceText() const override { return m_current->serviceText(); }
    QString protocolText() const override { return m_current->protocolText(); }
    void newRun() override { m_current = &m_first; }
    bool canGiveWay() const override { return m_current == &m_first; }
    void giveWay() override { m_current = &m_second; }

private:
    LookupBackend &m_first;
    LookupBackend &m_second;
    LookupBackend *m_current = &m_first;
};
