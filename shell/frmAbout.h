#pragma once
#include <QWidget>

class QLabel;
class PictureBox;
class SkinLabel;

// The about box: product name, version, owner, website, a notice and the product picture. It has no
// buttons and is closed through its title bar.
class frmAbout : public QWidget
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget *parent = nullptr);

    SkinLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    SkinLabel *lblVersion = nullptr;
    QLabel *Label3 = nullptr;
    SkinLabel *lblCompany = nullptr;
    QLabel *Label4 = nullptr;
    SkinLabel *lblWebsite = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    SkinLabel *lblFolder = nullptr;
    PictureBox *Picture1 = nullptr;
    SkinLabel *SkinLabel1 = nullptr;   // element 0, the template of the label conversion

    static const QString Notice;

private:
    void Form_Load();
};
