#include "run/RunLines.h"

void RunLines::begin(const SourceFeed &list, qint64 first, const QString &skipReport)
{
    m_list = list;
    m_nextEntry = first;
    m_loads = m_list.loads();
    m_changed = false;
    m_tally.clear();
    m_skips.begin(skipReport);
}

std::optional<RunLines::Entry> RunLines::next(const QStringList &endings, const Skipped &skipped)
{
    const qint64 number = m_nextEntry;
    const QString line = m_list.entry(number);
    if (m_list.loads() != m_loads) {
        m_changed = true;
        return std::nullopt;
    }
    if (number > m_list.count())
        return std::nullopt;   // past the last entry; a line that reads as the end marker is a name like any other
    ++m_nextEntry;
    // Names whose ending no service answers are counted, not asked.
    const auto skip = [this, number, &line, &skipped](const QString &why) {
        m_skips.note(number, why);
        if (skipped)
            skipped(number, line, why);
    };
    const QStringList names =
        m_list.isOverlong(number) ? m_tally.skipOverlong(line, skip) : m_tally.namesOf(line, endings, skip);
    return Entry {number, line, names};
}
