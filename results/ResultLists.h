#pragma once
#include "results/ResultFiles.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <array>

// The five result lists, numbered as the main window numbers them.
enum class ResultList {
    Low = 1,
    Registered = 2,
    High = 3,
    Mid = 4,
    Saved = 5
};

// The result lists with their counters and captions, the list cap, the names a run left unchecked,
// and the Saved list. Every change reaches the files through ResultFiles. Windows show what this
// object holds and follow its signals.
class ResultLists : public QObject
{
    Q_OBJECT

public:
    static constexpr int Cap = 20000;             // a profile list this long is saved and emptied
    static constexpr int RegisteredLimit = 100;   // the Registered list is emptied above this

    explicit ResultLists(QObject *parent = nullptr);

    const QStringList &items(ResultList list) const { return m_items[index(list)]; }
    QString caption(ResultList list) const { return m_captions[index(list)]; }
    int counter(ResultList list) const { return m_counters[index(list)]; }
    QString runStamp() const { return m_runStamp; }
    // Where the profile file of a list is written under the current stamp.
    QString profilePath(ResultList list) const;
    QString uncheckedPath() const;
    int uncheckedCount() const { return m_uncheckedCount; }
    QString droppingPath() const;
    int droppingCount() const { return m_droppingCount; }
    // The dropping names found since the program started: name, state and release each.
    struct Dropping {
        QString name;
        QString state;
        QString release;
    };
    const QList<Dropping> &dropping() const { return m_dropping; }
    ResultFiles &files() { return m_files; }

    // Classification of a verdict. Names that are exactly ".com" or ".net" are ignored. A free name
    // is listed only once its profile file holds it: false, and nothing listed, when it cannot be
    // written.
    bool AddUnregistered(const QString &name);
    // Whether the profile list of a free name holds it already.
    bool holdsFree(const QString &name);
    // The profile list a free name goes to, by the length of its first label as written.
    static ResultList profileOf(const QString &name);
    void AddRegistered(const QString &name);
    // A name that had no verdict after every attempt: counted for the run and written down; false
    // when it cannot be written.
    bool addUnchecked(const QString &name);
    // A registered name on its way out, with its state ("pendingDelete") and estimated release
    // ("2026-12-20" or "unknown"): written to the dropping file; false when it cannot be.
    // A name already in the file is not written again. `why`: why its release is unknown, if it is.
    bool addDropping(const QString &name, const QString &state, const QString &release, const QString &why = {});
    // Brings the three profile files up to their lists, the file of the list that changed last;
    // false when a file could not be written.
    bool WriteProfileFiles(ResultList changed);
    // The cap sequence: when a profile list holds Cap items or more, the lists are saved to the
    // overflow folder, emptied and a new stamp begins. True when it happened.
    bool applyCap();
    // Whether a profile list has reached the cap.
    bool atCap() const;
    bool SaveOverflow();
    void ResetResults();
    void NewRunStamp();

    // Start of a run: the counters (the unchecked one too) restart, the lists stay, and the captions say so.
    void resetCounters();
    // One counter starts again (the harvest window's Clear of its registered list).
    void resetCounter(ResultList list) { m_counters[index(list)] = 0; }
    // Empties a list. A Clear button also restarts its counter and plain caption; the Edit menu
    // leaves both as they were.
    void clear(ResultList list, bool resetCounterAndCaption);
    // The list as text, every entry followed by CR LF.
    QString copyText(ResultList list) const { return copyText(items(list)); }
    static QString copyText(const QStringList &names);

    // Saved Domains.
    void LoadRememberedList();
    bool SaveRememberedList();
    // A drop onto the Saved list: "|"-separated positions in the list named by the drag-source
    // marker (1, 3 or 4). The names at valid positions that the Saved list does not hold yet are
    // appended to it, once each, and it is saved. Returns how many names were appended.
    int dropPositions(const QString &positions, int dragSourceMarker);
    // Appends the names the Saved list does not hold yet, once each, and saves it. Returns how many
    // names were appended.
    int addSaved(const QStringList &names);
    // Takes the names out of the Saved list and saves it. Returns whether it could be saved.
    bool removeSaved(const QStringList &names);

signals:
    void itemsAdded(ResultList list, const QStringList &names);
    void listCleared(ResultList list);
    void captionChanged(ResultList list, const QString &caption);
    void capReached();
    void uncheckedAdded(const QString &name, int total);
    void droppingAdded(const QString &name, const QString &state, const QString &release, const QString &why);
    // A file could not be written; told once per file and run.
    void fileProblem(const QString &message);
    // A cleared list's file went to the backups folder before the list's next write.
    void clearedFileKept(const QString &message);

private:
    static int index(ResultList list) { return int(list); }
    void addTo(ResultList list, const QString &name);
    void emptyList(ResultList list);
    void setCaption(ResultList list, const QString &text);
    void showCount(ResultList list, int coming);

    std::array<QStringList, 6> m_items;
    std::array<QSet<QString>, 6> m_listed;   // the names of each profile list, so that none is added twice
    std::array<QString, 6> m_captions;
    std::array<int, 6> m_counters {};
    ResultFiles m_files;
    QString m_runStamp;
    QSet<QString> m_usedStamps;
    int m_uncheckedCount = 0;
    int m_droppingCount = 0;
    QList<Dropping> m_dropping;
    QSet<QString> m_droppingNames;   // in the Dropping file of the current stamp
};

// The plain caption of a list ("High Profile", ...).
QString plainCaption(ResultList list);
