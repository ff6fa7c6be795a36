#include "tools/testservices/Registry.h"

#include <QSaveFile>
#include <cstdio>

Registry::Registry(Options options, const QString &logPath)
    : m_options(std::move(options))
{
    if (!logPath.isEmpty()) {
        m_log.setFileName(logPath);
        if (!m_log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            std::fprintf(stderr, "whois-test-server: cannot write %s\n", qPrintable(logPath));
    }
}

bool Registry::answersFree(const QByteArray &name) const
{
    return m_rules.isFree(name) || (m_options.freeAfter > 0 && m_queries > m_options.freeAfter);
}

void Registry::logQuery(const QByteArray &query)
{
    if (m_log.isOpen())
        m_log.write(query + '\n');
}

int Registry::delayOf(quint64 number) const
{
    if (m_options.slowEvery > 0 && number % quint64(m_options.slowEvery) == 0)
        return m_options.slowMs;
    return m_options.latencyMs;
}

std::optional<QByteArray> Registry::replayed(const QByteArray &path) const
{
    if (m_options.replay.isEmpty() || path.contains("..") || path.contains('\\'))
        return std::nullopt;
    QFile file(m_options.replay + '/' + QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

void Registry::writeStats(const QString &path)
{
    m_statsPath = path;
    connect(&m_statsTimer, &QTimer::timeout, this, &Registry::saveStats);
    m_statsTimer.start(200);
    saveStats();
}

void Registry::saveStats()
{
    QSaveFile file(m_statsPath);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QByteArray("answered ") + QByteArray::number(m_queries) + "\nover-limit "
            + QByteArray::number(m_refusals) + '\n');
        file.commit();
    }
}
