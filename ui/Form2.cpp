#include "ui/Form2.h"

#include "shell/Branding.h"
#include "shell/Skin.h"
#include "shell/Twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

const QString Form2::Notice =
    QStringLiteral("One of your lists has reached 20000 entries.  They have been saved and cleared.  You may find "
                   "your backed up lists in the orvanel /overflow/ directory.");

Form2::Form2(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("File backup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(Twips::toPixels(3840), Twips::toPixels(1500));

    Label1 = new QLabel(Notice, this);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Twips::setGeometry(Label1, 60, 60, 3795, 1275);

    Command1 = new QPushButton(QStringLiteral("Ok"), this);
    Twips::setGeometry(Command1, 2580, 840, 1155, 555);
    Command1->setDefault(true);
    // The whole text shows: where it wraps to more lines than fit above the button, the button
    // moves below it and the window grows.
    Label1->resize(Label1->width(), Label1->heightForWidth(Label1->width()));
    const int buttonTop = std::max(Command1->y(), Label1->geometry().bottom() + Twips::toPixels(60));
    Command1->move(Command1->x(), buttonTop);
    setFixedSize(width(), std::max(height(), buttonTop + Command1->height() + Twips::toPixels(105)));
    connect(Command1, &QPushButton::clicked, this, &QDialog::close);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    SkinLabel1 = new SkinLabel(this);   // the template of the label conversion
    SkinLabel1->hide();
    if (branding().skinningOn) {
        Skin::convertLabels(this, SkinLabel1, false);
        Skin::ApplySkin(this);
    }
}
