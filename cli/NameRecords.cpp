#include "cli/NameRecords.h"

#include "engine/LookupName.h"
#include "engine/NameState.h"
#include "results/ResultLists.h"

namespace Cli {

namespace {

void appendJsonString(QByteArray &out, const QString &text)
{
    out += '"';
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (quint8(c) < 0x20)
                out += "\\u00" + QByteArray::number(quint8(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    out += '"';
}

QString dateText(const QDate &date)
{
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

// The status values joined by ";"; a value holding ";" or a quote is quoted, its quotes doubled, so
// that the list can be split back.
QString statusText(const QStringList &status)
{
    QStringList values;
    for (QString value : status) {
        if (value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('"')))
            value = QLatin1Char('"') + value.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
        values << value;
    }
    return values.join(QLatin1Char(';'));
}

// The record's values as texts, in the order of RecordKeys, an absent value empty.
QStringList fieldTexts(const NameRecord &record)
{
    return {record.name, record.shown, QString::number(record.entry), record.verdict, record.profile, record.by,
        statusText(record.status), dateText(record.expires), dateText(record.changed), dateText(record.release),
        record.premium ? QStringLiteral("true") : QStringLiteral("false"), record.reason};
}

// JSON keeps the entry a number and the status values a list; an absent value is null.
QByteArray jsonLine(const NameRecord &record)
{
    const QStringList fields = fieldTexts(record);
    QByteArray out = "{";
    for (qsizetype i = 0; i < RecordKeys.size(); ++i) {
        const QString &key = RecordKeys[i];
        out += (i > 0 ? ",\"" : "\"") + key.toLatin1() + "\":";
        if (key == QLatin1String("entry")) {
            out += QByteArray::number(record.entry);
        } else if (key == QLatin1String("premium")) {
            out += record.premium ? "true" : "false";
        } else if (key == QLatin1String("status")) {
            out += '[';
            for (qsizetype value = 0; value < record.status.size(); ++value) {
                if (value > 0)
                    out += ',';
                appendJsonString(out, record.status[value]);
            }
            out += ']';
        } else if (fields[i].isEmpty()) {
            out += "null";
        } else {
            appendJsonString(out, fields[i]);
        }
    }
    return out + "}\n";
}

// RFC 4180: a field with a comma, a quote or a line break is quoted, its quotes doubled. Control
// characters other than line breaks are written as escapes ("\x07"), so that what a list's line
// held can still be told; a field that begins as a formula would (=, +, -, @, a carriage return)
// gets a leading quote, the guard spreadsheets know, so that none of them runs it.
QByteArray csvField(const QString &text)
{
    QByteArray field;
    for (const char c : text.toUtf8()) {
        const auto byte = quint8(c);
        if ((byte < 0x20 && c != '\n' && c != '\r') || byte == 0x7f)
            field += "\\x" + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
        else
            field += c;
    }
    if (!field.isEmpty() && QByteArrayView("=+-@\r").contains(field.front()))
        field.prepend('\'');
    if (field.contains(',') || field.contains('"') || field.contains('\n') || field.contains('\r'))
        field = '"' + field.replace("\"", "\"\"") + '"';
    return field;
}

QByteArray csvLine(const NameRecord &record)
{
    QByteArray out;
    for (const QString &field : fieldTexts(record))
        out += csvField(field) + ',';
    out.chop(1);
    return out + "\r\n";
}

QString byText(NameState::By by)
{
    switch (by) {
    case NameState::By::Dns: return QStringLiteral("dns");
    case NameState::By::Whois: return QStringLiteral("whois");
    case NameState::By::Rdap: return QStringLiteral("rdap");
    }
    return {};
}

QString profileText(ResultList list)
{
    return list == ResultList::High ? QStringLiteral("high")
        : list == ResultList::Mid   ? QStringLiteral("mid")
                                    : QStringLiteral("low");
}

}   // namespace

QString recordText(const NameRecord &record)
{
    if (record.verdict == QLatin1String("skipped") || record.verdict == QLatin1String("service"))
        return {};
    QString line = record.verdict + ' ' + record.name;
    if (record.shown != record.name)
        line += ' ' + record.shown;
    if (record.premium)
        line += QStringLiteral(" premium");
    if (!record.state.isEmpty())
        line += ' ' + record.state + ' '
            + (record.release.isValid() ? dateText(record.release) : QStringLiteral("unknown"));
    return line;
}

std::optional<OutputFormat> outputFormat(const QString &text)
{
    if (text == QLatin1String("text"))
        return OutputFormat::Text;
    if (text == QLatin1String("jsonl"))
        return OutputFormat::Jsonl;
    if (text == QLatin1String("csv"))
        return OutputFormat::Csv;
    return std::nullopt;
}

NameRecord NameRecord::ofVerdict(const QString &asked, bool unregistered, qint64 entry, const NameState &state)
{
    NameRecord record;
    record.name = asked;
    record.shown = Names::unicodeForm(asked);
    record.entry = entry;
    record.verdict = unregistered ? QStringLiteral("free") : QStringLiteral("registered");
    record.by = byText(state.by);
    if (unregistered) {
        record.profile = profileText(ResultLists::profileOf(record.shown));
        record.premium = state.premium;
        return record;
    }
    record.status = state.status;
    record.expires = state.expires;
    record.changed = state.changed;
    record.release = state.release;
    record.state = state.phaseText();
    record.reason = state.releaseWhy;   // why a dropping name's release is unknown
    return record;
}

NameRecord NameRecord::ofUnchecked(const QString &asked, qint64 entry, const QString &why)
{
    NameRecord record;
    record.name = asked;
    record.shown = Names::unicodeForm(asked);
    record.entry = entry;
    record.verdict = QStringLiteral("unchecked");
    record.reason = why;
    return record;
}

NameRecord NameRecord::ofSkipped(qint64 entry, const QString &line, const QString &why)
{
    NameRecord record;
    record.shown = line;
    record.entry = entry;
    record.verdict = QStringLiteral("skipped");
    record.reason = why;
    return record;
}

NameRecord NameRecord::ofService(const QString &service, const QString &by, const QString &state, const QString &text)
{
    NameRecord record;
    record.name = service;
    record.shown = service;
    record.verdict = QStringLiteral("service");
    record.by = by;
    record.status = QStringList {state};
    record.reason = text;
    return record;
}

QByteArray recordLine(const NameRecord &record, OutputFormat format)
{
    switch (format) {
    case OutputFormat::Text: {
        const QString text = recordText(record);
        return text.isEmpty() ? QByteArray() : text.toLocal8Bit() + '\n';
    }
    case OutputFormat::Jsonl: return jsonLine(record);
    case OutputFormat::Csv: return csvLine(record);
    }
    return {};
}

QByteArray headerLine(OutputFormat format)
{
    return format == OutputFormat::Csv ? RecordKeys.join(QLatin1Char(',')).toUtf8() + "\r\n" : QByteArray();
}

}   // namespace Cli
