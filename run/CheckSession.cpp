#include "run/CheckSession.h"

#include "app/ProgramFiles.h"
#include "app/ProgramFolder.h"
#include "app/Settings.h"

#include <QDir>
#include <QLocale>

CheckSession::CheckSession(QObject *parent)
    : QObject(parent)
{
    QString error;
    const Whois::Server server = Whois::configuredServer(&error);
    setServer(server, error);
    QString protocolError;
    setProtocol(Rdap::configuredProtocol(&protocolError), protocolError);
    QString basesError;
    setRdapBases(Rdap::configuredBases(&basesError), basesError);
    QString rulesProblem;
    std::shared_ptr<const WhoisRuleBook> rules = loadWhoisRules(&rulesProblem);
    setWhoisServers(Whois::configuredServerTable(), std::move(rules), rulesProblem);
    setDns(Settings::DnsFirst.get(), Settings::DnsServer.get());
    m_run.setEndings(Settings::endingsList());
    connect(&m_registry, &RegistryStage::verdict, this, &CheckSession::onVerdict);
    connect(&m_dns, &DnsStage::delegated, this, [this](const QString &name, qint64 entry) {
        m_registry.noteDelegated(name);   // a name its registry must know: a control for it
        NameState byDns;
        byDns.by = NameState::By::Dns;
        onVerdict(name, false, entry, byDns);
    });
    m_registry.setControlsMayCome([this] { return m_dns.mayFindMore(); });
    connect(&m_registry, &RegistryStage::untrusted, this, [this](const QString &name, qint64 entry) {
        onUnchecked(name, entry,
            QStringLiteral("its registry answered a name DNS found delegated as free, so its free "
                           "answers are not trusted"));
    });
    connect(&m_registry, &RegistryStage::unchecked, this, [this](const QString &name, qint64 entry) {
        onUnchecked(name, entry, QStringLiteral("the registry gave no verdict"));
    });
    connect(&m_dns, &DnsStage::withoutEvidence, this, [this](const QString &name, qint64 entry) {
        onUnchecked(name, entry, QStringLiteral("DNS gave no answer, and this ending's registry is not trusted alone"));
    });
    // A name the registry reserves has no verdict: it is listed with the unchecked names.
    connect(&m_registry, &RegistryStage::reserved, this, [this](const QString &name, qint64 entry, const QString &why) {
        emit reserved(name, why);
        onUnchecked(name, entry, why);
    });
    connect(&m_results, &ResultLists::uncheckedAdded, this, &CheckSession::unchecked);
    connect(&m_pool, &LookupPool::serverRefuses, this, [this](const QString &message) {
        m_run.stop(RunEnd::Refused);
        emit serverRefused(message);
    });
    connect(&m_run, &RunControl::failed, this, &CheckSession::runFailed);
    connect(&m_run, &RunControl::stopped, this, [this] { releaseFolder(&m_run); });
}

CheckSession::~CheckSession() = default;

namespace {

// The account's place of a free name's profile: high, mid, low.
size_t freeIndex(ResultList profile)
{
    return profile == ResultList::High ? 0 : profile == ResultList::Mid ? 1 : 2;
}

}   // namespace

// The lists and files hold a name as its reader writes it (日本語.com, not xn--wgv71a119e.com), and
// it is classified by that length.
void CheckSession::onVerdict(const QString &asked, bool unregistered, qint64 entry, const NameState &state)
{
    const QString name = Names::unicodeForm(asked);
    if (!unregistered) {
        m_results.AddRegistered(name);
        if (state.isDropping()
            && !m_results.addDropping(name, state.phaseText(), state.releaseText(), state.releaseWhy))
            return stopUnsaved();
        ++m_account.registered;
        m_account.dropping += state.isDropping() ? 1 : 0;
    } else {
        const bool listed = m_results.holdsFree(name);
        if (!m_results.AddUnregistered(name))
            return stopUnsaved();
        if (listed)
            ++m_account.freeListed;
        else
            ++m_account.freeNew[freeIndex(ResultLists::profileOf(name))];
    }
    m_run.nameSaved(entry);
    // A cap whose lists cannot be saved would let them grow without bound.
    if (m_results.atCap() && !m_results.applyCap()) {
        emit verdict(asked, unregistered, entry, state);
        return stopUnsaved();
    }
    emit verdict(asked, unregistered, entry, state);
}

