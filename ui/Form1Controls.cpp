// The main window's controls as the program's designer laid them out: the top band, the result
// columns, the status bar and the menus, each control named as the rest of the program knows it,
// and their placement when the window's size changes. The handlers are in Form1.cpp.
#include "ui/Form1.h"

#include "app/Settings.h"
#include "run/TopBand.h"
#include "shell/Skin.h"
#include "shell/Twips.h"
#include "shell/frmAbout.h"
#include "ui/ResultListWidgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

namespace {

QFont verdanaFont(bool bold = false)
{
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);   // the nearest sans-serif where Verdana is missing
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

template<typename Widget>
Widget *place(Widget *widget, int left, int top, int width, int height, const QString &toolTip = {})
{
    Twips::setGeometry(widget, left, top, width, height);
    widget->setFont(verdanaFont());
    if (!toolTip.isEmpty())
        widget->setToolTip(toolTip);
    return widget;
}

QToolButton *pictureButton(QWidget *parent, const QString &caption, QStyle::StandardPixmap picture)
{
    auto *button = new QToolButton(parent);
    button->setText(caption);
    button->setIcon(parent->style()->standardIcon(picture));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    return button;
}

const QString SourceToolTip = QStringLiteral("Select the type of search you would like to run");

// The source box acts on a choice, not on every arrow: a source starts windows and reads lists, so
// the arrows and the wheel open the list, where Enter or a click chooses.
class ChoiceOnly : public QObject
{
public:
    explicit ChoiceOnly(QComboBox *box)
        : QObject(box)
        , m_box(box)
    {
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Wheel)
            return true;
        if (event->type() != QEvent::KeyPress)
            return false;
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End: m_box->showPopup(); return true;
        default: return false;
        }
    }

private:
    QComboBox *m_box;
};

}   // namespace

// Tests and the skin find the controls by the names the rest of the program knows them by.
void Form1::nameControls()
{
    const std::initializer_list<std::pair<QWidget *, const char *>> controls = {{Frame1, "Frame1"}, {Frame2, "Frame2"},
        {Label6, "Label6"}, {Combo1, "Combo1"}, {wLabel1, "wLabel1"}, {txtWordNum, "txtWordNum"}, {wLabel2, "wLabel2"},
        {txtWordMax, "txtWordMax"}, {cmdDoSearch, "cmdDoSearch"}, {Command3, "Command3"}, {sLabel1, "sLabel1"},
        {txtSearch, "txtSearch"}, {sLabel2, "sLabel2"}, {Combo2, "Combo2"}, {eLabel1, "eLabel1"},
        {txtEndings, "txtEndings"}, {cmdCreate, "cmdCreate"}, {cmdWebsite, "cmdWebsite"}, {SkinLabel1, "SkinLabel1"},
        {lblSummary, "lblSummary"}};
    for (const auto &[control, name] : controls)
        control->setObjectName(QLatin1String(name));
    for (int number = 1; number <= 5; ++number) {
        list(number)->setObjectName(QStringLiteral("List%1").arg(number));
        Labels[size_t(number)]->setObjectName(QStringLiteral("Label%1").arg(number));
        cmdCopy[size_t(number)]->setObjectName(QStringLiteral("cmdCopy%1").arg(number));
        cmdClear[size_t(number)]->setObjectName(QStringLiteral("cmdClear%1").arg(number));
    }
}

