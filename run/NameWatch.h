#pragma once
#include <QDate>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <memory>

class QFile;

class CheckSession;
struct NameState;

// A watch over names: each check of them is compared with the last, and what changed is told once
// (registered -> dropping, dropping -> free, free -> registered, ...). The last state of every name
// is kept in the program folder, in NameStates.txt: NAME<TAB>STATE<TAB>DAY lines. Each state is
// also appended to NameStates.journal as it is recorded, before its change is told, so that a watch
// killed before it saves loses nothing and tells nothing twice: the next load folds the journal in.
class NameWatch : public QObject
{
    Q_OBJECT

public:
    struct Change {
        QString name;
        QString before;   // free, registered or dropping
        QString after;
        QString detail;   // for a dropping name: its phase and estimated release
        QString text() const;
    };

    explicit NameWatch(QObject *parent = nullptr);
    ~NameWatch() override;

    static QString path();
    // "free", "registered" or "dropping".
    static QString stateOf(bool unregistered, const NameState &state);

    // A states file larger than this is refused: a million names take under 40 MB.
    static constexpr qint64 MaxFileBytes = qint64(64) << 20;
    // Reads the states of the last checks; false (and why) when the file is there but unreadable,
    // is no regular file (a FIFO, a device, a link to one) or is larger than MaxFileBytes. A line
    // that is not a name, a known state and a date is dropped and counted, and the file is written
    // again without it.
    bool load(QString *error = nullptr);
    // The lines the last load dropped.
    int droppedLines() const { return m_droppedLines; }
    // Writes the states whole, and the journal is done with.
    bool save(QString *error = nullptr) const;
    static QString journalPath();
    // Follows the verdicts of the session's runs until stopped.
    void follow(CheckSession &session);
    void stopFollowing();
    // A name's state as checked today. A name seen for the first time is counted, not told.
    void record(const QString &name, const QString &state, const QString &detail = {});

    const QList<Change> &changes() const { return m_changes; }
    int firstSeen() const { return m_firstSeen; }
    // "2 names changed state since the last check; 3 names checked for the first time."
    QString countsText() const;
    // The counts, then a line for each change.
    QString summary() const;

signals:
    void changed(const NameWatch::Change &change);

private:
    struct Known {
        QString state;
        QDate day;
    };
    // Adds the states of a file, checked line by line; false, with why, when it cannot be read.
    bool readStates(const QString &statesPath, QString *why);
    QMap<QString, Known> m_known;
    QList<Change> m_changes;
    int m_firstSeen = 0;
    int m_droppedLines = 0;
    QMetaObject::Connection m_following;
    std::unique_ptr<QFile> m_journal;   // open while following
};
