#pragma once
#include "engine/DnsStage.h"
#include "engine/LookupBackends.h"
#include "engine/LookupPool.h"
#include "engine/RegistryStage.h"
#include "results/ResultLists.h"
#include "run/RunAccount.h"
#include "run/RunControl.h"

#include <QLockFile>
#include <QObject>
#include <QSet>
#include <memory>

// The checking engine of one program: the result lists, the lookup pool and the run control, wired
// together. The main window, tamarind-cli and the tests build their engine from this alone.
// Classification happens before the verdict is passed on, so whoever shows or prints a verdict can
// rely on its name being in its file already.
class CheckSession : public QObject
{
    Q_OBJECT

public:
    explicit CheckSession(QObject *parent = nullptr);
    ~CheckSession() override;

    ResultLists &results() { return m_results; }
    // The pool of .com and .net names; other endings have pools of their own in the registry stage.
    LookupPool &pool() { return m_pool; }
    RegistryStage &registry() { return m_registry; }
    DnsStage &dns() { return m_dns; }
    RunControl &run() { return m_run; }
    // The source of the next run.
    SourceChoice &choice() { return m_choice; }
    const SourceChoice &choice() const { return m_choice; }

    // The WHOIS server; at first the configured one. An invalid server is refused at Start.
    void setServer(const Whois::Server &server, const QString &error = {});
    const Whois::Server &server() const { return m_directory.server; }
    // The service a run asks, and the RDAP services; at first the configured ones.
    void setProtocol(Rdap::Protocol protocol, const QString &error = {});
    void setRdapBases(const Rdap::Bases &bases, const QString &error = {});
    void setService(const ServiceDirectory &service);
    // The WHOIS servers of endings other than .com and .net, and how their replies read; a rules
    // file that could not be used is told at the end of a run.
    void setWhoisServers(const Whois::ServerTable &servers, std::shared_ptr<const WhoisRuleBook> rules,
        const QString &rulesProblem = {});
    const ServiceDirectory &service() const { return m_directory; }
    // The endings of these no known service answers: names under them are skipped.
    QStringList unservedEndings(const QStringList &endings) const { return m_directory.unservedEndings(endings); }
    // Whether a run asks DNS first, and which resolvers ("HOST[:PORT]", comma-separated; empty: the
    // system's). Returns why the resolvers cannot be used, or empty; a run with DNS first then refuses.
    QString setDns(bool first, const QString &servers);
    // What a WHOIS server may answer for a registered name, beside a record of it.
    void setRegisteredMarker(const QByteArray &marker) { m_backends.whois().setRegisteredMarker(marker); }
    // The longest WHOIS reply kept so far, in bytes.
    qsizetype peakReplyBytes() const { return m_backends.whois().peakReplyBytes(); }
    SourceSelection selectSource(Source source, const QString &customFile = {})
    {
        return m_choice.select(source, customFile);
    }
    // Starts a run at entry `first` of a list of `entries`. Returns why it cannot start, or empty.
    // One run per program folder at a time: another program's run there refuses this one.
    QString start(qint64 first, qint64 entries);
    void stop() { m_run.stop(); }
    // Stops the run of that number if it is still going on; a later run goes on.
    void stopRun(quint64 runNumber)
    {
        if (m_run.isRunning() && m_run.runNumber() == runNumber)
            m_run.stop();
    }
    // Another user of the program folder's result files (the harvest window's checks) holds it as
    // a run does, so that no other program runs there meanwhile. Returns why it cannot, or empty.
    QString holdFolder(const QObject *holder);
    void releaseFolder(const QObject *holder);
    bool isRunning() const { return m_run.isRunning(); }
    // What the last run did, as the status bar keeps it until the next: why it ended, its entries,
    // the free names by profile, the registered, unchecked and skipped ones, the evidence of its
    // services, and where it resumes.
    QString summaryText() const;
    // The evidence of the last run, a line each: every registry service asked, with its counts and
    // its controls, and whether DNS was used and tested.
    QStringList evidenceLines() const;
    // What came of every entry of the run going on, or of the last one.
    RunAccount account() const;

signals:
    // After the name has been classified and its file written; the name as it was asked (its IDNA
    // form), where the lists hold it as its reader writes it.
    // With a registered verdict, `state` is what DNS or the registry's record said beyond it.
    void verdict(const QString &name, bool unregistered, qint64 entry, const NameState &state);
    void unchecked(const QString &name, int total);
    // The name of that entry is listed as unchecked, for the reason given.
    void leftUnchecked(const QString &name, qint64 entry, const QString &why);
    // The registry keeps the name (reserved, blocked), for the reason given: it is listed as unchecked.
    void reserved(const QString &name, const QString &why);
    // The run was stopped because the server refuses; the text says why.
    void serverRefused(const QString &message);
    // The run was stopped because it cannot go on without losing or mixing names: a result could
    // not be saved, or the list changed. The text says why and where the run resumes.
    void runFailed(const QString &message);

private:
    QString lockFolder();
    void onVerdict(const QString &asked, bool unregistered, qint64 entry, const NameState &state);
    void onUnchecked(const QString &asked, qint64 entry, const QString &why);
    void stopUnsaved();
    void applyServed();

    ResultLists m_results;
    RunAccount m_account;   // the names' outcomes; the entries and skipped lines are the run's
    LookupBackends m_backends {LookupPool::Slots};
    ServiceDirectory m_directory {{}, Rdap::Protocol::Whois, {}};
    LookupPool m_pool;
    RegistryStage m_registry {m_pool};
    DnsStage m_dns;
    RunControl m_run {m_dns, m_registry};
    SourceChoice m_choice;
    std::unique_ptr<QLockFile> m_lock;
    QSet<const QObject *> m_holders;   // while any holds the folder, the lock stays
    QString m_serverError;
    QString m_protocolError;
    QString m_basesError;
    QString m_dnsError;
    QString m_rulesProblem;
};
