#pragma once
#include "app/Settings.h"
#include "run/Source.h"

#include <QList>
#include <QString>

class SourceFeed;

// Where a list resumes: its kept position, or entry 1 (and why) when the list changed since.
struct ResumeStart {
    qint64 entry = 1;
    QString startsOver;
};

// The resume positions of the lists, kept in the settings: one per source (and the shared
// WordNumber), or the settings tamarind-cli names instead. Beside a position goes the fingerprint
// of the list it belongs to, so that a list changed since is read from its start.
class ResumeStore
{
public:
    // The setting that keeps a source's next entry; none for sources without one.
    static const Settings::Value<qint64> *settingFor(Source source);
    // The saved resume position of a source (1 when none was saved).
    static qint64 savedPosition(Source source);
    // Where the list read by `feed` resumes from the position kept in `setting`.
    static ResumeStart resumeStart(const Settings::Value<qint64> &setting, SourceFeed &feed);

    // Where the positions are kept instead of the source's own keys (tamarind-cli).
    void setCustom(const QList<Settings::Value<qint64>> &settings) { m_custom = settings; }
    // A run of `source` over the list at `path` with `fingerprint` begins; nothing is saved yet.
    void begin(Source source, const QString &path, const QString &fingerprint);
    // Where a Custom List of this file resumes (its own position, or 1 when it changed since).
    static ResumeStart customListStart(SourceFeed &feed);
    // Keeps `position` as where the run resumes.
    void save(qint64 position);
    // The position saved last in this run; -1 before the first.
    qint64 saved() const { return m_saved; }

private:
    QList<Settings::Value<qint64>> m_custom;
    Source m_source = Source::None;
    QString m_path;
    QString m_fingerprint;
    qint64 m_saved = -1;
};
