#include "engine/NameState.h"

#include "engine/LookupName.h"

#include <QDateTime>
#include <QJsonArray>
#include <QRegularExpression>

namespace {

// "2022-01-17T02:52:13Z", "2022-01-17T02:52:13.0Z" or "2022-01-17": the day, in UTC. The older
// .com and .net records wrote "05-may-2013".
QDate recordDate(const QString &text)
{
    const QString trimmed = text.trimmed();
    // A year no registry record can hold is no date (it would print as nothing).
    const auto sane = [](const QDate &date) { return date.year() >= 1985 && date.year() <= 9999 ? date : QDate(); };
    if (const QDateTime time = QDateTime::fromString(trimmed, Qt::ISODateWithMs); time.isValid())
        return sane(time.toUTC().date());
    if (const QDate date = QDate::fromString(trimmed.left(10), Qt::ISODate); date.isValid())
        return sane(date);
    static const QStringList months {QStringLiteral("jan"), QStringLiteral("feb"), QStringLiteral("mar"),
        QStringLiteral("apr"), QStringLiteral("may"), QStringLiteral("jun"), QStringLiteral("jul"),
        QStringLiteral("aug"), QStringLiteral("sep"), QStringLiteral("oct"), QStringLiteral("nov"),
        QStringLiteral("dec")};
    const QStringList parts = trimmed.split(QLatin1Char('-'));
    if (parts.size() != 3)
        return {};
    return sane(QDate(parts[2].toInt(), int(months.indexOf(parts[1].toLower())) + 1, parts[0].toInt()));
}

QString squeezed(const QString &status)
{
    QString key = status.toLower();
    key.remove(QLatin1Char(' '));
    key.remove(QLatin1Char('_'));
    key.remove(QLatin1Char('-'));
    return key;
}

void settle(const QString &name, NameState *state, bool changedTwice = false)
{
    state->phase = NameStates::phaseOf(state->status);
    if (!state->isDropping() || !Names::isComNet(name))
        return;
    if (changedTwice) {
        state->changed = {};
        state->releaseWhy = QStringLiteral("the record gives two different last-change dates");
        return;
    }
    if (!state->changed.isValid()) {
        state->releaseWhy = QStringLiteral("the record gives no last-change date that can be read");
        return;
    }
    state->release = NameStates::estimatedRelease(name, state->phase, state->changed, &state->releaseWhy);
}

}   // namespace

QString NameState::phaseText() const
{
    switch (phase) {
    case Phase::Held: return {};
    case Phase::Redemption: return QStringLiteral("redemptionPeriod");
    case Phase::PendingDelete: return QStringLiteral("pendingDelete");
    case Phase::Quarantine: return QStringLiteral("quarantine");
    }
    return {};
}

QString NameState::releaseText() const
{
    return release.isValid() ? release.toString(Qt::ISODate) : QStringLiteral("unknown");
}

namespace NameStates {

NameState::Phase phaseOf(const QStringList &status)
{
    bool pending = false;
    for (const QString &value : status) {
        const QString key = squeezed(value);
        if (key == QLatin1String("redemptionperiod"))
            return NameState::Phase::Redemption;
        pending = pending || key == QLatin1String("pendingdelete");
    }
    return pending ? NameState::Phase::PendingDelete : NameState::Phase::Held;
}

QDate estimatedRelease(const QString &name, NameState::Phase phase, const QDate &changed, QString *why)
{
    if (!changed.isValid() || !Names::isComNet(name))
        return {};
    QDate release;
    switch (phase) {
    case NameState::Phase::Held: return {};
    case NameState::Phase::Redemption: release = changed.addDays(30 + 5); break;
    case NameState::Phase::PendingDelete: release = changed.addDays(5); break;
    case NameState::Phase::Quarantine: return {};   // each registry keeps a cycle of its own
    }
    const QDate now = today();
    QString reason;
    if (changed > now)
        reason = QStringLiteral("its last change, %1, is in the future").arg(changed.toString(Qt::ISODate));
    else if (release < now)
        reason = QStringLiteral("the cycle counted from its last change, %1, ended on %2")
                     .arg(changed.toString(Qt::ISODate), release.toString(Qt::ISODate));
    if (reason.isEmpty())
        return release;
    if (why)
        *why = reason;
    return {};
}

namespace {

QDate &givenToday()
{
    static QDate given;
    return given;
}

}   // namespace

QDate today()
{
    if (givenToday().isValid())
        return givenToday();
    const QDate fromEnvironment = QDate::fromString(qEnvironmentVariable("TAMARIND_TODAY"), Qt::ISODate);
    return fromEnvironment.isValid() ? fromEnvironment : QDateTime::currentDateTimeUtc().date();
}

void setToday(const QDate &date)
{
    givenToday() = date;
}

NameState fromWhois(const QString &name, const QByteArray &reply)
{
    NameState state;
    state.by = NameState::By::Whois;
    bool seenChanged = false;
    bool changedTwice = false;
    for (const QByteArray &raw : reply.split('\n')) {
        const QByteArray line = raw.trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray key = line.left(colon).trimmed().toLower();
        const QString value = QString::fromUtf8(line.mid(colon + 1)).trimmed();
        if (key == "domain status" || key == "status") {
            // "clientTransferProhibited https://icann.org/epp#clientTransferProhibited": the value, not
            // its link; "redemption period" keeps its words.
            static const QRegularExpression link(QStringLiteral("\\s+\\(?https?://\\S*$"));
            if (const QString status = QString(value).remove(link).trimmed(); !status.isEmpty())
                state.status << status;
        } else if (key == "updated date") {
            const QDate changed = recordDate(value);
            changedTwice = changedTwice || (seenChanged && changed != state.changed);
            seenChanged = true;
            state.changed = changed;
        } else if (key == "registry expiry date" || key == "expiration date") {
            state.expires = recordDate(value);
        }
    }
    settle(name, &state, changedTwice);
    return state;
}

NameState fromRdap(const QString &name, const QJsonObject &record)
{
    NameState state;
    state.by = NameState::By::Rdap;
    for (const QJsonValue &status : record.value(QLatin1String("status")).toArray()) {
        if (status.isString())
            state.status << status.toString();
    }
    for (const QJsonValue &event : record.value(QLatin1String("events")).toArray()) {
        const QString action = event.toObject().value(QLatin1String("eventAction")).toString();
        const QDate date = recordDate(event.toObject().value(QLatin1String("eventDate")).toString());
        if (action == QLatin1String("expiration"))
            state.expires = date;
        else if (action == QLatin1String("last changed"))
            state.changed = date;
    }
    settle(name, &state);
    return state;
}

}   // namespace NameStates
