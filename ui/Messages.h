#pragma once
#include <QMessageBox>

// A message that never blocks: runs and the other windows go on while it is open.
inline void showMessage(
    QWidget *parent, const QString &title, const QString &text, QMessageBox::Icon icon = QMessageBox::Warning)
{
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}
