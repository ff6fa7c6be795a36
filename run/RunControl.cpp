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
    m_lines.begin(choice.list(), first, ProgramFiles::resultPath(ProgramFiles::ResultFile::Skipped, makeRunStamp()));
    m_runSource = choice.source();

    m_running = true;
    ++m_runNumber;
    m_first = first;
    m_wordMax = entries;
    m_pending.clear();
    m_ledger.clear();
    m_resume.begin(m_runSource, m_lines.list().path(), m_lines.list().fingerprint());
    m_resume.save(first);   // a run killed before its first verdict resumes where it began
    emit started();
    m_dns.start();
    m_registry.start();
    return {};
}

// The names of the next entries, one at a time. An entry stays open until each of its names has
// its outcome saved.
std::optional<Lookup> RunControl::nextName()
{
    if (!m_pending.isEmpty())
        return m_pending.takeFirst();
    const auto skipped = [this](qint64 entry, const QString &line, const QString &why) {
        emit lineSkipped(entry, line, why);
    };
    while (const std::optional<RunLines::Entry> entry = m_lines.next(m_endings, skipped)) {
        if (m_wordMax >= m_lines.nextEntry())
            emit entryStatus(QStringLiteral("%1 of %2").arg(m_lines.nextEntry()).arg(m_wordMax));
        m_ledger.open(entry->number, int(entry->names.size()));
        for (const QString &name : entry->names)
            m_pending.append(Lookup {name, entry->number, 0, 0, 0});
        if (!m_pending.isEmpty())
            return m_pending.takeFirst();
    }
    if (m_lines.listChanged())
        listChanged();
    return std::nullopt;
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
                            .arg(QDir::toNativeSeparators(m_lines.list().path()), QString::number(m_resume.saved())));
        },
        Qt::QueuedConnection);
}

QString RunControl::skippedText()
{
    QString text = m_lines.tally().text(m_lines.list().path());
    if (m_lines.tally().skippedUnserved() && !m_servicesProblems.isEmpty())
        text += QStringLiteral(" (%1.)").arg(m_servicesProblems.join(QStringLiteral("; ")));
    if (const QString lost = m_registry.lostText(); !lost.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + lost;
    m_lines.skipReport().flush();
    if (const QString report = m_lines.skipReport().writtenPath(); !report.isEmpty())
        text += QStringLiteral(" Each skipped line, and why, is in %1.").arg(QDir::toNativeSeparators(report));
    return text;
}

QString RunControl::openConnectionsText() const
{
    return connectionsPanelText(m_registry, m_dns, m_wordMax < m_lines.nextEntry());
}

qint64 RunControl::resumePosition() const
{
    const qint64 open = m_ledger.earliestOpen();
    return open > 0 ? open : m_lines.nextEntry();
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
        total += m_lines.tally().skipped(Names::Skip(kind));
    return total + m_lines.tally().overlong() + m_lines.tally().unservedNames();
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
    m_lines.skipReport().flush();
    m_running = false;
    emit stopped();
}
