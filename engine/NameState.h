#pragma once
#include <QDate>
#include <QJsonObject>
#include <QStringList>

// What a registry's record says of a registered name beyond the word "registered": its status
// values as written, its expiry and last-changed dates, and for a name on its way out (in
// redemption or pending delete), when it is expected to be released. DNS says none of this.
struct NameState {
    enum class By {
        Dns,
        Whois,
        Rdap
    };
    enum class Phase {
        Held,            // registered, and not on its way out
        Redemption,      // deleted by its registrar; its holder may still restore it
        PendingDelete,   // past restoring: the registry releases it at the end of this phase
        Quarantine,      // deleted, in a registry's own waiting time before it is free again
    };

    By by = By::Whois;    // who gave the verdict
    QStringList status;   // as the registry writes them: "clientTransferProhibited", "redemption period"
    QDate expires;
    QDate changed;
    Phase phase = Phase::Held;
    QDate release;          // estimated; null where the ending's deletion cycle or the date it counts from is unknown
    bool premium = false;   // with a free verdict: the registry sells the name at a price of its own
    // Why the release is unknown where the ending's cycle is known: a last change in the future, or
    // so long ago that the cycle has run out, two different ones, or one that cannot be read.
    QString releaseWhy;

    bool isDropping() const { return phase != Phase::Held; }
    // "redemptionPeriod", "pendingDelete" or "quarantine", as registries write them; empty when held.
    QString phaseText() const;
    // "2026-12-20", or "unknown".
    QString releaseText() const;
};

namespace NameStates {

// The state of `name` from its registered WHOIS record ("Domain Status:", "Updated Date:",
// "Registry Expiry Date:" lines, or the older "Status:" and "Expiration Date:"), or from its RDAP domain record
// ("status", and the events "expiration" and "last changed").
NameState fromWhois(const QString &name, const QByteArray &reply);
NameState fromRdap(const QString &name, const QJsonObject &record);

// Redemption when any status value says so (a registry in redemption often shows pendingDelete
// beside it), pending delete when one says that, held otherwise.
NameState::Phase phaseOf(const QStringList &status);

// The .com and .net deletion cycle: 30 days of redemption, then 5 of pending delete, counted from
// the last change of the record, which is the day the registry set the state. Other endings keep
// cycles of their own: their release is unknown.
// A last change in the future, or one whose cycle ended before today, gives no release: the record
// is wrong, or the registry keeps another cycle; `why` then says so.
QDate estimatedRelease(const QString &name, NameState::Phase phase, const QDate &changed, QString *why = nullptr);
// Today in UTC; TAMARIND_TODAY (YYYY-MM-DD), or setToday, sets it for replays of old records.
QDate today();
void setToday(const QDate &date);

}   // namespace NameStates
