#pragma once
#include "cli/Command.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class LookupPool;

// Progress of a check on the error channel: a live bar with entries per second, time left and the
// pace on a terminal, a plain line every few seconds otherwise. It counts entries, not names: an
// entry is done once each of its names (one per ending of a bare word) has its outcome.
class CheckProgress : public QObject
{
    Q_OBJECT

public:
    // entriesDone: how many entries of the check are done so far.
    CheckProgress(const Cli::Console &console, const LookupPool &pool, qint64 entries,
        std::function<qint64()> entriesDone, QObject *parent = nullptr);
    void start();
    void finish();

private:
    void show();
    QString summary() const;

    const Cli::Console &m_console;
    const LookupPool &m_pool;
    qint64 m_total;
    std::function<qint64()> m_entriesDone;
    QElapsedTimer m_clock;
    QTimer m_timer;
};
