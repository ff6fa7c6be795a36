#include "app/RunStamp.h"

#include <QRegularExpression>

QString generalDateTimeText(const QDateTime &when, const QLocale &locale)
{
    QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    if (!dateFormat.contains(QLatin1String("yyyy")))
        dateFormat.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*$")));   // the time zone
    return locale.toString(when.date(), dateFormat) + ' ' + locale.toString(when.time(), timeFormat);
}

QString makeRunStamp(const QDateTime &when, const QLocale &locale)
{
    QString stamp = generalDateTimeText(when, locale);
    stamp.remove('/');
    stamp.remove(':');
    // Blanks of any kind: some locales separate AM/PM with a narrow no-break space.
    stamp.removeIf([](QChar c) { return c.isSpace(); });
    return stamp;
}
