#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class SkinLabel;

// The "File backup" notice shown when a result list reached its cap. It holds no state and does not
// block the main window.
class Form2 : public QDialog
{
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QPushButton *Command1 = nullptr;
    SkinLabel *SkinLabel1 = nullptr;

    static const QString Notice;
};
