#include "engine/LookupPool.h"

// How a lookup ends: a verdict, a refusal, a reply that cannot be read, no answer in time, a
// service that cannot be reached; and what the pool does when a service fails it as a whole.

void LookupPool::onAnswered(int index, const LookupAnswer &answer)
{
    Slot &slot = *m_slots[size_t(index)];
    if (m_stopped || !slot.active)
        return;
    switch (answer.kind) {
    case LookupAnswer::Kind::Verdict: return finishWithVerdict(slot, answer);
    case LookupAnswer::Kind::NoVerdict:
        if (answer.reserved || answer.oversized)
            return writeOffAtOnce(slot, answer);
        if (!answer.throttled)
            return finishUnreadable(slot, answer);
        return finishRefused(slot, answer);
    case LookupAnswer::Kind::Unreachable: return onUnreachable(slot, answer);
    }
}

// An answer that asking again would only repeat: a name the registry reserves, or a reply longer
// than any record (each try of it costs the cap's worth of traffic).
void LookupPool::writeOffAtOnce(Slot &slot, const LookupAnswer &answer)
{
    const Lookup lookup = slot.lookup;
    lookupEnded(slot);
    if (answer.reserved)
        emit reserved(lookup.name, lookup.entry,
            answer.reason.isEmpty() ? QStringLiteral("reserved by the registry") : answer.reason);
    else
        writeOff(lookup);
}

void LookupPool::onUnreachable(Slot &slot, const LookupAnswer &answer)
{
    const QString why = QStringLiteral("%1 cannot be reached: %2.").arg(m_backend->serviceText(), answer.said);
    // An unknown host, or a server that refused every connection of the run so far, will not
    // answer the next name either.
    if (m_trouble.unreachable(answer.hostNotFound, int(m_slots.size()))) {
        if (!fallOver(why))
            refuseRun(why);
        return;
    }
    finishRefused(slot, answer);
}

void LookupPool::onPoolTick()
{
    if (m_stopped || askedWaitLeft() > 0)
        return;   // nothing is asked while the server's own wait lasts: no silence to count
    if (m_inFlight == 0 && m_retries.isEmpty())
        return;   // nothing to ask (DNS settles the names): the server is idle, not silent
    switch (m_trouble.tick(m_feedEnded)) {
    case ServiceTrouble::Step::Nothing: return;
    case ServiceTrouble::Step::Quiet: emit paceChanged(); return;
    case ServiceTrouble::Step::FallOver: fallOver(silenceText()); return;
    case ServiceTrouble::Step::WriteOff: writeOffOpenNames(); return;
    case ServiceTrouble::Step::GiveUp:
        if (!fallOver(silenceText()))
            refuseRun(
                QStringLiteral("%1 refuses every query: %2 replies without an answer and "
                               "no verdict for %3 seconds (last reply: %4).")
                    .arg(m_backend->serviceText(), QString::number(m_trouble.refusalsWithoutVerdict()),
                        QString::number(m_trouble.ticksWithoutVerdict() * m_tickMs / 1000), m_trouble.lastReply()));
        return;
    }
}

QString LookupPool::silenceText() const
{
    return QStringLiteral("%1 gave no verdict for %2 seconds (last reply: %3).")
        .arg(m_backend->serviceText(), QString::number(m_trouble.ticksWithoutVerdict() * m_tickMs / 1000),
            m_trouble.lastReply());
}

void LookupPool::finishWithVerdict(Slot &slot, const LookupAnswer &answer)
{
    const Lookup lookup = slot.lookup;
    lookupEnded(slot);
    m_trouble.verdict();
    if (m_pace.verdict(now()))
        emit paceChanged();
    emit verdict(lookup.name, answer.unregistered, lookup.entry, answer.state);
}

// A reply without a verdict: the server is refusing, most likely because we ask too fast.
void LookupPool::finishRefused(Slot &slot, const LookupAnswer &answer)
{
    Lookup lookup = slot.lookup;
    lookupEnded(slot);
    m_trouble.refused(answer.said);
    lookup.unread = false;
    const bool writtenOff = lookup.refused(m_trouble.verdicts(), isLastOpenName());
    if (!writtenOff)
        m_retries.prepend(lookup);
    // A name's own trouble neither lowers the rate nor makes the others wait.
    if (!lookup.isSingledOut())
        learnLimit(answer.retryAfterMs);
    if (writtenOff)
        writeOff(lookup);
}

