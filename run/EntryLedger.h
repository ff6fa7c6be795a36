#pragma once
#include <QtGlobal>
#include <map>

// The entries of a run that are still open. An entry opens when its line is read, standing for
// the names it came to, and closes when the outcome of each of them is saved (a verdict written to
// its file, or the name listed unchecked). The earliest open entry is where a resumed run must
// begin: whatever stage a name is in (read, with DNS, waiting for its service, on a slot, carried
// over, or dropped by a stop), its entry stays open here until its outcome is saved.
class EntryLedger
{
public:
    void clear()
    {
        m_open.clear();
        m_done = 0;
    }
    // An entry was read; it stands for `names` names. One of none is done at once.
    void open(qint64 entry, int names)
    {
        if (entry > 0 && names > 0)
            m_open[entry] += names;
        else if (entry > 0)
            ++m_done;
    }
    // The outcome of one of the entry's names was saved.
    void close(qint64 entry)
    {
        const auto found = m_open.find(entry);
        if (found != m_open.end() && --found->second <= 0) {
            m_open.erase(found);
            ++m_done;
        }
    }
    // The entries done since the ledger was cleared.
    qint64 done() const { return m_done; }
    // The earliest open entry; 0 when none is open.
    qint64 earliestOpen() const { return m_open.empty() ? 0 : m_open.begin()->first; }
    qsizetype openCount() const { return qsizetype(m_open.size()); }

private:
    std::map<qint64, int> m_open;   // entry: its names without a saved outcome
    qint64 m_done = 0;
};