void CheckSession::onUnchecked(const QString &asked, qint64 entry, const QString &why)
{
    if (!m_results.addUnchecked(asked))
        return stopUnsaved();
    ++m_account.unchecked;
    m_run.nameSaved(entry);
    emit leftUnchecked(asked, entry, why);
}

void CheckSession::setServer(const Whois::Server &server, const QString &error)
{
    m_directory.server = server;
    m_serverError = error;
    m_backends.setServer(server);
    m_registry.setDirectory(m_directory);   // it names the service at the end of a run
}

void CheckSession::setProtocol(Rdap::Protocol protocol, const QString &error)
{
    m_protocolError = error;
    m_directory.protocol = protocol;
    m_pool.setBackend(&m_backends.forProtocol(protocol));
    m_registry.setDirectory(m_directory);
}

void CheckSession::setService(const ServiceDirectory &service)
{
    setServer(service.server);
    setProtocol(service.protocol);
    setRdapBases(service.bases);
    setWhoisServers(service.whoisServers, service.rules, m_rulesProblem);
}

void CheckSession::setWhoisServers(
    const Whois::ServerTable &servers, std::shared_ptr<const WhoisRuleBook> rules, const QString &rulesProblem)
{
    m_directory.whoisServers = servers;
    if (rules)
        m_directory.rules = std::move(rules);
    m_rulesProblem = rulesProblem;
    m_registry.setDirectory(m_directory);
    applyServed();
}

// Names under an ending no service answers are skipped; the files that could not be read say why.
void CheckSession::applyServed()
{
    QStringList problems = m_directory.bases.knownProblems + m_directory.whoisServers.knownProblems;
    if (!m_rulesProblem.isEmpty())
        problems << m_rulesProblem;
    m_run.setServed([this](const QString &name) { return m_directory.serves(name); }, problems);
}

void CheckSession::setRdapBases(const Rdap::Bases &bases, const QString &error)
{
    m_basesError = error;
    m_directory.bases = bases;
    m_backends.setBases(bases);
    m_registry.setDirectory(m_directory);
    applyServed();
}

QString CheckSession::setDns(bool first, const QString &servers)
{
    m_dns.setEnabled(first);
    m_dnsError = m_dns.setServers(servers);
    return m_dnsError;
}

QString CheckSession::start(qint64 first, qint64 entries)
{
    if (m_run.isRunning())
        return QStringLiteral("A run is already going on.");
    if (m_dns.isEnabled() && !m_dnsError.isEmpty())
        return m_dnsError + '.';
    if (!m_protocolError.isEmpty())
        return m_protocolError + '.';
    const Rdap::Protocol protocol = m_directory.protocol;
    const Whois::Server &server = m_directory.server;
    const bool rdap = protocol != Rdap::Protocol::Whois;
    if (rdap && !m_basesError.isEmpty())
        return m_basesError + '.';
    const bool whois = protocol != Rdap::Protocol::Rdap;
    if (whois && !server.isValid())
        return m_serverError.isEmpty() ? QStringLiteral("No WHOIS server is set.") : m_serverError + '.';
    // Names under .invalid never exist: no need to ask a resolver, on the network, to find that out.
    if (protocol == Rdap::Protocol::Whois
        && (server.host.endsWith(QLatin1String(".invalid"), Qt::CaseInsensitive)
            || server.host.compare(QLatin1String("invalid"), Qt::CaseInsensitive) == 0))
        return QStringLiteral("The WHOIS server %1 cannot be reached: Host not found.").arg(server.text());
    if (const QString problem = Names::endingsProblem(m_run.endings()); !problem.isEmpty())
        return QStringLiteral("The endings cannot be asked: %1.").arg(problem);
    if (const QString refused = holdFolder(&m_run); !refused.isEmpty())
        return refused;
    m_results.resetCounters();
    m_account = {};
    const QString error = m_run.start(m_choice, first, entries);
    if (!error.isEmpty())
        releaseFolder(&m_run);
    return error;
}

QString CheckSession::holdFolder(const QObject *holder)
{
    if (!m_lock) {
        if (const QString refused = lockFolder(); !refused.isEmpty())
            return refused;
    }
    m_holders.insert(holder);
    return {};
}

void CheckSession::releaseFolder(const QObject *holder)
{
    m_holders.remove(holder);
    if (m_holders.isEmpty())
        m_lock.reset();
}

