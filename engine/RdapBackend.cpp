#include "engine/RdapBackend.h"

RdapBackend::RdapBackend(int slotCount, QObject *parent)
    : LookupBackend(parent)
    , m_slots(size_t(slotCount))
{
    for (int i = 0; i < (slotCount + SlotsPerManager - 1) / SlotsPerManager; ++i)
        m_managers.push_back(std::make_unique<QNetworkAccessManager>());
    for (int i = 0; i < slotCount; ++i) {
        m_slots[size_t(i)].fetch = std::make_unique<RdapFetch>(*m_managers[size_t(i / SlotsPerManager)]);
        connect(m_slots[size_t(i)].fetch.get(), &RdapFetch::finished, this,
            [this, i](const RdapFetch::Result &result) { onFinished(i, result); });
    }
}

RdapBackend::~RdapBackend()
{
    for (int i = 0; i < int(m_slots.size()); ++i)
        cancel(i);
}

QString RdapBackend::serviceText() const
{
    if (!m_shownService.isEmpty())
        return QStringLiteral("The RDAP service %1").arg(m_shownService);
    const QUrl any = bases().everyEnding.isEmpty() && !bases().byEnding.isEmpty() ? bases().byEnding.begin().value()
                                                                                  : bases().everyEnding;
    return QStringLiteral("The RDAP service %1").arg(any.adjusted(QUrl::RemovePath).toString());
}

void RdapBackend::ask(int index, const QString &name)
{
    cancel(index);
    Slot &slot = m_slots[size_t(index)];
    slot.name = name;
    const QUrl asked = m_directory.serviceFor(name).rdapRequest;
    if (!asked.isValid()) {
        LookupAnswer answer;
        answer.kind = LookupAnswer::Kind::Unreachable;
        answer.hostNotFound = true;   // no service for this ending: asking again does not help
        answer.said = QStringLiteral("no RDAP service is set for %1").arg(name.section('.', -1));
        QMetaObject::invokeMethod(
            this,
            [this, index, answer, lookup = slot.lookup] {
                if (m_slots[size_t(index)].lookup == lookup)
                    emit answered(index, answer);
            },
            Qt::QueuedConnection);
        return;
    }
    slot.fetch->start(asked);
}

void RdapBackend::cancel(int index)
{
    Slot &slot = m_slots[size_t(index)];
    ++slot.lookup;
    slot.fetch->cancel();
}

void RdapBackend::onFinished(int index, const RdapFetch::Result &result)
{
    Slot &slot = m_slots[size_t(index)];
    const quint64 lookup = ++slot.lookup;
    if (result.reply.status != 0) {
        emit reached(index);
        if (slot.lookup != lookup)
            return;   // the pool stopped meanwhile
    }
    emit answered(index, result.answerFor(slot.name));
}
