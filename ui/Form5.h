#pragma once
#include "harvest/ExtractDomains.h"
#include "harvest/HarvestChecker.h"

#include <QSet>
#include <QStringList>
#include <QWidget>
#include <array>

class CheckSession;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QStatusBar;
class QWebEngineView;
class SkinLabel;

// The browser harvest window: every page the user browses, and every frame in it, is searched for
// names; they go to BrowserSearch.txt and are checked one at a time while the user browses on.
class Form5 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int MinimumSize = 6500;   // twips
    static const QStringList QuickLinks;

    explicit Form5(CheckSession &session, QWidget *parent = nullptr);
    ~Form5() override;

    HarvestChecker &checker() { return m_checker; }
    void navigate(const QString &address);
    void Command1_Click();
    void cmdCopy_Click(int index);
    void cmdClear_Click(int index);
    void layoutWindow();

    QWebEngineView *WebBrowser1 = nullptr;
    QWebEngineView *WebBrowser2 = nullptr;
    bool m_closing = false;   // the window is going: what its pages still tell is dropped
    QComboBox *Text1 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdFwd = nullptr;
    QPushButton *cmdHome = nullptr;
    QPushButton *cmdRefresh = nullptr;
    QPushButton *cmdStop = nullptr;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    std::array<QPushButton *, 9> Command2 {};
    QListWidget *List1 = nullptr;
    QListWidget *List2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    std::array<QPushButton *, 3> cmdCopy {};   // index 1 List1, 2 List2
    std::array<QPushButton *, 3> cmdClear {};
    QStatusBar *StatusBar1 = nullptr;
    std::array<QLabel *, 3> panels {};
    SkinLabel *SkinLabel1 = nullptr;
    QLabel *SkinLabel2 = nullptr;

signals:
    // A name double-clicked in one of the window's lists.
    void openDomain(const QString &name);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void documentComplete(QWebEngineView *browser);

    void ExtractDomains(const QString &body, bool shownPage);
    void followNextFrame();
    void showPanel(int number, const QString &text);

    void startChecks();
    void tell(const QString &text);

    CheckSession &m_session;
    HarvestChecker m_checker;
    bool m_appendProblemTold = false;
    DomainList m_windowList;
    int m_pageCount = 0;
    int m_loadNumber = 0;   // counts the address bar's loads: a page read that ends late is not the one shown
    qint64 m_foundTotal = 0;
    QStringList m_framesToFollow;
    QSet<QString> m_followedFrames;   // per page: a frame pointing at itself is followed once
};
