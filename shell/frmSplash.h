#pragma once
#include "shell/Skin.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

// The first window of the program: it loads the branding, publishes the skin and, after 75 ticks
// of its timer, hands over to the main window.
class frmSplash : public QWidget
{
    Q_OBJECT

public:
    explicit frmSplash(QWidget *parent = nullptr);
    ~frmSplash() override;

    // Makes and shows the main window at the hand-over; returns it. The program's entry point sets it.
    std::function<QWidget *()> showMainWindow;
    QWidget *mainWindow() const { return m_mainWindow; }

    void Timer2_Timer();

    PictureBox *Image1 = nullptr;
    SkinObject skn;
    QTimer *Timer2 = nullptr;

private:
    void Form_Load();

    quint16 m_ticks = 0;
    QPointer<QWidget> m_mainWindow;
};

// The product picture: the product name on the skin's colours, drawn at the size asked.
QPixmap productPicture(const QSize &size);
