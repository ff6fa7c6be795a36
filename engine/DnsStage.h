#pragma once
#include "engine/DnsClient.h"
#include "engine/Lookup.h"
#include "engine/Pace.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>

// DNS before the registry: a name whose zone delegates it (NS records for the name) is registered,
// and the registry is not asked. Every other outcome (NXDOMAIN, NODATA, a refusal, no answer) is no
// verdict, and the name goes on to the registry: DNS never makes a name free. Under endings other
// than .com and .net the registry's 404 is evidence only beside DNS's own answer that the name does
// not exist (NXDOMAIN): without that answer (NODATA, SERVFAIL, a refusal, a silence, DNS left) the
// name gets none.
//
// A resolver is tested both ways: names that cannot exist (canaries) catch one that makes
// delegations up, and the endings themselves (the NS records of `io.`) one that hides them, as a
// filtering resolver or a captive portal answering NXDOMAIN or nothing to everything does. Before
// a run reads names, and now and then during it, both are asked; an NXDOMAIN under an ending is
// believed only once the resolver has shown that ending's name servers.
//
// The stage reads the source ahead of the registry, up to Lookahead names, with up to InFlight
// questions open and a pace of its own learnt from the resolver's refusals and silences, so that a
// home router is not flooded while the registry works at its own pace. When the resolver answers
// nothing at all, every name goes to the registry for the rest of the run.
class DnsStage : public QObject
{
    Q_OBJECT

public:
    static constexpr int InFlight = 100;
    static constexpr int Lookahead = 10000;   // names read from the source without a verdict yet
    // Silences in a row, or refusals in a row before any answer: DNS is off for the run.
    static constexpr int SilentInARow = 50;
    // Of this many last answers, more than half failures (silences, malformed answers): DNS is off.
    static constexpr int RecentAnswers = 100;
    static constexpr int CanaryEvery = 1000;   // names asked between two names that cannot exist

    using Feed = std::function<std::optional<Lookup>()>;

    explicit DnsStage(QObject *parent = nullptr);

    void setSource(Feed source) { m_source = std::move(source); }
    // Off: .com and .net names go straight to the registry; the others are still asked here.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    // The endings of the names a run asks: before it, a name that cannot exist under each is asked,
    // and a resolver that calls one delegated is not used.
    void setCanaryEndings(const QStringList &endings) { m_canaryEndings = endings; }
    bool isEnabled() const { return m_enabled; }
    // "HOST[:PORT]" resolvers separated by commas; empty for the system's own. Returns why not, or empty.
    QString setServers(const QString &servers)
    {
        m_serversError = m_client.setServers(servers);
        return m_serversError;
    }
    // The length of one tick; a question waits two for its first answer.
    void setTickInterval(int milliseconds)
    {
        m_pace.setTickInterval(milliseconds);
        m_client.setTimeoutMs(2 * milliseconds);
    }

    void start();
    void stop();
    // The next name for the registry; none while DNS is still at work (ready() follows) or at the end.
    std::optional<Lookup> next();
    // The source has ended and every name read from it has left the stage.
    bool isEnded() const;
    // No name waits for the registry yet, and more will come: ready() tells when.
    bool isBehind() const;

    quint64 delegatedCount() const { return m_delegated; }
    quint64 passedCount() const { return m_passed; }
    // "DNS: 18,912 delegated, 1,088 to the registry"; empty when DNS asked nothing.
    QString countsText() const;
    // Why DNS was left for the rest of the run, if it was.
    const QString &offReason() const { return m_offReason; }
    // Whether names DNS finds delegated may still come in this run, for a registry's control.
    bool mayFindMore() const;
    // What the run learnt of the resolver: used or not, and how it was tested.
    QString evidenceText() const;
    // "tested", "failed" (left for the run), "untested" or "unused".
    QString evidenceState() const;

signals:
    // DNS finds the name delegated: registered.
    void delegated(const QString &name, qint64 entry);
    // Names wait for the registry, or the stage has ended.
    void ready();
    // DNS cannot be asked about a name under another ending than .com and .net, and its
    // registry's word alone is not trusted: the name gets no verdict.
    void withoutEvidence(const QString &name, qint64 entry);

private:
    void fill();
    void scheduleFill();
    void onAnswered(quint64 id, DnsClient::Outcome outcome);
    void pass(const Lookup &lookup);
    void passWithoutAnswer(const Lookup &lookup);
    void askCanary(const QString &ending);
    bool onCanaryAnswered(quint64 id, DnsClient::Outcome outcome);
    void askEnding(const QString &ending);
    bool onEndingAnswered(quint64 id, DnsClient::Outcome outcome);
    void notDelegated(const Lookup &lookup);
    void checkAnswered();
    qsizetype heldCount() const;
    void askedAbout(const QString &name);
    void turnOff(const QString &why);

    DnsClient m_client;
    Feed m_source;
    bool m_enabled = true;
    bool m_running = false;
    bool m_sourceEnded = false;
    bool m_off = false;   // for the rest of the run
    bool m_fillScheduled = false;
    QString m_offReason;
    QString m_serversError;   // the resolvers set cannot be used: DNS cannot be asked
    QHash<quint64, Lookup> m_asked;
    QStringList m_canaryEndings {QStringLiteral("com")};
    QHash<quint64, QString> m_canaries;            // names that cannot exist, asked
    QHash<quint64, QString> m_endingChecks;        // endings whose name servers are asked
    QSet<QString> m_foundEndings;                  // endings whose name servers the resolver has shown
    QHash<QString, std::deque<Lookup>> m_parked;   // NXDOMAIN names waiting for their ending's check
    bool m_waitingForChecks = false;               // the first canaries and endings have no answer yet
    quint64 m_canariesAnswered = 0;
    int m_sinceCanary = 0;
    std::deque<Lookup> m_passedOn;   // waiting for the registry
    QElapsedTimer m_clock;
    Pace m_pace;
    QTimer m_paceTimer;
    QTimer m_waitTimer;
    int m_silentInARow = 0;
    std::deque<bool> m_recent;   // whether each of the last answers was a failure
    int m_recentFailures = 0;
    quint64 m_answers = 0;
    quint64 m_delegated = 0;
    quint64 m_passed = 0;
    quint64 m_unanswered = 0;        // of m_passed: .com and .net names DNS had no answer for
    quint64 m_withoutEvidence = 0;   // names under other endings left without a verdict
    quint64 m_run = 0;
};
