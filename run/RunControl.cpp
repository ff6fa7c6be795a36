#include "run/RunControl.h"

#include "app/ProgramFiles.h"
#include "app/RunStamp.h"
#include "engine/DnsStage.h"
#include "engine/RegistryStage.h"
#include "run/ConnectionsPanel.h"

#include <QDir>

RunControl::RunControl(DnsStage &dns, RegistryStage &registry, QObject *parent)
    : QObject(parent)
    , m_dns(dns)
    , m_registry(registry)
{
    m_dns.setSource([this] { return nextName(); });
    m_registry.setFeed([this] { return m_dns.next(); }, [this] { return m_dns.isBehind(); });
    connect(&m_dns, &DnsStage::ready, &m_registry, &RegistryStage::feedReady);
    connect(
        &m_registry, &RegistryStage::finished, this,
        [this] {
            if (m_running)
                stop(RunEnd::Finished);
        },
        Qt::QueuedConnection);
    connect(&m_registry, &RegistryStage::paceChanged, this, [this] {
        if (m_running)
            emit openConnections(openConnectionsText());
    });
    // Names DNS settles pass the pool by: their count is shown a few times a second.
    connect(&m_dns, &DnsStage::delegated, this, [this] {
        if (m_running && (!m_dnsShown.isValid() || m_dnsShown.elapsed() >= 250)) {
            m_dnsShown.start();
            emit openConnections(openConnectionsText());
        }
    });
}

void RunControl::setEndings(const QStringList &endings)
{
    m_endings = endings;
    QStringList asked = endings;
    if (!asked.contains(QStringLiteral("com")))
        asked.prepend(QStringLiteral("com"));   // hosts and URLs of a list are .com names most of all
    m_dns.setCanaryEndings(asked);
}

QString RunControl::sourceName(Source source)
{
    switch (source) {
    case Source::None: break;
    case Source::BrowseForNames: return QStringLiteral("Browse for names");
    case Source::GenerateNames: return QStringLiteral("Generate names");
    case Source::YahooSearch: return QStringLiteral("Yahoo Search");
    case Source::GoogleSearch: return QStringLiteral("Google Search");
    case Source::FullWordList: return QStringLiteral("Full Word List");
    case Source::AllTwoLetter: return QStringLiteral("All Two Letter");
    case Source::AllThreeLetter: return QStringLiteral("All Three Letter");
    case Source::AllFourLetter: return QStringLiteral("All Four Letter");
    case Source::CustomList: return QStringLiteral("Custom List");
    }
    return {};
}

qint64 RunControl::startNumberFor(qint64 typed, qint64 entries)
{
    return typed >= entries ? 1 : typed;
}

QString RunControl::start(const SourceChoice &choice, qint64 first, qint64 entries)
{
    if (m_running)
        return QStringLiteral("A run is already going on.");
    if (choice.file().isEmpty())
        return QStringLiteral("No list is chosen. Choose a source under Search Type first.");
    if (first < 1)
        return QStringLiteral("The start number %1 is not an entry of the list: entries are counted from 1.")
            .arg(first);
    if (const QString problem = choice.listProblem(); !problem.isEmpty())
        return problem;
    // The run reads this list to its end, whatever is chosen while it goes on.
    m_feed = choice.list();
    m_runSource = choice.source();

    m_running = true;
    ++m_runNumber;
    m_first = first;
    m_nextEntry = first;
    m_wordMax = entries;
    m_tally.clear();
    m_pending.clear();
    m_ledger.clear();
    m_skips.begin(ProgramFiles::resultPath(ProgramFiles::ResultFile::Skipped, makeRunStamp()));
    m_listLoads = m_feed.loads();
    m_resume.begin(m_runSource, m_feed.path(), m_feed.fingerprint());
    m_resume.save(first);   // a run killed before its first verdict resumes where it began
    emit started();
    m_dns.start();
    m_registry.start();
    return {};
}

