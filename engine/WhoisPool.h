#pragma once
#include "engine/Whois.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <memory>

class QTcpSocket;
class ResultLists;

// One name on its way to a verdict: the candidate as its source gave it, the entry number it had in
// the source (0 when it came from elsewhere) and the batches it was already tried in.
struct Lookup {
    QString candidate;
    qint64 entry = 0;
    int attempts = 0;
};

// The 25 connections that ask the WHOIS server, batch by batch. Each slot has its socket and its
// timer; a watchdog ends a batch that takes too long. Verdicts go to the result lists. A name still
// open when its batch ends is tried again first in the next batch, up to MaxAttempts batches, and
// then written to the unchecked file.
class WhoisPool : public QObject
{
    Q_OBJECT

public:
    static constexpr int Slots = 25;
    static constexpr int ReconnectTicks = 10;   // a slot without a reply asks again after these
    static constexpr int WatchdogTicks = 30;    // a batch ends after these at the latest
    static constexpr int MaxAttempts = 3;

    explicit WhoisPool(ResultLists &results, QObject *parent = nullptr);
    ~WhoisPool() override;

    void setServer(const Whois::Server &server) { m_server = server; }
    Whois::Server server() const { return m_server; }
    // The length of one tick; 1000 ms unless tests make it shorter.
    void setTickInterval(int milliseconds) { m_tickMs = milliseconds; }

    // A new run: the stop flag is cleared, nothing is carried over, problems are told afresh.
    void BeginRun();
    // A new batch: StartLookup for each slot, then FinishFilling.
    void BeginBatch();
    void StartLookup(const Lookup &lookup, int slot);
    void FinishFilling();
    bool HasRetries() const { return !m_retries.isEmpty(); }
    Lookup TakeRetry() { return m_retries.takeFirst(); }
    // Stops every slot and forgets the carried-over names. Returns the smallest entry number of
    // the names that had no verdict yet, 0 when there was none.
    qint64 Stop();

    bool isStopped() const { return m_stopped; }
    int lookupsDone() const { return m_lookupsDone; }
    int uncheckedCount() const { return m_uncheckedCount; }
    QString uncheckedPath() const;
    qsizetype peakReplyBytes() const { return m_peakReply; }

signals:
    void verdict(const QString &name, bool unregistered);
    void unchecked(const QString &name, int total);
    void batchEnded();
    void connectionStatus(const QString &text);
    // A server that cannot be reached or a file that cannot be written; told once per run.
    void problem(const QString &message);

private:
    struct Slot;

    void onConnected(int slot);
    void onReadyRead(int slot);
    void onDisconnected(int slot);
    void onError(int slot);
    void onSlotTick(int slot);
    void onWatchdogTick();
    void connectSlot(Slot &slot);
    void finishWithVerdict(Slot &slot);
    void finishWithoutVerdict(Slot &slot);
    void carryOver(Lookup lookup);
    void LookupDone();
    void scheduleBatchEnd();
    void endBatch();
    void tell(const QString &message);

    ResultLists &m_results;
    Whois::Server m_server;
    int m_tickMs = 1000;
    std::array<std::unique_ptr<Slot>, Slots> m_slots;
    QTimer m_overall;
    QList<Lookup> m_retries;
    bool m_stopped = true;
    bool m_filling = false;
    bool m_endScheduled = false;
    quint64 m_batch = 0;
    int m_lookupsDone = 0;
    int m_started = 0;
    int m_batchTicks = 0;
    int m_uncheckedCount = 0;
    qsizetype m_peakReply = 0;
    QStringList m_told;
};
