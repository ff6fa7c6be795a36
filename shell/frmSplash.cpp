#include "shell/frmSplash.h"

#include "shell/Branding.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

QPixmap productPicture(const QSize &size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor(0x2E, 0x5E, 0x8E));
    gradient.setColorAt(1, QColor(0x16, 0x2B, 0x45));
    painter.fillRect(picture.rect(), gradient);
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("Verdana"));
    const QString name = branding().productName.isEmpty() ? QStringLiteral("Tamarind") : branding().productName;
    // As large as a quarter of the height allows, and never wider than the picture.
    font.setPixelSize(
        std::max(8, std::min(size.height() / 4, int(size.width() * 1.4 / std::max<qsizetype>(1, name.size())))));
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, name);
    return picture;
}

frmSplash::frmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    Image1 = new PictureBox(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image1);
    Timer2 = new QTimer(this);
    Timer2->setInterval(2);
    connect(Timer2, &QTimer::timeout, this, &frmSplash::Timer2_Timer);
    Form_Load();
}

frmSplash::~frmSplash()
{
    delete m_mainWindow;
}

void frmSplash::Form_Load()
{
    LoadBranding();
    Image1->setPixmap(productPicture(QSize(480, 270)));
    if (branding().skinningOn) {
        Skin::publish(skn);
        Skin::ApplySkin(this);
        Skin::startCompanion();
    }
    Timer2->start();
}

void frmSplash::Timer2_Timer()
{
    m_ticks += 2;
    if (m_ticks != 150)
        return;
    Timer2->stop();
    if (showMainWindow)
        m_mainWindow = showMainWindow();
    hide();
}
