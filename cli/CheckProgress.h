#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Progress of a check on stderr: a live bar with names per second and time left on a terminal,
// a plain line every few seconds otherwise.
class CheckProgress : public QObject
{
    Q_OBJECT

public:
    CheckProgress(qint64 entries, qint64 firstEntry, QObject *parent = nullptr);
    void start();
    void advance() { ++m_done; }
    void finish();

private:
    void show();
    QString summary() const;

    qint64 m_total;
    qint64 m_done = 0;
    bool m_terminal;
    QElapsedTimer m_clock;
    QTimer m_timer;
};
