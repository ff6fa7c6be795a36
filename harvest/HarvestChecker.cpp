#include "harvest/HarvestChecker.h"

#include "app/DataFile.h"
#include "app/ProgramFiles.h"
#include "engine/LookupName.h"
#include "results/ResultLists.h"

namespace {

// A free name that holds the end marker's text is a leftover of the list, not a name. (Bare endings
// and names with quotes, which the markup also makes, are never asked: they are not registrable.)
bool isMarkupLeftover(const QString &name, bool freeName)
{
    return freeName && name.contains(QLatin1String("endoffile"), Qt::CaseInsensitive);
}

}   // namespace

HarvestChecker::HarvestChecker(ResultLists &results, const ServiceDirectory &service, QObject *parent)
    : QObject(parent)
    , m_results(results)
    , m_backend(m_backends.forProtocol(service.protocol))
{
    m_backends.setService(service);
    m_list.setPath(ProgramFiles::path(ProgramFiles::File::BrowserSearch));
    connect(&m_timer1, &QTimer::timeout, this, &HarvestChecker::tick);
    connect(&m_backend, &LookupBackend::answered, this, &HarvestChecker::onAnswered);
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
    m_backend.newRun();
    m_timer1.start(m_tickMs);
}

void HarvestChecker::tick()
{
    if (m_halted)
        return;
    if (!m_checking)
        return m_waiting ? askAgain() : CheckNext();
    m_backend.tick(0);
    if (++m_ticks < TimeoutTicks)
        return;
    m_backend.cancel(0);
    m_checking = false;
    if (m_backend.canGiveWay()) {
        m_backend.giveWay();
        return askAgain();
    }
    if (m_current.timedOut(m_verdicts, true))
        return writeOff();
    askAgain();
}

// The list is the file: a name counts once it is written there, so none is skipped.
void HarvestChecker::CheckNext()
{
    if (m_checking || m_waiting || m_halted)
        return;
    for (;;) {
        // The end is past the last entry: a line that reads as the end marker is a line like any other.
        const QString candidate = m_list.entry(m_next + 1);
        if (m_next + 1 > m_list.count()) {
            m_timer1.start(m_tickMs);
            emit idle();
            return;
        }
        const Names::LookupName asked = Names::harvestedName(candidate);
        if (asked.isAsked()) {
            StartLookup(asked.name);
            return;
        }
        advance();
    }
}

void HarvestChecker::StartLookup(const QString &name)
{
    m_current = Lookup {name, m_next + 1};
    emit checking(name);
    askAgain();
}

void HarvestChecker::askAgain()
{
    m_waiting = false;
    m_checking = true;
    m_ticks = 0;
    m_timer1.start(m_tickMs);   // the lookup's ticks count from now
    m_backend.ask(0, m_current.name);
}

void HarvestChecker::onAnswered(int slot, const LookupAnswer &answer)
{
    Q_UNUSED(slot)
    if (!m_checking)
        return;
    m_checking = false;
    switch (answer.kind) {
    case LookupAnswer::Kind::Verdict: return give(m_current.name, answer.unregistered);
    case LookupAnswer::Kind::NoVerdict:
        // Asking again would only repeat these, as in a run.
        if (answer.reserved || answer.oversized)
            return writeOff();
        break;
    case LookupAnswer::Kind::Unreachable: break;
    }
    if (m_backend.canGiveWay()) {
        m_backend.giveWay();
        return askAgain();
    }
    if (m_current.refused(m_verdicts, true))
        return writeOff();
    m_waiting = true;   // at the next tick, not at once: the service may be refusing our pace
}

void HarvestChecker::give(const QString &name, bool free)
{
    ++m_verdicts;
    const QString shown = Names::unicodeForm(name);   // as a run lists it
    if (!isMarkupLeftover(name, free)) {
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

void HarvestChecker::writeOff()
{
    if (!m_results.addUnchecked(m_current.name))
        return halt();
    advance();
    QMetaObject::invokeMethod(this, &HarvestChecker::CheckNext, Qt::QueuedConnection);
}

void HarvestChecker::advance()
{
    ++m_next;
    m_waiting = false;
}

// A result that cannot be saved stops the checks before its name, which the result lists have
// reported; a new Start asks it again.
void HarvestChecker::halt()
{
    m_halted = true;
    m_timer1.stop();
}
