#include "run/RunControl.h"

#include "app/ProgramFolder.h"
#include "app/SettingsStore.h"
#include "engine/ResultLists.h"
#include "engine/WhoisPool.h"

#include <QDir>
#include <QRegularExpression>

RunControl::RunControl(ResultLists &results, WhoisPool &pool, QObject *parent)
    : QObject(parent)
    , m_results(results)
    , m_pool(pool)
{
    connect(&m_pool, &WhoisPool::batchEnded, this, &RunControl::onBatchEnded);
}

QString RunControl::SourceName(Source source)
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

QString RunControl::ResumeKey(Source source)
{
    switch (source) {
    case Source::FullWordList: return QStringLiteral("FullWordNum");
    case Source::AllTwoLetter: return QStringLiteral("TwoWordNum");
    case Source::AllThreeLetter: return QStringLiteral("ThreeWordNum");
    case Source::AllFourLetter: return QStringLiteral("FourWordNum");
    case Source::CustomList: return QStringLiteral("CustWordNum");
    case Source::YahooSearch: return QStringLiteral("YahooWordNum");
    case Source::GoogleSearch: return QStringLiteral("GoogleWordNum");
    default: return {};
    }
}

bool RunControl::IsEntryNumber(const QString &text)
{
    static const QRegularExpression decimal(QStringLiteral("^[0-9]{1,9}$"));
    return decimal.match(text.trimmed()).hasMatch();
}

QString RunControl::SavedPosition(Source source)
{
    return SettingsStore::get(SettingsStore::RunKey, SettingsStore::SettingsSection, ResumeKey(source),
                              QStringLiteral("1"));
}

SourceSelection RunControl::SelectSource(Source source, const QString &customFile)
{
    static const QHash<Source, QString> installed = {
        {Source::FullWordList, QStringLiteral("\\Wordlists\\FullWordList.txt")},
        {Source::AllTwoLetter, QStringLiteral("\\Wordlists\\AllTwoLetter.txt")},
        {Source::AllThreeLetter, QStringLiteral("\\Wordlists\\AllThreeLetter.txt")},
        {Source::AllFourLetter, QStringLiteral("\\Wordlists\\AllFourLetter.txt")},
    };
    m_source = source;
    SourceSelection selection;
    switch (source) {
    case Source::None:
        break;
    case Source::FullWordList:
    case Source::AllTwoLetter:
    case Source::AllThreeLetter:
    case Source::AllFourLetter:
        m_feed.setPath(ProgramFolder::resolve(installed.value(source)));
        selection.wordMax = m_feed.CountSourceLines();
        selection.wordNum = SavedPosition(source);
        selection.group = SourceSelection::Group::WordList;
        break;
    case Source::CustomList:
        m_feed.setPath(customFile);
        selection.wordMax = m_feed.CountSourceLines();
        selection.wordNum = QStringLiteral("1");
        selection.group = SourceSelection::Group::WordList;
        break;
    case Source::YahooSearch:
    case Source::GoogleSearch:
        m_feed.setPath(ProgramFolder::resolve(QStringLiteral("\\BrowserSearch.txt")));
        selection.wordNum = QStringLiteral("1");
        selection.group = SourceSelection::Group::Search;
        break;
    case Source::GenerateNames:
        m_feed.setPath(ProgramFolder::resolve(QStringLiteral("\\CreatedDomains.txt")));
        selection.wordNum = QStringLiteral("1");
        break;
    case Source::BrowseForNames:
        break;
    }
    return selection;
}

QString RunControl::Start(const QString &wordNum, const QString &wordMax)
{
    if (m_running)
        return QStringLiteral("A run is already going on.");
    const bool searchEngine = m_source == Source::YahooSearch || m_source == Source::GoogleSearch;
    const QString first = searchEngine ? QStringLiteral("1") : wordNum.trimmed();
    if (!IsEntryNumber(first))
        return QStringLiteral("The start number \"%1\" is not a whole number. Type the number of the "
                              "first entry to check, for example 1.").arg(wordNum);
    if (m_feed.path().isEmpty())
        return QStringLiteral("No list is chosen. Choose a source under Search Type first.");
    const QString error = m_feed.openError();
    if (!error.isEmpty())
        return QStringLiteral("The list %1 cannot be opened: %2.").arg(QDir::toNativeSeparators(m_feed.path()), error);

    m_results.ResetCounters();
    m_pool.BeginRun();
    m_running = true;
    m_endOfSource = false;
    m_wordNumber = first.toInt();
    m_wordMax = wordMax.trimmed().toInt();   // shown only; not a number counts as 0
    emit started();
    StartBatch();
    return {};
}

void RunControl::StartBatch()
{
    if (m_pool.isStopped())
        return;
    m_pool.BeginBatch();
    for (int slot = 0; slot < WhoisPool::Slots && !m_pool.isStopped(); ++slot) {
        if (m_pool.HasRetries()) {   // names left open by the last batch come first
            m_pool.StartLookup(m_pool.TakeRetry(), slot);
            continue;
        }
        if (m_endOfSource)
            break;
        const qint64 entry = m_wordNumber;
        const QString name = m_feed.ReadSourceLine(entry);
        ++m_wordNumber;
        if (m_wordMax >= m_wordNumber)
            emit entryStatus(QStringLiteral("%1 of %2").arg(m_wordNumber).arg(m_wordMax));
        emit openConnections(m_wordMax < m_wordNumber
                                 ? QStringLiteral("Open: Closing connections...")
                                 : QStringLiteral("Open: %1").arg(WhoisPool::Slots - m_pool.lookupsDone()));
        if (name == DataFile::EndSentinel) {
            m_endOfSource = true;
            break;
        }
        SaveResumePosition(m_wordNumber);
        m_pool.StartLookup({name, entry, 0}, slot);
    }
    m_pool.FinishFilling();
}

void RunControl::onBatchEnded()
{
    if (!m_running)
        return;
    if (m_endOfSource && !m_pool.HasRetries())
        Stop();
    else
        StartBatch();
}

void RunControl::Stop()
{
    const qint64 earliestOpen = m_pool.Stop();
    // A resumed run must not skip the names that were still waiting for their answer.
    if (m_running && earliestOpen > 0) {
        m_wordNumber = qint32(earliestOpen);
        SaveResumePosition(earliestOpen);
    }
    m_running = false;
    emit stopped();
}

void RunControl::SaveResumePosition(qint64 next)
{
    const QString value = QString::number(next);
    const QString key = ResumeKey(m_source);
    if (!key.isEmpty())
        SettingsStore::save(SettingsStore::RunKey, SettingsStore::SettingsSection, key, value);
    SettingsStore::save(SettingsStore::RunKey, SettingsStore::SettingsSection, QStringLiteral("wordNumber"), value);
}
