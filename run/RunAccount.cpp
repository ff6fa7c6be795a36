#include "run/RunAccount.h"

#include <QLocale>

QString RunAccount::text() const
{
    const QLocale english(QLocale::English);
    const auto number = [&english](qint64 value) { return english.toString(value); };
    QString text = QStringLiteral("%1 entries").arg(number(entries));
    if (names() + blank != entries)
        text += QStringLiteral(", %1 names").arg(number(names()));
    text += QStringLiteral(": %1 free (new: %2 high, %3 mid, %4 low; %5 already listed), %6 registered")
                .arg(number(freeNames()), number(freeNew[0]), number(freeNew[1]), number(freeNew[2]),
                    number(freeListed), number(registered));
    if (dropping > 0)
        text += QStringLiteral(" (%1 dropping)").arg(number(dropping));
    text += QStringLiteral(", %1 unchecked, %2 skipped").arg(number(unchecked), number(skipped));
    if (blank > 0)
        text += QStringLiteral(", %1 blank").arg(number(blank));
    return text;
}
