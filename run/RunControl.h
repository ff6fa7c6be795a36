#pragma once
#include "engine/LookupName.h"
#include "run/EntryLedger.h"
#include "run/ResumeStore.h"
#include "run/RunLines.h"
#include "run/SourceChoice.h"

#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class DnsStage;
class RegistryStage;
struct Lookup;

// Why a run ended.
enum class RunEnd {
    Finished,      // every entry has its outcome
    Stopped,       // the user stopped it, or another list took its place
    Refused,       // the registry refuses, or cannot be reached
    Unsaved,       // a result could not be saved
    ListChanged,   // its list changed under it
};

// A run: the source and its file, the entry numbers, the names handed to DNS and the registries,
// Start and Stop. The position saved during a run is the ledger's earliest open entry, so a run
// killed at any moment and started again skips no name.
class RunControl : public QObject
{
    Q_OBJECT

public:
    // Names go through DNS first, and the registries are asked about the rest.
    RunControl(DnsStage &dns, RegistryStage &registry, QObject *parent = nullptr);

    static QString sourceName(Source source);
    // The start number shown for a typed one: a number at or past the last entry starts over at 1.
    static qint64 startNumberFor(qint64 typed, qint64 entries);

    // The source of the run and its file: a run goes on over the ones chosen when it started.
    Source runSource() const { return m_runSource; }
    QString runFile() const { return m_lines.list().path(); }
    // Where the resume position is kept instead of the source's own keys (tamarind-cli).
    void setResumeSettings(const QList<Settings::Value<qint64>> &settings) { m_resume.setCustom(settings); }

    // Starts a run of the chosen source at entry `first` of a list of `entries` (what the status
    // shows). Returns why it cannot start, or empty when the run has started.
    QString start(const SourceChoice &choice, qint64 first, qint64 entries);
    void stop(RunEnd why = RunEnd::Stopped);
    // Why the last run ended.
    RunEnd lastEnd() const { return m_lastEnd; }
    // The lines and names of this run skipped for any reason but a blank line.
    qint64 skippedLines() const;
    // The entries of this run that are done: every name of theirs has its outcome saved, or they had none.
    qint64 entriesDone() const { return m_ledger.done(); }

    bool isRunning() const { return m_running; }
    // Which run of this program's life is going on, or went on last: a question asked about one
    // run acts on that run only.
    quint64 runNumber() const { return m_runNumber; }
    // The entries of the run: the first asked and the last of the list.
    qint64 firstEntry() const { return m_first; }
    qint64 lastEntry() const { return m_wordMax; }
    // The entry a run would resume from: the earliest open one, or the next unread one.
    qint64 resumePosition() const;
    // The position saved last.
    qint64 resumeSaved() const { return m_resume.saved(); }
    // The outcome of a name of `entry` is saved: the entry may close, and the resume position follows.
    void nameSaved(qint64 entry);
    // The lines of this run skipped for a reason.
    qint64 skipped(Names::Skip reason) const { return m_lines.tally().skipped(reason); }
    // What the run skipped of its list (lines too long to be names, lines that are no registrable
    // name), as sentences, and the file that names each line; empty when it skipped nothing.
    QString skippedText();
    // Whether a name's ending has a service that can be asked; names without one are skipped and
    // counted by ending.
    // `problems` say why some services are not known, for the end-of-run message.
    void setServed(LineTally::Served served, const QStringList &problems = {})
    {
        m_lines.tally().setServed(std::move(served));
        m_servicesProblems = problems;
    }
    // The endings a bare word of a list is asked under, in order ("com" unless set).
    void setEndings(const QStringList &endings);
    const QStringList &endings() const { return m_endings; }
    // The text of the "Open Connections" panel: the registry's lookups, and what DNS settled.
    QString openConnectionsText() const;

signals:
    void entryStatus(const QString &text);
    void openConnections(const QString &text);
    void started();
    void stopped();
    // The run cannot go on (its list changed under it); it stops, and the text says why.
    void failed(const QString &message);
    // A line of the list, or one name of it, is not asked; `why` says so, as the skip report does.
    void lineSkipped(qint64 entry, const QString &line, const QString &why);

private:
    std::optional<Lookup> nextName();
    void listChanged();

    DnsStage &m_dns;
    QElapsedTimer m_dnsShown;   // when the panel last showed what DNS settled
    RegistryStage &m_registry;
    RunLines m_lines;   // the list of the run, and what its lines came to
    Source m_runSource = Source::None;
    qint64 m_first = 0;
    qint64 m_wordMax = 0;
    QStringList m_servicesProblems;
    QStringList m_endings {QStringLiteral("com")};
    QList<Lookup> m_pending;   // the other names of the entry read last, not handed on yet
    EntryLedger m_ledger;
    ResumeStore m_resume;
    bool m_running = false;
    quint64 m_runNumber = 0;
    RunEnd m_lastEnd = RunEnd::Stopped;
};
