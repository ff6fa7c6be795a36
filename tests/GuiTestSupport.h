#pragma once
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QStringList>
#include <QTest>

#include "TestSupport.h"

// A control of a window by its name ("List3", "cmdDoSearch"); a missing one ends the test.
template<typename T = QWidget> T *control(const QObject &window, const QString &name)
{
    T *control = window.findChild<T *>(name);
    if (!control)
        qFatal("no control %s", qPrintable(name));
    return control;
}

// The texts of a list box, first to last.
inline QStringList items(const QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

// The texts of the messages a window shows.
inline QStringList messageTexts(const QWidget &window)
{
    QStringList texts;
    for (const QMessageBox *box : window.findChildren<QMessageBox *>())
        texts << box->text();
    return texts;
}

// Presses OK on the message the window shows, once it shows one; the text it had, or a null text
// when none came in time.
inline QString acceptMessage(QWidget &window, int timeoutMs = 30000)
{
    QMessageBox *shown = nullptr;
    (void)waitUntil(
        [&] {
            for (QMessageBox *box : window.findChildren<QMessageBox *>()) {
                if (box->isVisible())
                    shown = box;
            }
            return shown != nullptr;
        },
        timeoutMs);
    if (!shown)
        return {};
    const QString text = shown->text();
    shown->button(QMessageBox::Ok)->click();
    return text;
}

// Presses the button of that text on the question the window shows, once it shows one; the
// question's text, or a null text when none came in time.
inline QString answerQuestion(QWidget &window, const QString &press, int timeoutMs = 10000)
{
    QAbstractButton *pressed = nullptr;
    QString text;
    (void)waitUntil(
        [&] {
            for (QMessageBox *box : window.findChildren<QMessageBox *>()) {
                for (QAbstractButton *button : box->buttons()) {
                    if (box->isVisible() && button->text() == press) {
                        pressed = button;
                        text = box->text();
                    }
                }
            }
            return pressed != nullptr;
        },
        timeoutMs);
    if (pressed)
        pressed->click();
    return text;
}

// Picks an entry of the main window's source list as a user does: a click on it in the open list.
inline void choose(QWidget &window, int entry)
{
    auto *combo = control<QComboBox>(window, "Combo1");
    combo->showPopup();
    QAbstractItemView *view = combo->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(combo->model()->index(entry, 0)).center());
}

// A double-click on a row of a list box.
inline void doubleClick(QListWidget *list, int row)
{
    const QPoint centre = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}
