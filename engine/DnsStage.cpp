#include "engine/DnsStage.h"

#include "engine/LookupName.h"

#include <QLocale>
#include <algorithm>

DnsStage::DnsStage(QObject *parent)
    : QObject(parent)
{
    connect(&m_client, &DnsClient::answered, this, &DnsStage::onAnswered);
    m_paceTimer.setSingleShot(true);
    connect(&m_paceTimer, &QTimer::timeout, this, &DnsStage::fill);
    m_waitTimer.setSingleShot(true);
    connect(&m_waitTimer, &QTimer::timeout, this, [this] {
        m_pace.endWait(m_clock.elapsed());
        fill();
    });
}

void DnsStage::start()
{
    stop();
    m_running = true;
    m_sourceEnded = false;
    m_off = false;
    m_offReason.clear();
    if (const QString error = m_serversError.isEmpty() ? m_client.error() : m_serversError; !error.isEmpty())
        turnOff(error);
    m_clock.start();
    m_pace.reset(0);
    m_silentInARow = 0;
    m_answers = m_delegated = m_passed = 0;
    fill();
}

void DnsStage::stop()
{
    m_running = false;
    ++m_run;
    m_client.cancelAll();
    m_asked.clear();
    m_passedOn.clear();
    m_openEntries.clear();
    m_paceTimer.stop();
    m_waitTimer.stop();
    m_pace.cancelWait();
}

std::optional<Lookup> DnsStage::next()
{
    if (!m_passedOn.empty()) {
        const Lookup lookup = m_passedOn.front();
        m_passedOn.pop_front();
        forget(lookup.entry);
        scheduleFill();   // room in the lookahead
        return lookup;
    }
    if (m_enabled && !m_off)
        return std::nullopt;   // fill() reads the source ahead
    // DNS first is off, or DNS cannot be asked: the source is read as the registry asks for names.
    // A name under another ending than .com and .net still goes to DNS first, or, where DNS cannot
    // be asked, gets no verdict: its registry's word alone is not trusted.
    while (!m_sourceEnded && m_asked.size() < InFlight) {
        std::optional<Lookup> next = m_source();
        m_sourceEnded = !next;
        if (!next || Whois::isComNet(next->name))
            return next;
        if (m_off) {
            emit withoutEvidence(next->name, next->entry);
            if (!m_running)
                return std::nullopt;   // its outcome could not be saved: the run stopped there
            continue;
        }
        if (next->entry > 0)
            m_openEntries.insert(next->entry);
        m_asked.insert(m_client.ask(next->name), *next);
    }
    return std::nullopt;
}

bool DnsStage::isBehind() const
{
    if (!m_passedOn.empty() || isEnded())
        return false;
    // Where the registry reads the source itself, it waits only for what DNS still holds.
    const bool readAsAsked = !m_enabled || m_off;
    return !readAsAsked || m_sourceEnded || m_asked.size() >= InFlight;
}

bool DnsStage::isEnded() const
{
    return m_sourceEnded && m_asked.isEmpty() && m_passedOn.empty();
}

qint64 DnsStage::earliestOpenEntry() const
{
    return m_openEntries.empty() ? 0 : *m_openEntries.begin();
}

QString DnsStage::countsText() const
{
    if (m_delegated + m_passed == 0)
        return {};
    const QLocale english(QLocale::English);
    return QStringLiteral("DNS: %1 delegated, %2 to the registry")
        .arg(english.toString(m_delegated), english.toString(m_passed));
}

void DnsStage::scheduleFill()
{
    if (m_fillScheduled || !m_running || m_off)
        return;
    m_fillScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this, run = m_run] {
            m_fillScheduled = false;
            if (run == m_run)
                fill();
        },
        Qt::QueuedConnection);
}

// Asks the next names of the source while the bounds and the pace allow.
void DnsStage::fill()
{
    if (!m_running || m_off || !m_enabled || m_pace.isWaiting())
        return;
    while (!m_sourceEnded && m_asked.size() < InFlight && m_asked.size() + qsizetype(m_passedOn.size()) < Lookahead) {
        const qint64 now = m_clock.elapsed();
        if (!m_pace.allowsStart(now)) {
            if (!m_paceTimer.isActive())
                m_paceTimer.start(int(std::max<qint64>(0, m_pace.nextStartMs() - now)));
            return;
        }
        const std::optional<Lookup> next = m_source();
        if (!next) {
            m_sourceEnded = true;
            emit ready();   // the registry stage may be done with the rest
            return;
        }
        m_asked.insert(m_client.ask(next->name), *next);
        if (next->entry > 0)
            m_openEntries.insert(next->entry);
    }
}

void DnsStage::onAnswered(quint64 id, DnsClient::Outcome outcome)
{
    const auto found = m_asked.find(id);
    if (found == m_asked.end())
        return;
    const Lookup lookup = found.value();
    m_asked.erase(found);
    const qint64 now = m_clock.elapsed();
    switch (outcome) {
    case DnsClient::Outcome::Delegated:
        ++m_answers;
        m_silentInARow = 0;
        m_pace.verdict(now);
        forget(lookup.entry);
        ++m_delegated;
        emit delegated(lookup.name, lookup.entry);
        break;
    case DnsClient::Outcome::NotDelegated:
        ++m_answers;
        m_silentInARow = 0;
        m_pace.verdict(now);
        pass(lookup);
        break;
    case DnsClient::Outcome::Refused:
        pass(lookup);
        if (m_pace.refusal(now) == Pace::Refusal::Wait)
            m_waitTimer.start(int(m_pace.waitLeft(now)));
        if (++m_silentInARow >= SilentInARow && m_answers == 0)
            turnOff(QStringLiteral("the DNS resolver gave no answer to %1 questions in a row").arg(m_silentInARow));
        break;
    case DnsClient::Outcome::Failed: pass(lookup); break;
    }
    if (isEnded())
        emit ready();   // the last name was settled here: the registry stage may end
    if (m_running)
        scheduleFill();
}

void DnsStage::pass(const Lookup &lookup)
{
    m_passedOn.push_back(lookup);
    ++m_passed;
    emit ready();
}

// The resolver does not answer: the names it holds go on to the registry, and so do the rest.
void DnsStage::turnOff(const QString &why)
{
    m_off = true;
    m_offReason = why;
    m_client.cancelAll();
    QList<Lookup> open = m_asked.values();
    std::sort(open.begin(), open.end(), [](const Lookup &a, const Lookup &b) { return a.entry < b.entry; });
    m_asked.clear();
    for (const Lookup &lookup : std::as_const(open))
        m_passedOn.push_back(lookup);
    m_passed += quint64(open.size());
    emit ready();
}

void DnsStage::forget(qint64 entry)
{
    if (const auto found = m_openEntries.find(entry); found != m_openEntries.end())
        m_openEntries.erase(found);
}