std::optional<Lookup> RunControl::nextName()
{
    if (!m_pending.isEmpty())
        return m_pending.takeFirst();
    for (;;) {
        const qint64 entry = m_nextEntry;
        const QString candidate = m_feed.entry(entry);
        if (m_feed.loads() != m_listLoads) {
            listChanged();
            return std::nullopt;
        }
        if (entry > m_feed.count())
            return std::nullopt;   // past the last entry; a line that reads as the end marker is a name like any other
        ++m_nextEntry;
        if (m_wordMax >= m_nextEntry)
            emit entryStatus(QStringLiteral("%1 of %2").arg(m_nextEntry).arg(m_wordMax));
        if (std::optional<Lookup> lookup = takeLookup(candidate, entry))
            return lookup;
    }
}

// The names of one entry, as the line reads; names whose ending no service answers are counted,
// not asked. The entry stays open until each of them has its outcome saved.
std::optional<Lookup> RunControl::takeLookup(const QString &candidate, qint64 entry)
{
    const auto skipped = [this, entry, &candidate](const QString &why) {
        m_skips.note(entry, why);
        emit lineSkipped(entry, candidate, why);
    };
    const QStringList names = m_feed.isOverlong(entry) ? m_tally.skipOverlong(candidate, skipped)
                                                       : m_tally.namesOf(candidate, m_endings, skipped);
    m_ledger.open(entry, int(names.size()));
    for (const QString &name : names)
        m_pending.append(Lookup {name, entry, 0, 0, 0});
    if (m_pending.isEmpty())
        return std::nullopt;
    return m_pending.takeFirst();
}

// A run reads the list it started with: entries of another list at the same numbers would mix two
// lists, and the resume position would mean nothing.
void RunControl::listChanged()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_running)
                return;
            stop(RunEnd::ListChanged);
            emit failed(QStringLiteral("The list %1 changed during the run (it was replaced or written to), so "
                                       "the run stopped at entry %2. Start it again to check the list as it is now.")
                            .arg(QDir::toNativeSeparators(m_feed.path()), QString::number(m_resume.saved())));
        },
        Qt::QueuedConnection);
}

QString RunControl::skippedText()
{
    QString text = m_tally.text(m_feed.path());
    if (m_tally.skippedUnserved() && !m_servicesProblems.isEmpty())
        text += QStringLiteral(" (%1.)").arg(m_servicesProblems.join(QStringLiteral("; ")));
    if (const QString lost = m_registry.lostText(); !lost.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + lost;
    m_skips.flush();
    if (const QString report = m_skips.writtenPath(); !report.isEmpty())
        text += QStringLiteral(" Each skipped line, and why, is in %1.").arg(QDir::toNativeSeparators(report));
    return text;
}

QString RunControl::openConnectionsText() const
{
    return connectionsPanelText(m_registry, m_dns, m_wordMax < m_nextEntry);
}

qint64 RunControl::resumePosition() const
{
    const qint64 open = m_ledger.earliestOpen();
    return open > 0 ? open : m_nextEntry;
}

void RunControl::nameSaved(qint64 entry)
{
    m_ledger.close(entry);
    if (m_running)
        m_resume.save(resumePosition());
}

// A resumed run must not skip the names that were still on their way: their entries stay open.
qint64 RunControl::skippedLines() const
{
    qint64 total = 0;
    for (int kind = int(Names::Skip::Blank) + 1; kind < Names::SkipKinds; ++kind)
        total += m_tally.skipped(Names::Skip(kind));
    return total + m_tally.overlong() + m_tally.unservedNames();
}

void RunControl::stop(RunEnd why)
{
    if (!m_running)
        return;
    m_lastEnd = why;
    m_pending.clear();
    m_dns.stop();
    m_registry.stop();
    m_resume.save(resumePosition());
    m_skips.flush();
    m_running = false;
    emit stopped();
}
