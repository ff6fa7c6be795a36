#include "tools/testservices/NameRules.h"

quint32 stableHash(const QByteArray &text)
{
    quint32 hash = 2166136261u;   // FNV-1a
    for (char c : text)
        hash = (hash ^ quint8(c)) * 16777619u;
    return hash;
}

bool amongShare(const QByteArray &salt, const QByteArray &name, double share)
{
    return stableHash(salt + name) % 100000u < quint32(share * 100000.0);
}

bool NameRules::isFree(const QByteArray &name) const
{
    const QByteArray key = name.toLower();
    if (m_options.useRegisteredList)
        return !m_options.registered.contains(key) && !m_options.dropping.contains(key);
    if (key.indexOf('.') > 40)
        return true;   // a label this long is nobody's name: the names a client asks to test its resolver
    return amongShare({}, key, m_options.freeRatio);
}

QByteArray NameRules::droppingPhase(const QByteArray &name) const
{
    const QByteArray key = name.toLower();
    if (const auto listed = m_options.dropping.constFind(key); listed != m_options.dropping.cend())
        return *listed;
    if (m_options.droppingRatio <= 0 || isFree(key) || !amongShare("drop:", key, m_options.droppingRatio))
        return {};
    return stableHash("phase:" + key) % 2 ? "redemptionPeriod" : "pendingDelete";
}

QByteArray NameRules::phaseSet(const QByteArray &phase)
{
    return phase == "redemptionPeriod" ? "2026-11-20T10:00:00Z" : "2026-12-01T10:00:00Z";
}
