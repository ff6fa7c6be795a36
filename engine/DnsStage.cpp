#include "engine/DnsStage.h"

#include "engine/LookupName.h"

#include <QLocale>
#include <QRandomGenerator>
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
    m_recent.clear();
    m_recentFailures = 0;
    m_answers = m_delegated = m_passed = m_unanswered = m_withoutEvidence = 0;
    m_sinceCanary = 0;
    m_canariesAnswered = 0;
    m_foundEndings.clear();
    if (!m_off && m_enabled) {
        // No name is read before the resolver has shown that it makes no delegation up and hides
        // none of the endings asked.
        m_waitingForChecks = true;
        for (const QString &ending : std::as_const(m_canaryEndings)) {
            askCanary(ending);
            askEnding(Names::topLevelOf(ending));
        }
    }
    fill();
}

// A name that cannot exist: a long random label under the ending. A resolver that calls it
// delegated makes things up, and its "delegated" says nothing.
void DnsStage::askCanary(const QString &ending)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString label = QStringLiteral("q");
    for (int i = 0; i < 40; ++i)
        label += QLatin1Char(letters[QRandomGenerator::global()->bounded(36)]);
    const QString name = label + QLatin1Char('.') + ending;
    m_canaries.insert(m_client.ask(name), name);
}

bool DnsStage::onCanaryAnswered(quint64 id, DnsClient::Outcome outcome)
{
    const QString name = m_canaries.take(id);
    if (name.isEmpty())
        return false;
    ++m_canariesAnswered;
    if (outcome == DnsClient::Outcome::Delegated && !m_off)
        turnOff(QStringLiteral("the DNS resolver makes delegations up (it calls %1, a name that cannot exist, "
                               "delegated), so DNS is not used for this run")
                    .arg(name));
    checkAnswered();
    return true;
}

// An ending's own name servers: every top-level zone has them. A resolver that says the ending does
// not exist, or has none, hides what exists, and its NXDOMAIN says nothing of a name under it.
void DnsStage::askEnding(const QString &ending)
{
    if (std::find(m_endingChecks.cbegin(), m_endingChecks.cend(), ending) == m_endingChecks.cend())
        m_endingChecks.insert(m_client.ask(ending), ending);
}

bool DnsStage::onEndingAnswered(quint64 id, DnsClient::Outcome outcome)
{
    const QString ending = m_endingChecks.take(id);
    if (ending.isEmpty())
        return false;
    using Outcome = DnsClient::Outcome;
    std::deque<Lookup> parked = m_parked.take(ending);
    if (outcome == Outcome::Delegated) {
        m_foundEndings.insert(ending);
        for (const Lookup &lookup : parked)
            pass(lookup);
    } else if ((outcome == Outcome::NotDelegated || outcome == Outcome::NoData) && !m_off) {
        m_parked.insert(ending, parked);   // turnOff() settles them with the rest
        turnOff(QStringLiteral("the DNS resolver hides what exists (it says .%1 %2), so DNS is not used for this run")
                    .arg(ending,
                        outcome == Outcome::NotDelegated ? QStringLiteral("does not exist")
                                                         : QStringLiteral("has no name servers")));
    } else {
        // No answer about the ending (a silence, a refusal): the names under it are not vouched
        // for this time; the next NXDOMAIN under it asks again.
        for (auto lookup = parked.cbegin(); lookup != parked.cend() && m_running; ++lookup)
            passWithoutAnswer(*lookup);
    }
    checkAnswered();
    return true;
}

// The first canaries and endings have their answers: the names of the list may be read.
void DnsStage::checkAnswered()
{
    if (m_waitingForChecks && m_canaries.isEmpty() && m_endingChecks.isEmpty()) {
        m_waitingForChecks = false;
        emit ready();
    }
    if (isEnded())
        emit ready();
    if (m_running)
        scheduleFill();
}

// An NXDOMAIN is evidence once the resolver has shown the name servers of the name's ending.
void DnsStage::notDelegated(const Lookup &lookup)
{
    const QString ending = Names::topLevelOf(lookup.name);
    if (Names::isComNet(lookup.name) || m_foundEndings.contains(ending))
        return pass(lookup);
    m_parked[ending].push_back(lookup);
    askEnding(ending);
}

