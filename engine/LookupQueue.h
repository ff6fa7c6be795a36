#pragma once
#include "engine/Lookup.h"

#include <QList>
#include <functional>
#include <optional>

// The names a lookup pool has yet to ask: the feed of new names, and the names carried over (refused,
// unread or timed out) to be asked again.
class LookupQueue
{
public:
    // The next name of the source; nothing once the source has ended, or while it is behind.
    using Feed = std::function<std::optional<Lookup>()>;
    // Whether a feed that gave nothing is only behind: more names come later.
    using FeedBehind = std::function<bool()>;

    void setFeed(Feed feed, FeedBehind behind)
    {
        m_feed = std::move(feed);
        m_feedBehind = std::move(behind);
    }
    bool hasFeed() const { return bool(m_feed); }
    // A new run, or a feed that had ended has a name again.
    void reopenFeed() { m_feedEnded = false; }
    bool feedEnded() const { return m_feedEnded; }
    bool feedIsBehind() const { return !m_feedEnded && m_feedBehind && m_feedBehind(); }

    // A carried-over name once the server has answered anything since it was refused, else the feed
    // (while fewer than `slotCount` refused names wait), else any carried-over name; `retried` says
    // whether it was carried over.
    std::optional<Lookup> next(quint64 verdicts, qsizetype slotCount, bool *retried);

    // Asked again before the others (a refusal), or after them (no answer in time).
    void carryFirst(const Lookup &lookup) { m_carried.prepend(lookup); }
    void carryLast(const Lookup &lookup) { m_carried.append(lookup); }
    QList<Lookup> &carried() { return m_carried; }
    const QList<Lookup> &carried() const { return m_carried; }
    void clear() { m_carried.clear(); }

private:
    // The names waiting because the service refused them; those whose replies could not be read are
    // no sign that it refuses.
    qsizetype refusedWaiting() const;

    Feed m_feed;
    FeedBehind m_feedBehind;
    bool m_feedEnded = false;
    QList<Lookup> m_carried;
};
