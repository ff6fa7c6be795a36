#include "engine/LookupQueue.h"

#include <QRandomGenerator>
#include <algorithm>

// A name refused at once, again and again, would otherwise take every start the pace allows, and the
// others none. The order is partly left to chance, so that a server that refuses every n-th
// connection cannot refuse the same name each time.
std::optional<Lookup> LookupQueue::next(quint64 verdicts, qsizetype slotCount, bool *retried)
{
    const auto due = std::find_if(m_carried.begin(), m_carried.end(),
        [verdicts](const Lookup &lookup) { return lookup.verdictsSeen < verdicts; });
    if (due != m_carried.end() && QRandomGenerator::global()->bounded(2) == 0) {
        const Lookup lookup = *due;
        m_carried.erase(due);
        *retried = true;
        return lookup;
    }
    // While a slot's worth of names wait, the server refuses more than one name: they go first,
    // and the list is not walked through under a refusal.
    if (!m_feedEnded && m_feed && refusedWaiting() < slotCount) {
        if (std::optional<Lookup> next = m_feed())
            return next;
        m_feedEnded = !feedIsBehind();
    }
    if (m_carried.isEmpty())
        return std::nullopt;
    *retried = true;
    return m_carried.takeAt(QRandomGenerator::global()->bounded(int(m_carried.size())));
}

qsizetype LookupQueue::refusedWaiting() const
{
    return std::count_if(m_carried.cbegin(), m_carried.cend(), [](const Lookup &lookup) { return !lookup.unread; });
}
