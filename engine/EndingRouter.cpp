#include "engine/EndingRouter.h"

EndingRouter::EndingRouter(int slotCount, LookupBackend &comNet, LookupBackend &rdap, QObject *parent)
    : LookupBackend(parent)
    , m_comNet(&comNet)
    , m_rdap(rdap)
    , m_toRdap(size_t(slotCount), false)
{
    listen(m_rdap, true);
    listen(*m_comNet, false);
}

void EndingRouter::setComNet(LookupBackend &comNet)
{
    if (m_comNet == &comNet)
        return;
    m_comNet->disconnect(this);
    if (m_comNet == &m_rdap)
        listen(m_rdap, true);   // its other route stays
    m_comNet = &comNet;
    listen(*m_comNet, false);
}

// The protocol's backend may be RDAP itself: a slot's answer is taken from the route it was sent.
void EndingRouter::listen(LookupBackend &backend, bool rdapRoute)
{
    connect(&backend, &LookupBackend::reached, this, [this, rdapRoute](int slot) {
        if (m_toRdap[size_t(slot)] == rdapRoute)
            emit reached(slot);
    });
    connect(&backend, &LookupBackend::answered, this, [this, rdapRoute](int slot, const LookupAnswer &answer) {
        if (m_toRdap[size_t(slot)] != rdapRoute)
            return;
        if (!rdapRoute || answer.kind != LookupAnswer::Kind::Unreachable)
            return emit answered(slot, answer);
        // The service of one ending cannot be reached: its names go without a verdict, as names that
        // are refused do, and the run goes on for the others.
        LookupAnswer refused = answer;
        refused.kind = LookupAnswer::Kind::NoVerdict;
        refused.hostNotFound = false;
        emit answered(slot, refused);
    });
}

bool EndingRouter::isComNet(const QString &name)
{
    return name.endsWith(QLatin1String(".com"), Qt::CaseInsensitive)
        || name.endsWith(QLatin1String(".net"), Qt::CaseInsensitive);
}

void EndingRouter::ask(int slot, const QString &name)
{
    m_toRdap[size_t(slot)] = !isComNet(name);
    routeOf(slot).ask(slot, name);
}
