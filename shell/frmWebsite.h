#pragma once
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QWebEngineView;
class SkinLabel;

// The website window's layout for a window size, in twips; every size is kept from going negative.
struct WebsiteLayout {
    int panelWidth = 0;
    int browserFrameWidth = 0;
    int browserFrameHeight = 0;
    int text1Width = 0;
    int command3Left = 0;
    int webBrowserWidth = 0;
    int webBrowserHeight = 0;
};
WebsiteLayout computeWebsiteLayout(int width, int height, int statusBarHeight);

// A small web browser: it opens on the website address, and shows a name's purchase page.
class frmWebsite : public QWidget
{
    Q_OBJECT

public:
    // Design geometry inside the browser frame, in twips.
    static constexpr int Text1Left = 660;
    static constexpr int Command3Width = 615;
    static constexpr int WebBrowserLeft = 120;
    static constexpr int WebBrowserTop = 1140;

    explicit frmWebsite(QWidget *parent = nullptr);

    void navigate(const QString &address);
    void Command3_Click();
    void layoutWindow();

    QGroupBox *frmBrowser = nullptr;
    QLabel *Label5 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *Command6 = nullptr;
    QPushButton *Command7 = nullptr;
    QWebEngineView *WebBrowser1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *panel1 = nullptr;
    QLabel *panel2 = nullptr;
    SkinLabel *SkinLabel1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load();
    void downloadComplete();
};
