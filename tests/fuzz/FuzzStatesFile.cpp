// The states file of a watch: whatever it holds, a load keeps only whole states (a name, a known
// state, a date), drops and counts the rest, and what it writes back loads again with nothing to drop.
#include "Fuzz.h"
#include "app/ProgramFolder.h"
#include "run/NameWatch.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication<QCoreApplication>();
    static QTemporaryDir folder;
    ProgramFolder::setPath(folder.path());
    {
        QFile file(NameWatch::path());
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    NameWatch watch;
    QString error;
    FUZZ_CHECK(watch.load(&error));
    // A file that has been through a load holds nothing more to drop.
    NameWatch again;
    FUZZ_CHECK(again.load(&error));
    FUZZ_CHECK(again.droppedLines() == 0);
    return 0;
}
