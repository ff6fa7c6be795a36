#pragma once
#include "cli/Command.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class LookupPool;

// Progress of a check on the error channel: a live bar with names per second, time left and the
// pace on a terminal, a plain line every few seconds otherwise.
class CheckProgress : public QObject
{
    Q_OBJECT

public:
    CheckProgress(const Cli::Console &console, const LookupPool &pool, qint64 names, QObject *parent = nullptr);
    void start();
    void advance() { ++m_done; }
    void finish();

private:
    void show();
    QString summary() const;

    const Cli::Console &m_console;
    const LookupPool &m_pool;
    qint64 m_total;
    qint64 m_done = 0;
    QElapsedTimer m_clock;
    QTimer m_timer;
};