// Two runs on one folder would overwrite each other's result files.
QString CheckSession::lockFolder()
{
    auto lock = std::make_unique<QLockFile>(ProgramFiles::path(ProgramFiles::File::RunLock));
    lock->setStaleLockTime(0);   // a lock stays as long as its program lives; a crash frees it
    if (lock->tryLock(0)) {
        m_lock = std::move(lock);
        return {};
    }
    qint64 pid = 0;
    QString host, application;
    if (lock->error() == QLockFile::LockFailedError && lock->getLockInfo(&pid, &host, &application))
        return QStringLiteral("Another run is going on in the folder %1: %2 (process %3) holds it. "
                              "Wait for it to end, or use another folder.")
            .arg(QDir::toNativeSeparators(ProgramFolder::path()),
                application.isEmpty() ? QStringLiteral("a program") : application, QString::number(pid));
    return QStringLiteral("The folder %1 cannot be locked for a run: it cannot be written.")
        .arg(QDir::toNativeSeparators(ProgramFolder::path()));
}

// A result that cannot be saved stops the run at once. The name's entry stays open, so its verdict
// is not given, and a resumed run asks it again once there is room.
void CheckSession::stopUnsaved()
{
    if (!m_run.isRunning())
        return;
    m_run.stop(RunEnd::Unsaved);
    emit runFailed(QStringLiteral("The run stopped at entry %1 so that no result is lost; it goes on from there "
                                  "once the file can be written.")
                       .arg(m_run.resumeSaved()));
}

QString CheckSession::summaryText() const
{
    const QLocale english(QLocale::English);
    const auto number = [&english](qint64 value) { return english.toString(value); };
    const QString source = RunControl::sourceName(m_run.runSource());
    QString ended;
    switch (m_run.lastEnd()) {
    case RunEnd::Finished: ended = QStringLiteral("%1 finished").arg(source); break;
    case RunEnd::Stopped: ended = QStringLiteral("%1 stopped").arg(source); break;
    case RunEnd::Refused: ended = QStringLiteral("%1 stopped: the registry refused").arg(source); break;
    case RunEnd::Unsaved: ended = QStringLiteral("%1 stopped: a result could not be saved").arg(source); break;
    case RunEnd::ListChanged: ended = QStringLiteral("%1 stopped: its list changed").arg(source); break;
    }
    const qint64 entries = m_run.lastEntry();
    const qint64 done = std::clamp<qint64>(m_run.resumeSaved() - 1, 0, std::max<qint64>(entries, 0));
    // Where the run stands comes first: a narrow window shows the beginning.
    QString text = QStringLiteral("%1 at entry %2 of %3").arg(ended, number(done), number(entries));
    if (m_run.lastEnd() != RunEnd::Finished)
        text += QStringLiteral("; it resumes at entry %1").arg(number(m_run.resumeSaved()));
    text += QStringLiteral(". ") + account().text() + QStringLiteral(". ");
    return text + evidenceLines().join(QLatin1Char(' '));
}

RunAccount CheckSession::account() const
{
    RunAccount account = m_account;
    account.skipped = m_run.skippedLines();
    account.blank = m_run.skipped(Names::Skip::Blank);
    account.entries = m_run.entriesDone();
    return account;
}

QStringList CheckSession::evidenceLines() const
{
    QStringList lines;
    bool byRules = false;   // a WHOIS server of another ending was asked: its replies were read by rules
    for (const RegistryStage::Evidence &service : m_registry.evidence()) {
        lines << QStringLiteral("Registry ") + service.text();
        byRules = byRules || service.byRules;
    }
    if (byRules) {
        const QString &path = m_directory.rules->path;
        lines << QStringLiteral("WHOIS replies read by the rules of %1%2.")
                     .arg(QDir::toNativeSeparators(path.isEmpty() ? WhoisRulesFileName : path),
                         m_rulesProblem.isEmpty() ? QString()
                                                  : QStringLiteral(" (") + m_rulesProblem + QLatin1Char(')'));
    }
    if (!m_directory.whoisServers.knownProblems.isEmpty())
        lines << QStringLiteral("WHOIS servers: %1.")
                     .arg(m_directory.whoisServers.knownProblems.join(QStringLiteral("; ")));
    lines << m_dns.evidenceText() + QLatin1Char('.');
    return lines;
}
