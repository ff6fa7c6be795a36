#include "harvest/HarvestChecker.h"

#include "app/DataFile.h"
#include "app/ProgramFiles.h"
#include "app/TextUtils.h"
#include "results/ResultLists.h"

namespace {

// A free name that holds the end marker's text is a leftover of the list, not a name. (Bare endings
// and names with quotes, which the markup also makes, are never asked: they are not registrable.)
bool isMarkupLeftover(const QString &name, bool freeName)
{
    return freeName && name.contains(QLatin1String("endoffile"), Qt::CaseInsensitive);
}

}   // namespace

HarvestChecker::HarvestChecker(ResultLists &results, const LookupService &service, QObject *parent)
    : QObject(parent)
    , m_results(results)
    , m_service(service)
{
    m_list.setPath(ProgramFiles::path(ProgramFiles::File::BrowserSearch));
    connect(&m_timer1, &QTimer::timeout, this, &HarvestChecker::CheckNext);
    connect(&m_query, &RecordQuery::finished, this, &HarvestChecker::onFinished);
}

void HarvestChecker::setTickInterval(int milliseconds)
{
    m_tickMs = milliseconds;
    if (m_timer1.isActive())
        m_timer1.start(m_tickMs);
}

void HarvestChecker::start()
{
    m_halted = false;
    m_timer1.start(m_tickMs);
}

// The list is the file: a name counts once it is written there, so none is skipped.
void HarvestChecker::CheckNext()
{
    if (m_checking || m_halted)
        return;
    for (;;) {
        // The end is past the last entry: a line that reads as the end marker is a line like any other.
        const QString candidate = m_list.entry(m_next + 1);
        if (m_next + 1 > m_list.count()) {
            m_timer1.start(m_tickMs);
            emit idle();
            return;
        }
        const Whois::LookupName asked = lookupNameOf(candidate);
        if (asked.isAsked()) {
            m_timer1.stop();
            StartLookup(asked.name);
            return;
        }
        advance();
    }
}

// Only names that hold ".com" or ".net" are asked, and only as registrable names.
Whois::LookupName HarvestChecker::lookupNameOf(const QString &candidate)
{
    QString name = URLDecode(candidate);
    CorrectName(name);
    if (!name.contains(QLatin1String(".com"), Qt::CaseInsensitive)
        && !name.contains(QLatin1String(".net"), Qt::CaseInsensitive))
        return {{}, Whois::Skip::OtherEnding};
    return Whois::registrableName(name, false);
}

void HarvestChecker::StartLookup(const QString &name)
{
    m_current = name;
    m_checking = true;
    emit checking(name);
    m_query.start(m_service, name, TimeoutTicks * m_tickMs);
}

void HarvestChecker::onFinished(const RecordQuery::Record &record)
{
    m_checking = false;
    const Whois::Verdict verdict = record.answer.verdict();
    if (verdict == Whois::Verdict::None) {
        // A timeout or a refusal: the same name again, a few times. A name the registry reserves,
        // or one whose reply passed the cap, is written off at once, as a run does.
        if (record.answer.reserved || record.answer.oversized || ++m_attempts >= MaxAttempts) {
            if (!m_results.addUnchecked(m_current))
                return halt();
            advance();
        }
        QMetaObject::invokeMethod(this, &HarvestChecker::CheckNext, Qt::QueuedConnection);
        return;
    }
    const bool free = verdict == Whois::Verdict::Free;
    const QString shown = Whois::unicodeForm(m_current);   // as a run lists it
    if (!isMarkupLeftover(m_current, free)) {
        if (free) {
            if (!m_results.AddUnregistered(shown))
                return halt();
            emit unregistered(shown);
        } else {
            m_results.AddRegistered(shown);
            emit registered(shown);
        }
    }
    advance();
    QMetaObject::invokeMethod(this, &HarvestChecker::CheckNext, Qt::QueuedConnection);
}

void HarvestChecker::advance()
{
    ++m_next;
    m_attempts = 0;
}

// A result that cannot be saved stops the checks before its name, which the result lists have
// reported; a new Start asks it again.
void HarvestChecker::halt()
{
    m_halted = true;
    m_timer1.stop();
}
