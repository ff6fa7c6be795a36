#pragma once
#include <QString>
#include <QtGlobal>
#include <array>

// What came of every entry of a run. Each name asked is free (new to its list, or listed already),
// registered or unchecked; each line or name not asked is skipped, and a blank line is blank. With
// one name an entry, the parts add up to the entries done. Kept apart from the lists' counters,
// which a list's cap starts again.
struct RunAccount {
    std::array<qint64, 3> freeNew {};   // high, mid, low
    qint64 freeListed = 0;
    qint64 registered = 0;
    qint64 dropping = 0;   // of the registered
    qint64 unchecked = 0;
    qint64 skipped = 0;
    qint64 blank = 0;
    qint64 entries = 0;   // entries whose every name has its outcome saved, or that had none

    qint64 freeNames() const { return freeNew[0] + freeNew[1] + freeNew[2] + freeListed; }
    // The names with an outcome, and the ones skipped.
    qint64 names() const { return freeNames() + registered + unchecked + skipped; }
    // "60 entries: 58 free (new: 0 high, 0 mid, 58 low; 0 already listed), 2 registered, 0 unchecked,
    // 0 skipped"; the names are told too where the entries stood for more or fewer.
    QString text() const;
};
