#pragma once
#include "engine/Lookup.h"
#include "engine/RecordQuery.h"
#include "run/SourceFeed.h"

#include <QObject>
#include <QTimer>

class ResultLists;

// The browser harvest window's own checks: one name at a time, in the order of BrowserSearch.txt,
// over WHOIS or RDAP as the run's settings say,
// each name once. A name whose lookup times out (5 ticks) or brings no verdict is asked again, and
// after 3 such tries written off as unchecked, so one name never holds up the rest. Verdicts are
// classified through the result lists as the main window's are.
class HarvestChecker : public QObject
{
    Q_OBJECT

public:
    static constexpr int TimeoutTicks = 5;
    static constexpr int MaxAttempts = Lookup::MaxAttempts;   // as in a run

    HarvestChecker(ResultLists &results, const LookupService &service, QObject *parent = nullptr);

    void setTickInterval(int milliseconds);
    // Polls the list every tick from now on.
    void start();
    // Looks at the list now: starts the next lookup when a name is waiting.
    void CheckNext();
    // Names from the list are asked from this position on (0-based).
    qint64 nextIndex() const { return m_next; }
    bool isChecking() const { return m_checking; }
    // A result could not be saved: no name is asked until Start.
    bool isHalted() const { return m_halted; }

signals:
    void checking(const QString &name);
    void unregistered(const QString &name);
    void registered(const QString &name);
    // Nothing is waiting.
    void idle();

private:
    static Whois::LookupName lookupNameOf(const QString &candidate);
    void StartLookup(const QString &name);
    void halt();
    void onFinished(const RecordQuery::Record &record);
    void advance();

    ResultLists &m_results;
    LookupService m_service;
    SourceFeed m_list;
    RecordQuery m_query;
    QTimer m_timer1;
    int m_tickMs = 1000;
    qint64 m_next = 0;
    int m_attempts = 0;
    bool m_checking = false;
    bool m_halted = false;
    QString m_current;
};
