#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QQueue>
#include <QTimer>
#include <functional>

// A throttle: at most `perSecond` answers in any second (none set: no limit). An answer allowed is
// counted.
class RateLimit
{
public:
    explicit RateLimit(int perSecond);
    bool exceeded();

private:
    int m_perSecond;
    QElapsedTimer m_clock;
    QQueue<qint64> m_answered;   // when each answer of the last second went
};

// Replies that wait while a file exists, once `after` queries have been answered: a test holds a run
// at a known place, whatever the machine's speed, until it has done what it must.
class ReplyHold : public QObject
{
public:
    ReplyHold(const QString &file, quint64 after);
    // Whether the reply to the number-th query waits.
    bool holds(quint64 number) const;
    void hold(const std::function<void()> &reply);

private:
    void release();

    QString m_file;
    quint64 m_after;
    QList<std::function<void()>> m_held;
    QTimer m_timer;
};
