#pragma once
#include <QMessageBox>
#include <QPushButton>
#include <functional>

// A message that never blocks: runs and the other windows go on while it is open.
inline void showMessage(
    QWidget *parent, const QString &title, const QString &text, QMessageBox::Icon icon = QMessageBox::Warning)
{
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

// A question that never blocks either: `yes` runs once the user presses its button, if `context`
// still lives; the other button, Escape or closing the box leaves everything as it was.
inline void askFirst(QWidget *parent, const QString &title, const QString &text, const QString &yesText,
    const QString &noText, QObject *context, std::function<void()> yes)
{
    auto *box = new QMessageBox(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton *yesButton = box->addButton(yesText, QMessageBox::AcceptRole);
    box->setEscapeButton(box->addButton(noText, QMessageBox::RejectRole));
    box->setDefaultButton(yesButton);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    QObject::connect(
        box, &QMessageBox::buttonClicked, context, [yesButton, yes = std::move(yes)](QAbstractButton *clicked) {
            if (clicked == yesButton)
                yes();
        });
    box->show();
}