void Form1::buildTopBand()
{
    Frame1 = new QGroupBox(centralWidget());
    Twips::setGeometry(Frame1, -180, 0, 10995, 975);

    Label6 = place(new QLabel(QStringLiteral("Search Type:"), Frame1), 300, 240, 1755, 255, SourceToolTip);
    Combo1 = place(new QComboBox(Frame1), 1620, 180, 2055, 315, SourceToolTip);
    for (int source = int(Source::BrowseForNames); source <= int(Source::CustomList); ++source)
        Combo1->addItem(RunControl::sourceName(Source(source)));
    Combo1->setPlaceholderText(QStringLiteral("Start here!"));
    Combo1->setCurrentIndex(-1);
    new ChoiceOnly(Combo1);

    wLabel1 = place(new QLabel(QStringLiteral("Start Number:"), Frame1), 300, 600, 1335, 255);
    txtWordNum = place(new QLineEdit(QStringLiteral("1"), Frame1), 1620, 540, 2055, 315);
    wLabel2 = place(new QLabel(QStringLiteral("of"), Frame1), 3780, 600, 255, 255);
    txtWordMax = place(new QLineEdit(QStringLiteral("1"), Frame1), 4020, 540, 1875, 315,
        QStringLiteral("The number of entries on your list."));
    txtWordMax->setReadOnly(true);
    txtWordMax->setPlaceholderText(QStringLiteral("no list chosen"));
    txtWordMax->setFocusPolicy(Qt::NoFocus);   // Start, disabled by its own click, hands the focus on past it
    txtWordMax->setStyleSheet(QStringLiteral("QLineEdit { background: #E0E0E0; }"));
    cmdDoSearch = place(pictureButton(Frame1, QStringLiteral("Start"), QStyle::SP_MediaPlay), 6840, 180, 735, 675,
        QStringLiteral("Click here to start searching your list."));
    Command3 = place(pictureButton(Frame1, QStringLiteral("Stop"), QStyle::SP_MediaStop), 7620, 180, 735, 675,
        QStringLiteral("Click here to stop searching names"));

    sLabel1 = place(new QLabel(QStringLiteral("Search String:"), Frame1), 240, 600, 1335, 255);
    txtSearch = place(new QLineEdit(Frame1), 1620, 540, 2055, 315, QStringLiteral("Enter a search string"));
    sLabel2 = place(new QLabel(QStringLiteral("Get:"), Frame1), 3705, 600, 420, 255);
    Combo2 = place(new QComboBox(Frame1), 4140, 540, 1815, 315,
        QStringLiteral("The approximate number of domains to find, if available."));
    Combo2->addItems(
        {"~100 Domains", "~200 Domains", "~500 Domains", "~1000 Domains", "~5000 Domains", "~10000 Domains"});
    // Beside the source: a bare word of any list is asked under each ending, in order.
    const QString endingsTip = QStringLiteral("The endings a bare word is asked under, in order, for example: com io "
                                              "dev. A name with its own ending keeps it.");
    eLabel1 = place(new QLabel(QStringLiteral("Endings:"), Frame1), 3780, 240, 735, 255, endingsTip);
    txtEndings = place(new QLineEdit(Frame1), 4560, 180, 1335, 315);
    m_endingsField.attach(txtEndings);
    showEndings(Settings::endingsList());
    cmdCreate = place(pictureButton(Frame1, QStringLiteral("Search"), QStyle::SP_FileDialogContentsView), 6000, 180,
        795, 675, QStringLiteral("Click here to start your internet search!"));
    cmdWebsite = place(new QPushButton(QStringLiteral("website"), Frame1), 8400, 180, 2295, 675);

    SkinLabel1 = new SkinLabel(Frame1);   // the template of the label conversion
    SkinLabel1->hide();
    connect(cmdWebsite, &QPushButton::clicked, this, [this] { showWebsite(); });
    connect(cmdCreate, &QToolButton::clicked, this, &Form1::cmdCreate_Click);

    // At first only the source choice, Start, Stop and the website button show.
    HideSearchControls();
    for (QWidget *widget : wordListGroup()) {
        if (widget != cmdDoSearch)
            widget->hide();
    }
    cmdDoSearch->setEnabled(false);
    Command3->setEnabled(false);
    cmdCreate->setEnabled(false);

    // Tab follows the band as it reads: the source and its fields, the endings, then the buttons.
    QWidget *previous = nullptr;
    for (QWidget *next : std::initializer_list<QWidget *> {
             Combo1, txtWordNum, txtSearch, Combo2, txtEndings, cmdCreate, cmdDoSearch, Command3, cmdWebsite}) {
        next->setFocusPolicy(next->focusPolicy() == Qt::NoFocus ? Qt::NoFocus : Qt::StrongFocus);
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    }
}

