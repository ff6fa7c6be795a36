#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>

// The locale's general date-and-time text: its short date with a four-digit year, a blank, its
// long time without the zone (12/6/2026 10:50:42 PM in English (United States)).
QString generalDateTimeText(const QDateTime &when, const QLocale &locale);

// The suffix of result file names: the general date-and-time text without "/", ":" and blanks.
QString makeRunStamp(const QDateTime &when = QDateTime::currentDateTime(), const QLocale &locale = QLocale::system());
