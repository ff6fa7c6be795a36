#pragma once
#include "app/ProgramFiles.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <array>

// The files a run writes: the three profile files, kept equal to their lists after every write;
// the unchecked file; the overflow files at the list cap; and the stamp markers in backups. A file
// left by an earlier session is moved to backups before the first write would replace it.
class ResultFiles : public QObject
{
    Q_OBJECT

public:
    using Kind = ProgramFiles::ResultFile;
    static constexpr int ProfileCount = 3;
    // At most one repeated overflow warning in this time.
    static constexpr qint64 DefaultWarningIntervalMs = 60 * 1000;

    explicit ResultFiles(QObject *parent = nullptr);

    // A new run: problems are told afresh and the write-failure flag is cleared.
    void beginRun();
    // Brings a profile file (LowProfile, HighProfile or SuperHighProfile) up to its list. While
    // the list only grows the new names are appended; after a clear, a new stamp, a failed write,
    // or a change made by someone else, it is rewritten whole.
    bool writeProfile(Kind file, const QStringList &items, const QString &stamp);
    // The list of a profile file was emptied: its next write is a rewrite, and the file as it
    // stood goes to the backups folder first, so that a Clear loses no saved name.
    void listCleared(Kind file);
    bool appendUnchecked(const QString &name, const QString &stamp);
    // One line of the dropping file: NAME<TAB>STATE<TAB>RELEASE.
    bool appendDropping(const QString &line, const QString &stamp);
    // Saves the three lists (Low, Mid, High) into the overflow folder. A failure is told at the
    // first cap and again at later ones, at most once per warning interval.
    bool SaveOverflow(const std::array<const QStringList *, ProfileCount> &lists, const QString &stamp);
    // Marks a new stamp in the backups folder.
    void markNewStamp(const QString &stamp);
    // Rewrites any list file whole (the Saved list).
    bool rewrite(const QString &path, const QStringList &items);

    // True when some result could not be written since the run began.
    bool writeFailed() const { return m_writeFailed; }
    void setWarningInterval(qint64 milliseconds) { m_warningIntervalMs = milliseconds; }

    static Kind profileKind(int index);   // 0 Low, 1 Mid, 2 High

signals:
    // A file could not be written; told once per file and run.
    void problem(const QString &message);
    // A cleared list's file was kept in the backups folder; the text says where.
    void keptAside(const QString &message);

private:
    struct Written {
        QString path;
        qsizetype items = 0;
        qint64 bytes = 0;
        bool needsRewrite = true;
        bool cleared = false;   // its list was emptied since the last write
    };

    bool prepare(const QString &path);
    bool appendLine(Kind kind, const QString &line, const QString &stamp);
    bool moveEarlierFileAside(const QString &path);
    bool moveClearedFileAside(const QString &path);
    QString moveToBackups(const QString &path);
    void report(const QString &path, const QString &reason, bool repeat = false);

    std::array<Written, ProfileCount> m_profiles;
    QSet<QString> m_ownFiles;        // files this program session has written
    QSet<QString> m_reportedFiles;   // files already reported in this run
    QElapsedTimer m_lastOverflowWarning;
    qint64 m_warningIntervalMs = DefaultWarningIntervalMs;
    bool m_writeFailed = false;
};
