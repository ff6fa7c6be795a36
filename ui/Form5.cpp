#include "ui/Form5.h"

#include "app/DataFile.h"
#include "app/Helpers.h"
#include "app/ProgramFiles.h"
#include "app/Settings.h"
#include "results/ResultLists.h"
#include "run/CheckSession.h"
#include "shell/Branding.h"
#include "shell/Skin.h"
#include "shell/Twips.h"
#include "shell/WindowKeys.h"
#include "ui/Messages.h"
#include "ui/PageMarkup.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

const QStringList Form5::QuickLinks = {
    "Dogpile", "Froogle", "MSN", "Hotbot", "Altavista", "AfterNIC", "DMOZ", "Google", "Yahoo"};

namespace {

constexpr int ListTop = 2280;
constexpr int BrowserLeft = 5160;
constexpr int BrowserTop = 1560;

QPushButton *button(QWidget *parent, const QString &caption, int left, int top, int width, int height = 375,
    const QString &toolTip = {})
{
    auto *button = new QPushButton(caption, parent);
    Twips::setGeometry(button, left, top, width, height);
    button->setToolTip(toolTip);
    return button;
}

// A quick link's home page, made from its caption; the two engines use their configured hosts.
QString quickLinkAddress(const QString &caption)
{
    if (caption == QLatin1String("Google"))
        return QStringLiteral("http://") + Settings::GoogleHost.get() + '/';
    if (caption == QLatin1String("Yahoo"))
        return QStringLiteral("http://") + Settings::YahooHost.get() + '/';
    return QStringLiteral("http://www.") + caption.toLower() + QStringLiteral(".com/");
}

QString browserSearchPath()
{
    return ProgramFiles::path(ProgramFiles::File::BrowserSearch);
}

void deleteBrowserSearch()
{
    if (Helpers::FileExists(browserSearchPath()))
        QFile::remove(browserSearchPath());
}

}   // namespace

