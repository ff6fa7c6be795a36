// What each output format costs per name, apart from the network: 20,000 records of a check (a
// third free, a tenth of the rest dropping with their dates) made into text, jsonl and csv lines.
// The share it prints is of a name's time in a check at 7,000 names per second.
// Usage: bench-records [COUNT]
#include "cli/NameRecords.h"
#include "engine/NameState.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 20000;
    NameState dropping;
    dropping.status = {QStringLiteral("pending delete"), QStringLiteral("redemption period")};
    dropping.expires = QDate(2026, 9, 1);
    dropping.changed = QDate(2026, 11, 20);
    dropping.phase = NameState::Phase::Redemption;
    dropping.release = QDate(2026, 12, 25);
    NameState held;
    held.status = {QStringLiteral("clientTransferProhibited")};
    held.expires = QDate(2027, 3, 14);
    held.changed = QDate(2025, 6, 1);
    QList<Cli::NameRecord> records;
    for (int i = 0; i < count; ++i) {
        const QString name = QStringLiteral("name%1.com").arg(i);
        records << Cli::NameRecord::ofVerdict(name, i % 3 == 0, i + 1, i % 30 == 1 ? dropping : held);
    }
    const double perName = 1e6 / 7000.0;   // µs
    for (const auto &[label, format] : {std::pair {"text", Cli::OutputFormat::Text},
             std::pair {"jsonl", Cli::OutputFormat::Jsonl}, std::pair {"csv", Cli::OutputFormat::Csv}}) {
        QElapsedTimer timer;
        timer.start();
        qsizetype bytes = 0;
        for (const Cli::NameRecord &record : std::as_const(records))
            bytes += Cli::recordLine(record, format).size();
        const double micros = double(timer.nsecsElapsed()) / 1000.0 / count;
        std::printf("%-5s %.2f us per name, %.1f %% of a name's time at 7,000 names/s (%lld bytes)\n", label, micros,
            100.0 * micros / perName, static_cast<long long>(bytes));
    }
    return 0;
}
