#include "shell/frmWebsite.h"

#include "shell/Branding.h"
#include "shell/OnTop.h"
#include "shell/Shutdown.h"
#include "shell/Skin.h"
#include "shell/Twips.h"
#include "shell/WindowKeys.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

WebsiteLayout computeWebsiteLayout(int width, int height, int statusBarHeight)
{
    WebsiteLayout layout;
    layout.panelWidth = std::abs(width / 2);
    layout.browserFrameHeight = std::abs(height - statusBarHeight);
    layout.browserFrameWidth = std::abs(width - 300);
    layout.text1Width = std::abs(layout.browserFrameWidth - frmWebsite::Text1Left - 300 - frmWebsite::Command3Width);
    layout.command3Left = layout.text1Width + frmWebsite::Text1Left + 100;
    layout.webBrowserWidth = std::abs(layout.browserFrameWidth - frmWebsite::WebBrowserLeft - 100);
    layout.webBrowserHeight = std::abs(layout.browserFrameHeight - frmWebsite::WebBrowserTop - 800 - statusBarHeight);
    return layout;
}

namespace {

QPushButton *button(QWidget *parent, const QString &caption, const QString &toolTip, int left, int top, int width)
{
    auto *button = new QPushButton(caption, parent);
    button->setToolTip(toolTip);
    Twips::setGeometry(button, left, top, width, 375);
    return button;
}

}   // namespace

frmWebsite::frmWebsite(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    closeOnEscape(this);
    resize(Twips::toPixels(11000), Twips::toPixels(8000));
    frmBrowser = new QGroupBox(QStringLiteral("Browser"), this);
    Twips::setGeometry(frmBrowser, 120, 0, 10700, 7400);
    Label5 = new QLabel(QStringLiteral("URL:"), frmBrowser);
    Twips::setGeometry(Label5, 120, 300, 495, 255);
    Text1 = new QLineEdit(frmBrowser);
    Twips::setGeometry(Text1, Text1Left, 240, 6000, 315);
    Command3 =
        button(frmBrowser, QStringLiteral("Go"), QStringLiteral("browse the entered url"), 6760, 240, Command3Width);
    Command4 = button(frmBrowser, QStringLiteral("Back"), QStringLiteral("back"), 120, 660, 855);
    Command5 = button(frmBrowser, QStringLiteral("Forward"), QStringLiteral("forward"), 1020, 660, 855);
    Command6 = button(frmBrowser, QStringLiteral("Stop"), QStringLiteral("stop"), 1920, 660, 855);
    Command7 = button(frmBrowser, QStringLiteral("Refresh"), QStringLiteral("refresh"), 2820, 660, 855);
    WebBrowser1 = new QWebEngineView(frmBrowser);
    Twips::setGeometry(WebBrowser1, WebBrowserLeft, WebBrowserTop, 10400, 5000);
    SkinLabel1 = new SkinLabel(frmBrowser);
    SkinLabel1->hide();
    StatusBar1 = new QStatusBar(this);
    panel1 = new QLabel(StatusBar1);
    StatusBar1->addWidget(panel1);

    connect(Command3, &QPushButton::clicked, this, &frmWebsite::Command3_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &frmWebsite::Command3_Click);
    // Back, Forward, Stop and Refresh do nothing where there is nothing to do.
    connect(Command4, &QPushButton::clicked, WebBrowser1, &QWebEngineView::back);
    connect(Command5, &QPushButton::clicked, WebBrowser1, &QWebEngineView::forward);
    connect(Command6, &QPushButton::clicked, WebBrowser1, &QWebEngineView::stop);
    connect(Command7, &QPushButton::clicked, WebBrowser1, &QWebEngineView::reload);
    // The status text: the link under the mouse while hovering, "Done" once a page has loaded.
    connect(WebBrowser1->page(), &QWebEnginePage::linkHovered, panel1, &QLabel::setText);
    connect(WebBrowser1, &QWebEngineView::loadFinished, this, &frmWebsite::downloadComplete);
    Form_Load();
}

void frmWebsite::Form_Load()
{
    LoadBranding();
    panel2 = new QLabel(StatusBar1);
    StatusBar1->addWidget(panel2);
    setWindowTitle(branding().websiteAddress);
    Helpers::SetOnTop(this, true);
    if (branding().skinningOn) {
        Skin::convertLabels(this, SkinLabel1, true);
        Skin::ApplySkin(this);
    }
    WebBrowser1->load(QUrl::fromUserInput(branding().websiteAddress));
    setWindowState(windowState() | Qt::WindowMaximized);
    Helpers::SetOnTop(this, false);
}

void frmWebsite::navigate(const QString &address)
{
    WebBrowser1->load(QUrl(address));
}

// The address as typed, scheme or not.
void frmWebsite::Command3_Click()
{
    WebBrowser1->load(QUrl::fromUserInput(Text1->text()));
}

void frmWebsite::downloadComplete()
{
    panel1->setText(QStringLiteral("Done"));
    Text1->setText(WebBrowser1->url().toString());
    setWindowTitle(WebBrowser1->title());
}

void frmWebsite::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutWindow();
}

void frmWebsite::layoutWindow()
{
    const int statusHeight = Twips::fromPixels(StatusBar1->sizeHint().height());
    const WebsiteLayout layout =
        computeWebsiteLayout(Twips::fromPixels(width()), Twips::fromPixels(height()), statusHeight);
    panel1->setFixedWidth(Twips::toPixels(layout.panelWidth));
    panel2->setFixedWidth(Twips::toPixels(layout.panelWidth));
    StatusBar1->setGeometry(0, height() - Twips::toPixels(statusHeight), width(), Twips::toPixels(statusHeight));
    const QRect frame = Twips::geometry(frmBrowser);
    Twips::setGeometry(frmBrowser, frame.x(), frame.y(), layout.browserFrameWidth, layout.browserFrameHeight);
    const QRect text = Twips::geometry(Text1);
    Twips::setGeometry(Text1, text.x(), text.y(), layout.text1Width, text.height());
    const QRect go = Twips::geometry(Command3);
    Twips::setGeometry(Command3, layout.command3Left, go.y(), go.width(), go.height());
    Twips::setGeometry(WebBrowser1, WebBrowserLeft, WebBrowserTop, layout.webBrowserWidth, layout.webBrowserHeight);
}