Form5::Form5(CheckSession &session, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_session(session)
    , m_checker(session.results(), session.service())
{
    setWindowTitle(QStringLiteral("Quillon"));
    setAttribute(Qt::WA_DeleteOnClose);
    closeOnEscape(this);
    resize(Twips::toPixels(15000), Twips::toPixels(10500));
    buildControls();
    Form_Load();
}

// The pages go first, while the window is whole: a page read still pending is answered as it goes.
Form5::~Form5()
{
    m_closing = true;
    // Closing the window (in QWidget's destructor, after this one) takes the focus from an edited
    // address box, which then activates its address: nothing of this window may answer by then.
    disconnect(Text1, nullptr, this, nullptr);
    delete WebBrowser2;
    delete WebBrowser1;
    WebBrowser2 = WebBrowser1 = nullptr;
    m_session.releaseFolder(this);
}

void Form5::closeEvent(QCloseEvent *event)
{
    deleteBrowserSearch();   // the names found here do not outlive the window
    m_session.releaseFolder(this);
    QWidget::closeEvent(event);
}

// The checks write the profile files as a run does: they hold the program folder as a run does.
void Form5::startChecks()
{
    if (const QString refused = m_session.holdFolder(this); !refused.isEmpty()) {
        tell(refused + QStringLiteral(" The names found here are not checked until this window is opened again."));
        return;
    }
    m_checker.start();
}

void Form5::tell(const QString &text)
{
    showMessage(this, windowTitle(), text);
}

void Form5::buildControls()
{
    Frame1 = new QGroupBox(this);
    Twips::setGeometry(Frame1, 0, 0, 15000, 1500);
    SkinLabel2 = new QLabel(QStringLiteral("URL:"), Frame1);
    Twips::setGeometry(SkinLabel2, 120, 180, 450, 255);
    Text1 = new QComboBox(Frame1);
    Text1->setEditable(true);
    Twips::setGeometry(Text1, 600, 120, 6000, 315);
    Command1 =
        button(Frame1, QStringLiteral("Go"), 6700, 120, 615, 315, QStringLiteral("Navigate to the current url!"));
    cmdBack = button(Frame1, QStringLiteral("Back"), 120, 540, 800, 375, QStringLiteral("Go Back"));
    cmdFwd = button(Frame1, QStringLiteral("Forward"), 960, 540, 800, 375, QStringLiteral("Go Forward"));
    cmdHome = button(Frame1, QStringLiteral("Home"), 1800, 540, 800);
    cmdRefresh = button(Frame1, QStringLiteral("Refresh"), 2640, 540, 800);
    cmdStop = button(Frame1, QStringLiteral("Stop"), 3480, 540, 800);
    Frame2 = new QGroupBox(Frame1);
    Twips::setGeometry(Frame2, 120, 960, 9120, 480);
    for (int i = 0; i < 9; ++i) {
        Command2[size_t(i)] = button(Frame2, QuickLinks[i], 60 + i * 1000, 60, 960);
        connect(
            Command2[size_t(i)], &QPushButton::clicked, this, [this, i] { navigate(quickLinkAddress(QuickLinks[i])); });
    }
    SkinLabel1 = new SkinLabel(this);
    SkinLabel1->hide();

    struct Column {
        int number;
        int left;
        const char *caption;
    };
    for (const Column &column : {Column {1, 120, "Unregistered:"}, Column {2, 2640, "Registered:"}}) {
        const size_t i = size_t(column.number);
        auto *label = new QLabel(QString::fromLatin1(column.caption), this);
        Twips::setGeometry(label, column.left, 1560, 2400, 255);
        cmdCopy[i] = button(this, QStringLiteral("Copy"), column.left, 1860, 1150, 375, QStringLiteral("Copy List"));
        cmdClear[i] =
            button(this, QStringLiteral("Clear"), column.left + 1250, 1860, 1150, 375, QStringLiteral("Clear List"));
        auto *list = new QListWidget(this);
        Twips::setGeometry(list, column.left, ListTop, 2400, 6000);
        connect(cmdCopy[i], &QPushButton::clicked, this, [this, column] { cmdCopy_Click(column.number); });
        connect(cmdClear[i], &QPushButton::clicked, this, [this, column] { cmdClear_Click(column.number); });
        connect(list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { emit openDomain(item->text()); });
        (column.number == 1 ? Label1 : Label2) = label;
        (column.number == 1 ? List1 : List2) = list;
    }
    List1->setToolTip(QStringLiteral("These domain names have not been registered."));

    WebBrowser1 = new QWebEngineView(this);
    WebBrowser1->setToolTip(QStringLiteral("Searching for unique .com, .net and .org domain names."));
    Twips::setGeometry(WebBrowser1, BrowserLeft, BrowserTop, 9700, 7000);
    WebBrowser2 = new QWebEngineView(this);   // loads the frames' pages out of sight
    WebBrowser2->hide();
    StatusBar1 = new QStatusBar(this);
    for (QLabel *&panel : panels) {
        panel = new QLabel(StatusBar1);
        StatusBar1->addWidget(panel, 1);
    }

    // Enter in the address box is the combo box's own: it adds the address (once) and activates it.
    connect(Command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    connect(Text1, &QComboBox::activated, this, [this](int index) {
        if (index >= 0)
            navigate(Text1->itemText(index));
    });
    connect(cmdBack, &QPushButton::clicked, WebBrowser1, &QWebEngineView::back);
    connect(cmdFwd, &QPushButton::clicked, WebBrowser1, &QWebEngineView::forward);
    connect(cmdHome, &QPushButton::clicked, this, [this] { navigate(quickLinkAddress(QStringLiteral("Yahoo"))); });
    connect(cmdRefresh, &QPushButton::clicked, WebBrowser1, &QWebEngineView::reload);
    connect(cmdStop, &QPushButton::clicked, WebBrowser1, &QWebEngineView::stop);
    connect(WebBrowser1, &QWebEngineView::loadStarted, this, [this] {
        ++m_loadNumber;
        m_pageCount = 0;
        m_followedFrames.clear();
        m_framesToFollow.clear();
        showPanel(2, QStringLiteral("Waiting for page to load"));
    });
    connect(
        WebBrowser1->page(), &QWebEnginePage::linkHovered, this, [this](const QString &link) { showPanel(3, link); });
    connect(WebBrowser1, &QWebEngineView::titleChanged, this, [this](const QString &title) {
        Text1->setEditText(WebBrowser1->url().toString());
        setWindowTitle(branding().productName + QStringLiteral(" - ") + title);
    });
    connect(WebBrowser1->page(), &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            return;
        showPanel(3, QStringLiteral("Done"));
        if (!PageMarkup::showsServersPage(info)) {
            showPanel(2,
                QStringLiteral("The page did not load (%1): no names are taken from it.")
                    .arg(PageMarkup::failure(info)));
            return;
        }
        showPanel(2, QStringLiteral("Found %1 unique domains on page.").arg(m_pageCount));
        documentComplete(WebBrowser1);
    });
    connect(WebBrowser2->page(), &QWebEnginePage::loadingChanged, this, [this](const QWebEngineLoadingInfo &info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            return;
        if (PageMarkup::showsServersPage(info))
            documentComplete(WebBrowser2);
        else
            followNextFrame();
    });

    connect(&m_checker, &HarvestChecker::checking, this,
        [this](const QString &name) { showPanel(1, QStringLiteral("Checking status of: ") + name); });
    connect(&m_checker, &HarvestChecker::unregistered, this, [this](const QString &name) {
        const ResultLists &results = m_session.results();
        const int profiles =
            results.counter(ResultList::High) + results.counter(ResultList::Mid) + results.counter(ResultList::Low);
        Label1->setText(QStringLiteral("Unregistered: (%1)").arg(profiles));
        List1->addItem(name);
        showPanel(1, QStringLiteral("Unregistered: ") + name);
    });
    connect(&m_checker, &HarvestChecker::registered, this, [this](const QString &name) {
        Label2->setText(QStringLiteral("Registered: (%1)").arg(m_session.results().counter(ResultList::Registered)));
        List2->addItem(name);
    });
    connect(&m_checker, &HarvestChecker::idle, this, [this] {
        const ResultLists &results = m_session.results();
        const int checked = results.counter(ResultList::High) + results.counter(ResultList::Mid)
            + results.counter(ResultList::Low) + results.counter(ResultList::Registered);
        showPanel(1, QStringLiteral("Checked %1 unique domains.").arg(checked));
        if (m_pageCount > 0)
            showPanel(2, QStringLiteral("Finished %1 domains on page").arg(m_pageCount));
    });
}

void Form5::Form_Load()
{
    LoadBranding();
    if (branding().skinningOn) {
        Skin::convertLabels(this, SkinLabel1, false);
        Skin::ApplySkin(this);
    }
    m_foundTotal = 0;
    deleteBrowserSearch();
    startChecks();
    navigate(quickLinkAddress(QStringLiteral("Yahoo")));
}

void Form5::navigate(const QString &address)
{
    WebBrowser1->load(QUrl::fromUserInput(address));
}

void Form5::Command1_Click()
{
    const QString address = Text1->currentText();
    if (Text1->findText(address) < 0)
        Text1->addItem(address);
    navigate(address);
}

void Form5::cmdCopy_Click(int index)
{
    QListWidget *list = index == 1 ? List1 : List2;
    QString text;
    for (int row = 0; row < list->count(); ++row)
        text += list->item(row)->text() + QStringLiteral("\r\n");
    QApplication::clipboard()->clear();
    QApplication::clipboard()->setText(text);
}

// Clearing the unregistered list also forgets the names seen, so that they are found again. The
// main window's counters stay: its lists still hold those names.
void Form5::cmdClear_Click(int index)
{
    if (index == 1) {
        List1->clear();
        m_windowList = DomainList();
        Label1->setText(QStringLiteral("Unregistered:"));
        return;
    }
    List2->clear();
    m_session.results().resetCounter(ResultList::Registered);
    Label2->setText(QStringLiteral("Registered:"));
}

void Form5::documentComplete(QWebEngineView *browser)
{
    const QPointer<Form5> alive(this);
    const bool frame = browser == WebBrowser2;
    const int loadNumber = m_loadNumber;
    browser->page()->runJavaScript(PageMarkup::BodyScript, [alive, frame, loadNumber](const QVariant &body) {
        if (!alive || alive->m_closing)
            return;   // the window closed while the page was read
        // A page left before its read came back still gives its names, but the panel and the
        // count belong to the page now shown.
        alive->ExtractDomains(body.toString(), frame || loadNumber == alive->m_loadNumber);
        if (frame)
            alive->followNextFrame();
    });
}

void Form5::ExtractDomains(const QString &body, bool shownPage)
{
    const Extraction found = DomainExtraction::ExtractDomains(body, ExtractVariant::Browser, m_windowList);
    if (shownPage)
        m_pageCount += int(found.names.size());
    m_foundTotal += found.names.size();
    QString error;
    if (!DataFile::append(browserSearchPath(), found.names + QStringList {QString()}, &error) && !m_appendProblemTold) {
        m_appendProblemTold = true;   // told once: every page after it would tell the same
        tell(QStringLiteral("The names found could not be written to %1: %2. They are not checked.")
                 .arg(QDir::toNativeSeparators(browserSearchPath()), error));
    }
    if (shownPage)
        showPanel(2, QStringLiteral("Found %1 unique domains on page").arg(m_pageCount));
    for (const QString &frame : found.frames) {
        if (!m_followedFrames.contains(frame)) {
            m_followedFrames.insert(frame);
            m_framesToFollow.append(frame);
        }
    }
    if (!WebBrowser2->property("busy").toBool())
        followNextFrame();
    m_checker.CheckNext();
}

// Frames are loaded one after the other in the second browser.
void Form5::followNextFrame()
{
    WebBrowser2->setProperty("busy", !m_framesToFollow.isEmpty());
    if (m_framesToFollow.isEmpty())
        return;
    const QString frame = m_framesToFollow.takeFirst();
    showPanel(2, QStringLiteral("Following Frame: ") + frame);
    WebBrowser2->load(QUrl::fromUserInput(frame));
}

void Form5::showPanel(int number, const QString &text)
{
    panels[size_t(number - 1)]->setText(text);
}

void Form5::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutWindow();
}