void Form1::buildResultColumns()
{
    Frame2 = new QGroupBox(QStringLiteral("Domain Name Manager"), centralWidget());
    Frame2->setFont(verdanaFont(true));
    Twips::setGeometry(Frame2, 60, 1020, 10755, 5115);

    List3 = new ProfileListWidget(3, Frame2);
    List4 = new ProfileListWidget(4, Frame2);
    List1 = new ProfileListWidget(1, Frame2);
    List2 = new RegisteredListWidget(Frame2);
    List5 = new SavedListWidget(Frame2);
    struct Column {
        int number;
        int left;
        int width;
        const char *toolTip;
    };
    const Column columns[] = {
        {3, 180, 1935, "These domains have less than 5 characters"},
        {4, 2160, 1935, "These domains have 5 to 7 characters"},
        {1, 4140, 1935, "These domains have 8 or more characters."},
        {2, 6120, 1995, "These domain names are already registered."},
        {5, 8400, 1935, "Drag a domain name here to save it."},
    };
    for (const Column &column : columns) {
        const size_t i = size_t(column.number);
        QListWidget *box = list(column.number);
        place(box, column.left, 1080, column.width, 3765, QString::fromLatin1(column.toolTip));

        Labels[i] = new QLabel(plainCaption(ResultList(column.number)), Frame2);
        Twips::setGeometry(Labels[i], column.left, 300, 1815, 195);
        Labels[i]->setFont(verdanaFont(true));

        cmdCopy[i] = place(
            new QPushButton(QStringLiteral("Copy"), Frame2), column.left, 540, 675, 435, QStringLiteral("Copy List"));
        cmdClear[i] = place(new QPushButton(QStringLiteral("Clear"), Frame2), column.left + 720, 540, 675, 435,
            QStringLiteral("Clear List"));
        connect(cmdCopy[i], &QPushButton::clicked, this, [this, column] { cmdCopy_Click(column.number); });
        connect(cmdClear[i], &QPushButton::clicked, this, [this, column] { cmdClear_Click(column.number); });
    }
    lblSummary = new SummaryLabel(Frame2);
    lblSummary->setFont(verdanaFont());
    Twips::setGeometry(lblSummary, 180, 4890, 10395, 195);

    // Tab goes through the columns as they stand: a list's Copy and Clear, then the list.
    QWidget *previous = nullptr;
    for (const Column &column : columns) {
        const size_t i = size_t(column.number);
        for (QWidget *next : {static_cast<QWidget *>(cmdCopy[i]), static_cast<QWidget *>(cmdClear[i]),
                 static_cast<QWidget *>(list(column.number))}) {
            if (previous)
                setTabOrder(previous, next);
            previous = next;
        }
    }
    for (int number = 1; number <= 5; ++number) {
        QListWidget *shown = list(number);
        connect(
            shown, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) { openDomain(item->text()); });
        shown->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(shown, &QWidget::customContextMenuRequested, this,
            [this, number](const QPoint &where) { m_columns.showMenu(number, where); });
        auto *copy = new QShortcut(QKeySequence::Copy, shown, nullptr, nullptr, Qt::WidgetShortcut);
        connect(copy, &QShortcut::activated, this, [this, number] { m_columns.copySelected(number); });
    }
    auto *remove = new QShortcut(QKeySequence::Delete, List5, nullptr, nullptr, Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, this, [this] { m_columns.removeSelectedSaved(); });
    for (ProfileListWidget *profile : {List1, List3, List4})
        connect(profile, &ProfileListWidget::pressed, this, [this](int number) { m_dragSourceMarker = number; });
    connect(List5, &SavedListWidget::textDropped, this, [this](const QString &text, bool fromProfileList) {
        QMimeData payload;
        payload.setText(text);
        List5_OLEDragDrop(&payload, fromProfileList);
        if (!fromProfileList)
            m_columns.tellDragRefused(QStringLiteral("Only names dragged from the High, Mid and Low Profile lists are "
                                                     "saved by a drop: text from elsewhere is not read as names."));
    });
    connect(static_cast<RegisteredListWidget *>(List2), &RegisteredListWidget::dragRefused, this, [this] {
        m_columns.tellDragRefused(
            QStringLiteral("Registered names are not dragged to Saved Domains: right-click them and "
                           "choose Add to Saved Domains."));
    });
}

