#include "tools/testservices/Behaviours.h"

#include <QFile>

RateLimit::RateLimit(int perSecond)
    : m_perSecond(perSecond)
{
    m_clock.start();
}

bool RateLimit::exceeded()
{
    if (m_perSecond <= 0)
        return false;
    const qint64 now = m_clock.elapsed();
    while (!m_answered.isEmpty() && m_answered.head() <= now - 1000)
        m_answered.dequeue();
    if (m_answered.size() >= m_perSecond)
        return true;
    m_answered.enqueue(now);
    return false;
}

ReplyHold::ReplyHold(const QString &file, quint64 after)
    : m_file(file)
    , m_after(after)
{
    connect(&m_timer, &QTimer::timeout, this, &ReplyHold::release);
}

bool ReplyHold::holds(quint64 number) const
{
    return !m_file.isEmpty() && number > m_after && QFile::exists(m_file);
}

void ReplyHold::hold(const std::function<void()> &reply)
{
    m_held.append(reply);
    if (!m_timer.isActive())
        m_timer.start(20);
}

void ReplyHold::release()
{
    if (QFile::exists(m_file))
        return;
    m_timer.stop();
    const QList<std::function<void()>> held = std::exchange(m_held, {});
    for (const std::function<void()> &reply : held)
        reply();
}
