#pragma once
#include "engine/Lookup.h"
#include "engine/LookupBackends.h"
#include "run/SourceFeed.h"

#include <QObject>
#include <QTimer>

class ResultLists;

// The browser harvest window's own checks: one name at a time, in the order of BrowserSearch.txt,
// over WHOIS or RDAP as the run's settings say, each name once. They ask through the backends a run
// uses and keep a run's attempt rule: a lookup that times out (5 ticks) costs an attempt, as do five
// replies without a verdict, and after three the name is written off as unchecked, so one name never
// holds up the rest; a reserved name is written off at once. A name asked again waits for the next
// tick. Under "auto", WHOIS gives way to RDAP for the rest of the checks at its first failure.
// Verdicts are classified through the result lists as the main window's are.
class HarvestChecker : public QObject
{
    Q_OBJECT

public:
    static constexpr int TimeoutTicks = 5;
    static constexpr int MaxAttempts = Lookup::MaxAttempts;   // as in a run

    HarvestChecker(ResultLists &results, const ServiceDirectory &service, QObject *parent = nullptr);

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
    void StartLookup(const QString &name);
    void askAgain();
    void tick();
    void halt();
    void onAnswered(int slot, const LookupAnswer &answer);
    void give(const QString &name, bool free);
    void writeOff();
    void advance();

    ResultLists &m_results;
    LookupBackends m_backends {1};
    LookupBackend &m_backend;
    SourceFeed m_list;
    QTimer m_timer1;
    int m_tickMs = 1000;
    qint64 m_next = 0;
    bool m_checking = false;
    bool m_halted = false;
    bool m_waiting = false;   // the current name is asked again at the next tick
    int m_ticks = 0;          // ticks of the current lookup
    quint64 m_verdicts = 0;
    Lookup m_current;
};
