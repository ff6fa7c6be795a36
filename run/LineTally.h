#pragma once
#include "engine/LookupName.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

// What the lines of a list come to: the names asked, and the lines and names skipped with why. A run
// and a dry run read a list through it, so that both ask and skip the same names.
class LineTally
{
public:
    // Whether a name's ending has a service that can be asked; names without one are skipped and
    // counted by ending.
    using Served = std::function<bool(const QString &name)>;
    void setServed(Served served) { m_served = std::move(served); }
    void clear();

    // The names of the line that are asked, in order; `skipped` hears why each other one is not.
    QStringList namesOf(
        const QString &line, const QStringList &endings, const std::function<void(const QString &why)> &skipped = {});
    // A line too long to be a name, shown by its start: counted, and `skipped` hears why.
    QStringList skipOverlong(const QString &shown, const std::function<void(const QString &why)> &skipped = {});
    qint64 skipped(Names::Skip reason) const { return m_skipped[size_t(reason)]; }
    qint64 overlong() const { return m_overlong; }
    bool skippedUnserved() const { return unservedNames() > 0; }
    qint64 unservedNames() const
    {
        qint64 names = m_unservedElsewhere;
        for (const qint64 count : m_unserved)
            names += count;
        return names;
    }
    // "Skipped in LIST: 2 lines that hold more than a name. 3 names under .zz: no registry service is
    // known for it."; empty when nothing was skipped.
    QString text(const QString &listPath) const;

private:
    std::array<qint64, Names::SkipKinds> m_skipped {};
    qint64 m_overlong = 0;
    // Names skipped because no service is known for their ending, by ending; past MaxEndingsKept
    // endings (a list of made-up endings), only counted.
    static constexpr qsizetype MaxEndingsKept = 100;
    QMap<QString, qint64> m_unserved;
    qint64 m_unservedElsewhere = 0;
    Served m_served;
};
