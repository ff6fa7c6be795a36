#pragma once
#include "tools/testservices/Behaviours.h"
#include "tools/testservices/NameRules.h"
#include "tools/testservices/Options.h"

#include <QFile>
#include <QObject>
#include <QTimer>
#include <optional>

// What the fake registry's WHOIS and RDAP share, as a registry's two services over one database do:
// the rule of names, one count of queries, one limit, one hold, one log and the captured answers.
class Registry : public QObject
{
public:
    Registry(Options options, const QString &logPath);

    const Options &options() const { return m_options; }
    const NameRules &rules() const { return m_rules; }
    // What the registry says: the rule of free names, unless it has gone wrong (--free-after).
    bool answersFree(const QByteArray &name) const;

    void logQuery(const QByteArray &query);
    // Beyond the limit of answered queries in the last second; an answered one is counted.
    bool overLimit() { return m_options.refuseAll || m_limit.exceeded(); }
    quint64 countRefusal() { return ++m_refusals; }
    // An answered query: its number, from 1.
    quint64 countQuery() { return ++m_queries; }
    // How long the reply to the number-th query waits: the latency, or a slow query's.
    int delayOf(quint64 number) const;
    ReplyHold &hold() { return m_hold; }

    // The captured answer in the replay folder at `path`, if there is one.
    std::optional<QByteArray> replayed(const QByteArray &path) const;

    // Writes the queries answered and those refused over the limit to the file, a few times a
    // second, so that a benchmark reads the server's own count whenever it stops.
    void writeStats(const QString &path);

private:
    void saveStats();

    Options m_options;
    NameRules m_rules {m_options};
    QFile m_log;
    quint64 m_queries = 0;
    quint64 m_refusals = 0;   // refused over the limit
    RateLimit m_limit {m_options.limitPerSecond};
    ReplyHold m_hold {m_options.holdFile, m_options.holdAfter};
    QString m_statsPath;
    QTimer m_statsTimer;
};
