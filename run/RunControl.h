#pragma once
#include "run/SourceFeed.h"

#include <QObject>
#include <QString>
#include <optional>

class ResultLists;
class WhoisPool;

// The name sources, in the order the source list shows them.
enum class Source {
    None = -1,
    BrowseForNames,
    GenerateNames,
    YahooSearch,
    GoogleSearch,
    FullWordList,
    AllTwoLetter,
    AllThreeLetter,
    AllFourLetter,
    CustomList,
};

// What choosing a source sets in the top band; an empty field stays as it is.
struct SourceSelection {
    enum class Group { WordList, Search, None };
    std::optional<qint64> wordMax;
    std::optional<QString> wordNum;
    Group group = Group::None;
};

// A run: the source and its file, the entry numbers, Start, the batches handed to the lookup pool,
// Stop, and the resume positions kept in the settings.
class RunControl : public QObject
{
    Q_OBJECT

public:
    RunControl(ResultLists &results, WhoisPool &pool, QObject *parent = nullptr);

    static QString SourceName(Source source);
    // The setting that keeps a source's next entry; empty for sources without one.
    static QString ResumeKey(Source source);
    // A start number as Start takes it: a plain decimal number.
    static bool IsEntryNumber(const QString &text);

    Source source() const { return m_source; }
    QString sourceFile() const { return m_feed.path(); }
    void setSourceFile(const QString &path) { m_feed.setPath(path); }
    // Choosing a source. For the custom list, customFile is the file the user picked (empty when
    // the choice was cancelled).
    SourceSelection SelectSource(Source source, const QString &customFile = {});

    qint64 CountSourceLines() { return m_feed.CountSourceLines(); }
    QString ReadSourceLine(qint64 n) { return m_feed.ReadSourceLine(n); }

    // Starts a run from the entry numbers as typed. Returns why it cannot start, or empty when the
    // run has started.
    QString Start(const QString &wordNum, const QString &wordMax);
    void StartBatch();
    void Stop();

    bool isRunning() const { return m_running; }
    qint32 wordNumber() const { return m_wordNumber; }
    void setWordNumber(qint32 value) { m_wordNumber = value; }
    // The saved resume position of a source (1 when none was saved).
    static QString SavedPosition(Source source);

signals:
    void entryStatus(const QString &text);
    void openConnections(const QString &text);
    void started();
    void stopped();

private:
    void onBatchEnded();
    void SaveResumePosition(qint64 next);

    ResultLists &m_results;
    WhoisPool &m_pool;
    SourceFeed m_feed;
    Source m_source = Source::None;
    qint32 m_wordNumber = 0;
    qint32 m_wordMax = 0;
    bool m_running = false;
    bool m_endOfSource = false;
};
