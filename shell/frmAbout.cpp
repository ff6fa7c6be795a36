#include "shell/frmAbout.h"

#include "Version.h"
#include "app/ProgramFolder.h"
#include "shell/Branding.h"
#include "shell/Skin.h"
#include "shell/Twips.h"
#include "shell/WindowKeys.h"
#include "shell/frmSplash.h"

#include <QDir>

const QString frmAbout::Notice =
    QStringLiteral("This software is protected by copyright law. Copying or distributing it, or any part of it, "
                   "without the owner's permission is not allowed.");

namespace {

template<typename Label> Label *place(Label *label, QWidget *parent, int left, int top, int width, int height)
{
    label->setParent(parent);
    Twips::setGeometry(label, left, top, width, height);
    return label;
}

}   // namespace

frmAbout::frmAbout(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    // Unloaded on close: the next opening loads afresh.
    setAttribute(Qt::WA_DeleteOnClose);
    closeOnEscape(this);
    resize(Twips::toPixels(7200), Twips::toPixels(3600));
    Picture1 = place(new PictureBox, this, 120, 120, 1800, 1800);
    Picture1->setPixmap(productPicture(Picture1->size()));
    Label1 = place(new SkinLabel, this, 2100, 120, 4000, 360);
    QFont title = Label1->font();
    title.setBold(true);
    title.setPointSizeF(12);
    Label1->setFont(title);
    Label2 = place(new QLabel(QStringLiteral("Version:")), this, 2100, 600, 1200, 255);
    lblVersion = place(new SkinLabel, this, 3360, 600, 2800, 255);
    Label3 = place(new QLabel(QStringLiteral("Owned By:")), this, 2100, 900, 1200, 255);
    lblCompany = place(new SkinLabel, this, 3360, 900, 2800, 255);
    Label4 = place(new QLabel(QStringLiteral("Website:")), this, 2100, 1200, 1200, 255);
    lblWebsite = place(new SkinLabel, this, 3360, 1200, 3700, 255);
    Label6 = place(new QLabel(QStringLiteral("Folder:")), this, 2100, 1500, 1200, 255);
    lblFolder = place(new SkinLabel, this, 3360, 1500, 3700, 255);
    Label5 = place(new QLabel(Notice), this, 120, 2100, 6960, 1300);
    Label5->setWordWrap(true);
    SkinLabel1 = place(new SkinLabel, this, 0, 0, 15, 15);
    SkinLabel1->hide();
    Form_Load();
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About ") + branding().productName);
    Label1->setText(QStringLiteral(TAMARIND_PRODUCT_NAME));
    lblCompany->setText(QStringLiteral(TAMARIND_OWNER_NAME));
    lblVersion->setText(majorMinorVersion());
    lblWebsite->setText(QStringLiteral(TAMARIND_WEBSITE));
    // Where the result lists are: a per-user folder once installed, the program's own in a build.
    lblFolder->setText(QDir::toNativeSeparators(ProgramFolder::path()));
    lblFolder->setToolTip(lblFolder->text());
    if (branding().skinningOn) {
        Skin::convertLabels(this, SkinLabel1, false);
        Skin::ApplySkin(this);
    }
}
