#pragma once
#include "run/LineTally.h"
#include "run/SkipReport.h"
#include "run/SourceFeed.h"

#include <QStringList>
#include <functional>
#include <optional>

// The lines of a run's list, read in order from its first entry: the names each entry stands for,
// and the lines and names skipped, each with why, counted and written to the run's skip report.
class RunLines
{
public:
    struct Entry {
        qint64 number = 0;
        QString line;
        QStringList names;   // those that are asked; none when every one of them is skipped
    };
    // A line of the list, or one name of it, is not asked.
    using Skipped = std::function<void(qint64 entry, const QString &line, const QString &why)>;

    // Reads `list` from entry `first` on; the skipped lines go to the report at `skipReport`.
    void begin(const SourceFeed &list, qint64 first, const QString &skipReport);
    // The next entry; nothing past the last one, or once the list changed under the run.
    std::optional<Entry> next(const QStringList &endings, const Skipped &skipped);
    // The file was written to or replaced since the run began: its entries are another list's.
    bool listChanged() const { return m_changed; }
    // The entry read next.
    qint64 nextEntry() const { return m_nextEntry; }

    const SourceFeed &list() const { return m_list; }
    SourceFeed &list() { return m_list; }
    LineTally &tally() { return m_tally; }
    const LineTally &tally() const { return m_tally; }
    SkipReport &skipReport() { return m_skips; }

private:
    SourceFeed m_list;
    qint64 m_nextEntry = 0;
    quint64 m_loads = 0;   // the list's loads when the run began: one more is a changed list
    bool m_changed = false;
    LineTally m_tally;
    SkipReport m_skips;
};
