#pragma once
#include <QByteArray>
#include <QDate>
#include <QStringList>
#include <optional>

struct NameState;

namespace Cli {

// What `check` prints for each name: "VERDICT NAME" lines, or one record per line as JSON or CSV
// for other programs. The keys and their order are a stable interface.
enum class OutputFormat {
    Text,
    Jsonl,
    Csv
};
std::optional<OutputFormat> outputFormat(const QString &text);

struct NameRecord {
    QString name;       // as asked: the IDNA form
    QString shown;      // as its reader writes it; for a skipped line, the line
    qint64 entry = 0;   // the list entry it came from
    QString verdict;    // free, registered, unchecked or skipped; service for a service's record
    QString profile;    // high, mid or low, for a free name
    QString by;         // dns, whois or rdap, for a verdict
    QStringList status;
    QDate expires;
    QDate changed;
    QDate release;
    bool premium = false;   // a free name the registry sells at a price of its own
    QString state;          // redemptionPeriod or pendingDelete, for a dropping name
    QString reason;         // why unchecked or skipped

    // A verdict, with what the record said beyond it.
    static NameRecord ofVerdict(const QString &asked, bool unregistered, qint64 entry, const NameState &state);
    static NameRecord ofUnchecked(const QString &asked, qint64 entry, const QString &why);
    // A line of the list, or a name of it, that was not asked.
    static NameRecord ofSkipped(qint64 entry, const QString &line, const QString &why);
    // A service of the run and what it showed: `by` its protocol (whois, rdap or dns), `state`
    // tested, failed or untested, `text` the sentence the run ends with.
    static NameRecord ofService(const QString &service, const QString &by, const QString &state, const QString &text);
};

inline const QStringList RecordKeys {QStringLiteral("name"), QStringLiteral("shown"), QStringLiteral("entry"),
    QStringLiteral("verdict"), QStringLiteral("profile"), QStringLiteral("by"), QStringLiteral("status"),
    QStringLiteral("expires"), QStringLiteral("changed"), QStringLiteral("release"), QStringLiteral("premium"),
    QStringLiteral("reason")};

// "VERDICT NAME", the written form after an IDNA name, "premium" after a premium one, and a dropping
// name's state and release after them; empty for a skipped entry, which the text format does not list.
QString recordText(const NameRecord &record);
// The record as one line of the format, ending in a line break.
QByteArray recordLine(const NameRecord &record, OutputFormat format);
// The CSV header line; empty for the other formats.
QByteArray headerLine(OutputFormat format);

}   // namespace Cli