// Each menu's items are one array, named by their index: mnuEditItem3 is "Clear Low".
void Form1::buildMenus()
{
    const auto addMenu = [this](const QString &name, const QString &caption, const QString &itemName,
                             const QStringList &captions, const std::function<void(int)> &click) {
        QMenu *menu = menuBar()->addMenu(caption);
        menu->setObjectName(name);
        for (int i = 0; i < captions.size(); ++i) {
            QAction *item = menu->addAction(captions[i]);
            item->setObjectName(itemName + QString::number(i));
            connect(item, &QAction::triggered, this, [click, i] { click(i); });
        }
        return menu;
    };
    QMenu *file = addMenu(QStringLiteral("menuFile"), QStringLiteral("&File"), QStringLiteral("mnuFileItem"),
        {QStringLiteral("Exit")}, [this](int) { close(); });
    file->actions().constFirst()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QMenu *edit = addMenu(QStringLiteral("mnuEdit"), QStringLiteral("&Edit"), QStringLiteral("mnuEditItem"),
        {"Clear High/Mid/Low", "Clear High", "Clear Mid", "Clear Low", "Clear Registered", "Clear Saved", "Copy High",
            "Copy Mid", "Copy Low", "Copy Saved"},
        [this](int i) { mnuEditItem_Click(i); });
    edit->insertSeparator(edit->actions().at(6));
    edit->addSeparator();
    QAction *checkAgain = edit->addAction(QStringLiteral("Check Saved Domains Again"), this, &Form1::checkSavedAgain);
    checkAgain->setObjectName(QStringLiteral("mnuCheckSavedAgain"));
    QStringList sources;
    for (int source = int(Source::BrowseForNames); source <= int(Source::CustomList); ++source)
        sources << RunControl::sourceName(Source(source));
    QMenu *tools = addMenu(QStringLiteral("mnuTools"), QStringLiteral("&Tools"), QStringLiteral("mnuToolsItem"),
        sources, [this](int i) { mnuToolsItem_Click(i); });
    tools->addSeparator();
    QAction *dropping = tools->addAction(QStringLiteral("Dropping Names"), this, &Form1::showDroppingNames);
    dropping->setObjectName(QStringLiteral("mnuDroppingNames"));
    QMenu *help = addMenu(QStringLiteral("mnuHelp"), QStringLiteral("&Help"), QStringLiteral("mnuHelpItem"),
        {QStringLiteral("View Help")}, [this](int) { showHelp(); });
    help->actions().constFirst()->setShortcut(QKeySequence(Qt::Key_F1));
    addMenu(QStringLiteral("mnuAbout"), QStringLiteral("&About"), QStringLiteral("mnuAboutItem"),
        {QStringLiteral("About this software")},
        [this](int) { m_windows.show(Windows::Kind::About, [this] { return new frmAbout(this); }); });
}

QListWidget *Form1::list(int number) const
{
    switch (number) {
    case 1: return List1;
    case 2: return List2;
    case 3: return List3;
    case 4: return List4;
    case 5: return List5;
    }
    return nullptr;
}

QLabel *Form1::label(int number) const
{
    return number >= 1 && number <= 5 ? Labels[size_t(number)] : nullptr;
}

void Form1::LayoutMainWindow()
{
    const QSize outer = frameGeometry().size();
    LayoutMainWindow(Twips::fromPixels(outer.width()), Twips::fromPixels(outer.height()));
}

void Form1::LayoutMainWindow(int width, int height)
{
    if (isMinimized())
        return;
    const MainLayout layout = computeMainLayout(width, height, Twips::fromPixels(statusBar()->height()));
    if (layout.enforceMinimum) {
        // The new size raises another resize, which lays the window out.
        const QSize frame = frameGeometry().size() - size();
        auto pixels = [](int twips) { return (twips + Twips::PerPixel - 1) / Twips::PerPixel; };
        resize(pixels(layout.newWidth) - frame.width(), pixels(layout.newHeight) - frame.height());
        return;
    }
    m_layout = layout;
    const auto place = [](QWidget *widget, int left, int placedWidth) {
        const QRect r = Twips::geometry(widget);
        Twips::setGeometry(widget, left, r.y(), placedWidth, r.height());
    };
    place(Frame1, Twips::geometry(Frame1).x(), layout.frame1Width);
    Twips::setGeometry(
        Frame2, Twips::geometry(Frame2).x(), MainLayout::Frame2Top, layout.frame2Width, layout.frame2Height);
    place(cmdWebsite, MainLayout::WebsiteLeft, layout.websiteWidth);
    for (size_t i = 0; i < layout.panelWidths.size(); ++i)
        panel(int(i) + 1)->setFixedWidth(Twips::toPixels(layout.panelWidths[i]));
    Twips::setGeometry(lblSummary, layout.summaryLeft, layout.summaryTop, layout.summaryWidth, layout.summaryHeight);
    for (int i = 1; i <= 5; ++i) {
        const size_t n = size_t(i);
        Twips::setGeometry(list(i), layout.listLeft[n], MainLayout::ListTop, layout.listWidth, layout.listHeight);
        place(cmdCopy[n], layout.copyLeft[n], MainLayout::CopyWidth);
        place(cmdClear[n], layout.clearLeft[n], Twips::geometry(cmdClear[n]).width());
        place(Labels[n], layout.labelLeft[n], layout.labelWidth);
    }
}

QWidgetList Form1::wordListGroup() const
{
    return {txtWordNum, txtWordMax, wLabel1, wLabel2, cmdDoSearch};
}

QWidgetList Form1::searchGroup() const
{
    return {sLabel1, sLabel2, txtSearch, Combo2, cmdCreate};
}

void Form1::buildStatusBar()
{
    statusBar()->setFont(verdanaFont());
    m_status = new RunStatusBar(statusBar(), m_session, m_updates, this);
}
