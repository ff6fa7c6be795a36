#pragma once
#include <QListWidget>
#include <QStringList>

// The texts of a list box, first to last.
inline QStringList Items(const QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}