void Form5::layoutWindow()
{
    if (isMinimized())
        return;
    const int width = Twips::fromPixels(this->width());
    const int height = Twips::fromPixels(this->height());
    if (width < MinimumSize || height < MinimumSize) {
        // The new size raises another resize, which lays the window out.
        resize(Twips::toPixels(std::max(width, MinimumSize)), Twips::toPixels(std::max(height, MinimumSize)));
        return;
    }
    const int status = Twips::fromPixels(StatusBar1->sizeHint().height());
    StatusBar1->setGeometry(0, this->height() - Twips::toPixels(status), this->width(), Twips::toPixels(status));
    Twips::setGeometry(Frame1, 0, 0, width, 1500);
    Twips::setGeometry(
        WebBrowser1, BrowserLeft, BrowserTop, width - BrowserLeft - 125, height - BrowserTop - status - 700);
    for (QListWidget *list : {List1, List2}) {
        const QRect r = Twips::geometry(list);
        Twips::setGeometry(list, r.x(), ListTop, r.width(), height - ListTop - status - 800);
    }
    const QRect text = Twips::geometry(Text1);
    const QRect go = Twips::geometry(Command1);
    const int textWidth = width - text.x() - go.width() - 250;
    Twips::setGeometry(Text1, text.x(), text.y(), textWidth, text.height());
    Twips::setGeometry(Command1, text.x() + textWidth + 100, go.y(), go.width(), go.height());
}
