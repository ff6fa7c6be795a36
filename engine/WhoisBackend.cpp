#include "engine/WhoisBackend.h"

WhoisBackend::WhoisBackend(int slotCount, QObject *parent)
    : LookupBackend(parent)
    , m_marker(Whois::configuredMarker())
{
    for (int i = 0; i < slotCount; ++i) {
        auto slot = std::make_unique<Slot>();
        connect(&slot->fetch, &WhoisFetch::connected, this, [this, i] { onConnected(i); });
        // A reply still coming is no silent server.
        connect(&slot->fetch, &WhoisFetch::received, this, [this, i] { m_slots[size_t(i)]->sinceConnect = 0; });
        connect(&slot->fetch, &WhoisFetch::finished, this,
            [this, i](const WhoisFetch::Result &result) { onFinished(i, result); });
        m_slots.push_back(std::move(slot));
    }
}

QString WhoisBackend::serviceText() const
{
    return QStringLiteral("The WHOIS server %1").arg(m_server.text());
}

const WhoisRules *WhoisBackend::rulesFor(const QString &name) const
{
    return m_rules ? m_rules->forName(name) : nullptr;
}

void WhoisBackend::ask(int index, const QString &name)
{
    Slot &slot = *m_slots[size_t(index)];
    slot.name = name;
    slot.active = true;
    slot.sinceConnect = 0;
    if (m_rules && !rulesFor(name)) {
        // A reply nobody can read is worth no query: the name is told at once, from the event loop.
        QMetaObject::invokeMethod(
            this,
            [this, index, name] {
                Slot &asked = *m_slots[size_t(index)];
                if (!asked.active || asked.name != name)
                    return;
                LookupAnswer answer;
                answer.reserved = true;
                answer.reason =
                    QStringLiteral("no rules are known for this registry's answers (%1)").arg(m_server.text());
                cancel(index);
                emit answered(index, answer);
            },
            Qt::QueuedConnection);
        return;
    }
    slot.fetch.start(m_server, query(name));
}

QString WhoisBackend::query(const QString &name) const
{
    const WhoisRules *rules = rulesFor(name);
    return rules ? QString::fromUtf8(rules->queryFor(name)) : name;
}

void WhoisBackend::tick(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    if (slot.active && ++slot.sinceConnect >= ReconnectTicks) {
        slot.sinceConnect = 0;
        slot.fetch.start(m_server, query(slot.name));   // ask again, from the start
    }
}

void WhoisBackend::cancel(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    slot.active = false;
    slot.fetch.cancel();
}

void WhoisBackend::onConnected(int index)
{
    Slot &slot = *m_slots[size_t(index)];
    slot.sinceConnect = 0;
    emit reached(index);
}

void WhoisBackend::onFinished(int index, const WhoisFetch::Result &result)
{
    Slot &slot = *m_slots[size_t(index)];
    if (!slot.active)
        return;
    m_peakReply = std::max(m_peakReply, result.reply.size());
    if (!result.error.isEmpty() && result.connected)
        return;   // trouble after the query was sent: the tick asks again
    const WhoisRules *rules = rulesFor(slot.name);
    const LookupAnswer answer = rules ? result.answerFor(slot.name, *rules) : result.answerFor(slot.name, m_marker);
    cancel(index);
    emit answered(index, answer);
}
