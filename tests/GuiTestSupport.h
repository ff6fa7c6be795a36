#pragma once
#include <QListWidget>
#include <QMessageBox>
#include <QStringList>

// The texts of a list box, first to last.
inline QStringList Items(const QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

// The texts of the messages a window shows.
inline QStringList MessageTexts(const QWidget &window)
{
    QStringList texts;
    for (const QMessageBox *box : window.findChildren<QMessageBox *>())
        texts << box->text();
    return texts;
}