// A reply that is an answer, but one we cannot read (a 400, a body of another kind): the name's
// trouble, which costs it an attempt and leaves the pace alone. A service that answers many
// different names in a row this way is the wrong service, or behind a broken proxy: the run stops
// there and keeps its place.
void LookupPool::finishUnreadable(Slot &slot, const LookupAnswer &answer)
{
    Lookup lookup = slot.lookup;
    lookupEnded(slot);
    if (m_trouble.unreadable(lookup.name, answer.said)) {
        m_retries.prepend(lookup);
        const QString why =
            QStringLiteral("%1 gives no verdict: %2 different names in a row got replies it "
                           "cannot read (last reply: %3).")
                .arg(m_backend->serviceText(), QString::number(m_trouble.unreadableNames()), answer.said);
        if (!fallOver(why))
            refuseRun(why);
        return;
    }
    if (lookup.unreadable(m_trouble.verdicts(), isLastOpenName()))
        return writeOff(lookup);
    lookup.unread = true;
    m_retries.append(lookup);
}

// A name's last attempt: it is told as unchecked; once nothing else is open, the silence and the
// refusals it cost are forgotten with it.
void LookupPool::writeOff(const Lookup &lookup)
{
    if (m_inFlight == 0 && m_retries.isEmpty())
        m_trouble.idle();
    emit unchecked(lookup.name, lookup.entry);
}

// Whether no other name is open or waiting, and none is there to be asked (the source has ended, or
// is behind while DNS settles a stretch): a service that has answered others refuses this one.
bool LookupPool::isLastOpenName() const
{
    return m_trouble.verdicts() > 0 && m_inFlight == 0 && m_retries.isEmpty() && (m_feedEnded || feedIsBehind());
}

// No verdict in time. While the server answers other names (or this is the last name of the
// list) this is the name's own trouble and costs an attempt; while it answers none, it is a
// refusal like any other, and the give-up rule stops the run with the name still open, so that a
// resumed run asks it again.
void LookupPool::finishTimedOut(Slot &slot)
{
    Lookup lookup = slot.lookup;
    lookupEnded(slot);
    m_trouble.refused(QStringLiteral("no answer within %1 seconds").arg(LookupTicks * m_tickMs / 1000.0));
    lookup.unread = false;
    if (lookup.timedOut(m_trouble.verdicts(), isLastOpenName()))
        writeOff(lookup);
    else
        m_retries.append(lookup);
}
// Each name is told while it still counts as open: when its outcome cannot be saved (a full disk),
// the run stops with a resume position that keeps it and every name not yet told.
void LookupPool::writeOffOpenNames()
{
    const quint64 run = m_run;
    const auto goesOn = [this, run] { return run == m_run && !m_stopped; };
    while (!m_retries.isEmpty()) {
        const Lookup lookup = m_retries.constFirst();
        emit unchecked(lookup.name, lookup.entry);
        if (!goesOn())
            return;
        m_retries.removeFirst();
    }
    for (auto &slot : m_slots) {
        if (!slot->active)
            continue;
        const Lookup lookup = slot->lookup;
        emit unchecked(lookup.name, lookup.entry);
        if (!goesOn())
            return;
        lookupEnded(*slot);
    }
    m_trouble.idle();
    dropWait();
    scheduleFill();
}

// The failing service gives way to the next one for the rest of the run ("auto": WHOIS to RDAP):
// the open names are asked again there, and the pace starts afresh. False when it has none.
bool LookupPool::fallOver(const QString &why)
{
    if (!m_backend->canGiveWay())
        return false;
    for (auto &slot : m_slots) {
        if (slot->active) {
            m_retries.prepend(slot->lookup);
            lookupEnded(*slot);
        }
    }
    for (Lookup &lookup : m_retries)
        lookup.refusals = lookup.singledOut = 0;
    m_backend->giveWay();
    m_fallOverReason = why;
    m_pace.reset(now());
    m_pauseTimer.stop();
    m_trouble.newService();
    emit connectionStatus(QStringLiteral("WHOIS failed: asking RDAP for the rest of the run"));
    emit fellOverToRdap(why);
    emit paceChanged();
    scheduleFill();
    return true;
}

// The run's owner stops it; the open names stay open, so that the resume position keeps them.
void LookupPool::refuseRun(const QString &message)
{
    emit serverRefuses(m_fallOverReason.isEmpty() ? message : m_fallOverReason + QLatin1Char(' ') + message);
    if (!m_stopped)
        stop();
}