qsizetype DnsStage::heldCount() const
{
    qsizetype held = m_asked.size() + qsizetype(m_passedOn.size());
    for (const std::deque<Lookup> &names : m_parked)
        held += qsizetype(names.size());
    return held;
}

// Now and then during a run, one more name that cannot exist, under the ending of the names asked.
void DnsStage::askedAbout(const QString &name)
{
    if (++m_sinceCanary < CanaryEvery)
        return;
    m_sinceCanary = 0;
    askCanary(name.section(QLatin1Char('.'), 1));
    askEnding(Names::topLevelOf(name));
}

void DnsStage::stop()
{
    m_running = false;
    ++m_run;
    m_client.cancelAll();
    m_asked.clear();
    m_canaries.clear();
    m_endingChecks.clear();
    m_parked.clear();
    m_waitingForChecks = false;
    m_passedOn.clear();
    m_paceTimer.stop();
    m_waitTimer.stop();
    m_pace.cancelWait();
}

std::optional<Lookup> DnsStage::next()
{
    if (!m_passedOn.empty()) {
        const Lookup lookup = m_passedOn.front();
        m_passedOn.pop_front();
        scheduleFill();   // room in the lookahead
        return lookup;
    }
    if (m_enabled && !m_off)
        return std::nullopt;   // fill() reads the source ahead, once the resolver is known to be honest
    // DNS first is off, or DNS cannot be asked: the source is read as the registry asks for names.
    // A name under another ending than .com and .net still goes to DNS first, or, where DNS cannot
    // be asked, gets no verdict: its registry's word alone is not trusted.
    while (!m_sourceEnded && m_asked.size() < InFlight) {
        std::optional<Lookup> next = m_source();
        m_sourceEnded = !next;
        if (!next || Names::isComNet(next->name))
            return next;
        if (m_off) {
            ++m_withoutEvidence;
            emit withoutEvidence(next->name, next->entry);
            if (!m_running)
                return std::nullopt;   // its outcome could not be saved: the run stopped there
            continue;
        }
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
    return m_sourceEnded && heldCount() == 0;
}

bool DnsStage::mayFindMore() const
{
    // A question still open may yet find one; so may names not read yet, while there is room for them.
    const bool reading = !m_sourceEnded && heldCount() < Lookahead;
    return m_running && !m_off && (!m_asked.isEmpty() || (m_enabled && reading));
}

QString DnsStage::evidenceState() const
{
    if (!m_enabled && m_answers == 0)
        return QStringLiteral("unused");
    if (!m_offReason.isEmpty())
        return QStringLiteral("failed");
    return m_foundEndings.isEmpty() ? QStringLiteral("untested") : QStringLiteral("tested");
}

QString DnsStage::evidenceText() const
{
    const QString state = evidenceState();
    if (state != QLatin1String("tested"))
        return state == QLatin1String("unused") ? QStringLiteral("DNS: not used")
            : state == QLatin1String("failed")
            ? QStringLiteral("DNS: left for the run: %1").arg(m_offReason)
            : QStringLiteral("DNS: used, not tested: no ending's name servers were shown");
    QStringList endings(m_foundEndings.cbegin(), m_foundEndings.cend());
    endings.sort();
    return QStringLiteral("DNS: used and tested: it showed the name servers of .%1, and called none of %2 names that "
                          "cannot exist delegated")
        .arg(endings.join(QStringLiteral(", .")))
        .arg(m_canariesAnswered);
}

QString DnsStage::countsText() const
{
    if (m_delegated + m_passed + m_withoutEvidence == 0)
        return {};
    // The parts add up to the names DNS held, so that they can be read beside the unchecked count.
    const QLocale english(QLocale::English);
    QString text = QStringLiteral("DNS: %1 delegated, %2 to the registry")
                       .arg(english.toString(m_delegated), english.toString(m_passed));
    if (m_unanswered > 0)
        text += QStringLiteral(" (%1 without a DNS answer)").arg(english.toString(m_unanswered));
    if (m_withoutEvidence > 0)
        text += QStringLiteral(", %1 unchecked for want of a DNS answer").arg(english.toString(m_withoutEvidence));
    return text;
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
    if (!m_running || m_off || !m_enabled || m_waitingForChecks || m_pace.isWaiting())
        return;
    while (!m_sourceEnded && m_asked.size() < InFlight && heldCount() < Lookahead) {
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
        askedAbout(next->name);
    }
}

void DnsStage::onAnswered(quint64 id, DnsClient::Outcome outcome)
{
    if (onCanaryAnswered(id, outcome) || onEndingAnswered(id, outcome))
        return;
    const auto found = m_asked.find(id);
    if (found == m_asked.end())
        return;
    const Lookup lookup = found.value();
    m_asked.erase(found);
    const qint64 now = m_clock.elapsed();
    using Outcome = DnsClient::Outcome;
    const bool answered =
        outcome == Outcome::Delegated || outcome == Outcome::NotDelegated || outcome == Outcome::NoData;
    if (answered || outcome == Outcome::ServerFailure) {
        ++m_answers;
        m_silentInARow = 0;
    }
    if (answered)
        m_pace.verdict(now);
    // The resolver's own trouble, as opposed to the name's: a failure of the last answers.
    m_recent.push_back(outcome == Outcome::Silent || outcome == Outcome::Failed);
    m_recentFailures += m_recent.back() ? 1 : 0;
    if (m_recent.size() > RecentAnswers) {
        m_recentFailures -= m_recent.front() ? 1 : 0;
        m_recent.pop_front();
    }
    switch (outcome) {
    case Outcome::Delegated:
        ++m_delegated;
        emit delegated(lookup.name, lookup.entry);
        break;
    case Outcome::NotDelegated: notDelegated(lookup); break;
    // An empty answer is what a wildcard, a filter or a broken resolver gives: no word that the
    // name does not exist.
    case Outcome::NoData: passWithoutAnswer(lookup); break;
    // A lame delegation (its name servers are dead) fails every time it is asked: no sign of load,
    // and no answer about the name.
    case Outcome::ServerFailure: passWithoutAnswer(lookup); break;
    case Outcome::Refused:
    case Outcome::Silent:
        passWithoutAnswer(lookup);
        if (m_running && m_pace.refusal(now) == Pace::Refusal::Wait)
            m_waitTimer.start(int(m_pace.waitLeft(now)));
        // A resolver that never answered and refuses, or one that falls silent at any point.
        if (++m_silentInARow >= SilentInARow && (outcome == Outcome::Silent || m_answers == 0))
            turnOff(QStringLiteral("the DNS resolver gave no answer to %1 questions in a row").arg(m_silentInARow));
        break;
    case Outcome::Failed: passWithoutAnswer(lookup); break;
    }
    if (m_running && !m_off && m_recent.size() >= RecentAnswers && m_recentFailures * 2 > RecentAnswers)
        turnOff(QStringLiteral("%1 of the DNS resolver's last %2 answers were failures")
                    .arg(m_recentFailures)
                    .arg(RecentAnswers));
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

// DNS did not answer about the name. A .com or .net name goes on to its registry, whose word is
// evidence; under any other ending a 404 is trusted only beside DNS's own word that the name is
// not delegated, so the name gets no verdict.
void DnsStage::passWithoutAnswer(const Lookup &lookup)
{
    if (Names::isComNet(lookup.name)) {
        ++m_unanswered;
        return pass(lookup);
    }
    ++m_withoutEvidence;
    emit withoutEvidence(lookup.name, lookup.entry);
}

// The resolver does not answer: the names it holds go on as if it had not answered them, and so do
// the rest.
void DnsStage::turnOff(const QString &why)
{
    m_off = true;
    m_offReason = why;
    m_client.cancelAll();
    m_endingChecks.clear();
    QList<Lookup> open = m_asked.values();
    for (const std::deque<Lookup> &names : std::as_const(m_parked))
        open.append(QList<Lookup>(names.cbegin(), names.cend()));
    std::sort(open.begin(), open.end(), [](const Lookup &a, const Lookup &b) { return a.entry < b.entry; });
    m_asked.clear();
    m_parked.clear();
    for (const Lookup &lookup : std::as_const(open)) {
        if (!m_running)
            return;
        passWithoutAnswer(lookup);
    }
    emit ready();
}
