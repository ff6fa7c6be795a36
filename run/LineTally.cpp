#include "run/LineTally.h"

#include "app/DataFile.h"

#include <QDir>

namespace {

// Endings without a service named one by one; more are counted in one sentence.
constexpr qsizetype NamedEndings = 3;

// Control characters are shown, not written: a report stays one line per skipped line.
QString shownLine(const QString &line)
{
    QString shown;
    for (const QChar c : line.trimmed())
        shown += c.unicode() < 0x20 || c.unicode() == 0x7F
            ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
            : QString(c);
    return shown;
}

}   // namespace

void LineTally::clear()
{
    m_skipped.fill(0);
    m_overlong = 0;
    m_unserved.clear();
    m_unservedElsewhere = 0;
}

QStringList LineTally::namesOf(
    const QString &line, const QStringList &endings, const std::function<void(const QString &why)> &skipped)
{
    QStringList asked;
    for (const Names::LookupName &name : Names::namesOfLine(line, endings)) {
        if (!name.isAsked()) {
            ++m_skipped[size_t(name.skip)];
            if (skipped && name.skip != Names::Skip::Blank)
                skipped(Names::skipReason(shownLine(line), name.skip));
        } else if (m_served && !m_served(name.name)) {
            const QString ending = name.name.section(QLatin1Char('.'), -1);
            if (m_unserved.contains(ending) || m_unserved.size() < MaxEndingsKept)
                ++m_unserved[ending];
            else
                ++m_unservedElsewhere;
            if (skipped)
                skipped(name.name + QStringLiteral(": no registry service is known for its ending"));
        } else {
            asked << name.name;
        }
    }
    return asked;
}

QStringList LineTally::skipOverlong(const QString &shown, const std::function<void(const QString &why)> &skipped)
{
    ++m_overlong;
    if (skipped)
        skipped(QStringLiteral("\"%1\" is a line longer than %2 KB, not a name")
                    .arg(shownLine(shown), QString::number(DataFile::MaxEntryBytes / 1024)));
    return {};
}

QString LineTally::text(const QString &listPath) const
{
    QStringList skipped;
    if (m_overlong > 0)
        skipped << QStringLiteral("%1 %2 longer than %3 KB (not names)")
                       .arg(QString::number(m_overlong),
                           m_overlong == 1 ? QStringLiteral("line") : QStringLiteral("lines"),
                           QString::number(DataFile::MaxEntryBytes / 1024));
    for (int reason = 0; reason < Names::SkipKinds; ++reason) {
        if (const QString text = Names::skipText(Names::Skip(reason), m_skipped[size_t(reason)]);
            m_skipped[size_t(reason)] > 0 && !text.isEmpty())
            skipped << text;
    }
    QStringList sentences;
    if (!skipped.isEmpty())
        sentences << QStringLiteral("Skipped in %1: %2.")
                         .arg(QDir::toNativeSeparators(listPath), skipped.join(QStringLiteral(" and ")));
    const auto names = [](qint64 count) {
        return count == 1 ? QStringLiteral("1 name") : QStringLiteral("%1 names").arg(count);
    };
    // A sentence for each of a few endings; past them, one for all, naming the first.
    if (m_unserved.size() <= NamedEndings && m_unservedElsewhere == 0) {
        for (auto ending = m_unserved.cbegin(); ending != m_unserved.cend(); ++ending)
            sentences << QStringLiteral("%1 under .%2: no registry service is known for it.")
                             .arg(names(ending.value()), ending.key());
    } else if (!m_unserved.isEmpty()) {
        const QStringList endings = m_unserved.keys().mid(0, NamedEndings);
        const qsizetype others = m_unserved.size() - endings.size();
        sentences << QStringLiteral("%1 under endings no registry service is known for: .%2 and %3%4 others.")
                         .arg(names(unservedNames()), endings.join(QStringLiteral(", .")),
                             m_unservedElsewhere > 0 ? QStringLiteral("more than ") : QString(),
                             QString::number(others));
    }
    return sentences.join(QLatin1Char(' '));
}
