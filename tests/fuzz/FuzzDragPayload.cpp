// A drop onto the Saved list: whatever the payload, only the positions it names are added, each
// name once.
#include "Fuzz.h"
#include "app/ProgramFolder.h"
#include "results/ResultLists.h"

#include <QCoreApplication>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication<QCoreApplication>();
    static QTemporaryDir folder;
    static ResultLists *results = [] {
        ProgramFolder::setPath(folder.path());
        auto *lists = new ResultLists;
        for (const char *name :
            {"abc.com", "ab.net", "abcdef.com", "abcdefg.com", "abcdefghij.com", "abcdefghijk.com", "abcdefghijkl.com"})
            lists->AddUnregistered(QString::fromLatin1(name));
        return lists;
    }();

    FuzzInput input(data, size);
    const int marker = input.byte() % 8;
    const QString payload = QString::fromUtf8(input.rest());

    // The names the payload names, by the rule: "|"-separated whole numbers within the list, each
    // name not saved yet.
    const QStringList before = results->items(ResultList::Saved);
    QStringList expected;
    if (marker == 1 || marker == 3 || marker == 4) {
        const QStringList &source = results->items(ResultList(marker));
        for (const QString &piece : payload.split('|')) {
            bool ok = false;
            const qlonglong position = piece.toLongLong(&ok);
            if (ok && position >= 0 && position < source.size() && !before.contains(source[position])
                && !expected.contains(source[position]))
                expected << source[position];
        }
    }
    FUZZ_CHECK(results->dropPositions(payload, marker) == expected.size());
    FUZZ_CHECK(results->items(ResultList::Saved) == before + expected);
    if (results->items(ResultList::Saved).size() > 1000)
        results->clear(ResultList::Saved, true);
    return 0;
}
