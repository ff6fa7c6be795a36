#pragma once
#include "run/NameWatch.h"

#include <QString>
#include <QStringList>

// The changes that watches told, kept for the desktop program: a watch run by its timer tells them
// while nobody looks, so the program shows them when it starts next.
namespace WatchLog {

// Adds a change as "YYYY-MM-DD HH:MM  TEXT"; false, with why, when it cannot be written.
bool append(const NameWatch::Change &change, QString *error = nullptr);
// The changes not shown yet, oldest first. They move to the file of the changes shown last, so that
// the next start shows only newer ones.
QStringList takeUnshown();

// The desktop notification of one watch: "golf.com is free" for a single change, "3 saved names
// changed" for more, with the changes in its body.
struct Notice {
    QString summary;
    QString body;
};
Notice noticeOf(const QList<NameWatch::Change> &changes);

}   // namespace WatchLog
