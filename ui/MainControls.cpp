#include "ui/MainControls.h"

#include "results/ResultLists.h"
#include "run/RunControl.h"
#include "shell/Skin.h"
#include "shell/Twips.h"
#include "ui/ResultListWidgets.h"
#include "ui/SummaryLabel.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
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

void MainControls::setupControls(QMainWindow *window)
{
    buildTopBand(window->centralWidget());
    buildResultColumns(window->centralWidget());
    window->statusBar()->setFont(verdanaFont());
    nameControls();
}

// Tests and the skin find the controls by the names the rest of the program knows them by.
void MainControls::nameControls()
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

void MainControls::buildTopBand(QWidget *central)
{
    Frame1 = new QGroupBox(central);
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
    cmdCreate = place(pictureButton(Frame1, QStringLiteral("Search"), QStyle::SP_FileDialogContentsView), 6000, 180,
        795, 675, QStringLiteral("Click here to start your internet search!"));
    cmdWebsite = place(new QPushButton(QStringLiteral("website"), Frame1), 8400, 180, 2295, 675);

    SkinLabel1 = new SkinLabel(Frame1);   // the template of the label conversion
    SkinLabel1->hide();

    // At first only the source choice, Start, Stop and the website button show.
    HideSearchControls();
    HideWordListControls();
    cmdDoSearch->setEnabled(false);
    Command3->setEnabled(false);
    cmdCreate->setEnabled(false);

    // Tab follows the band as it reads: the source and its fields, the endings, then the buttons.
    QWidget *previous = nullptr;
    for (QWidget *next : std::initializer_list<QWidget *> {
             Combo1, txtWordNum, txtSearch, Combo2, txtEndings, cmdCreate, cmdDoSearch, Command3, cmdWebsite}) {
        next->setFocusPolicy(next->focusPolicy() == Qt::NoFocus ? Qt::NoFocus : Qt::StrongFocus);
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
}

void MainControls::buildResultColumns(QWidget *central)
{
    Frame2 = new QGroupBox(QStringLiteral("Domain Name Manager"), central);
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
                QWidget::setTabOrder(previous, next);
            previous = next;
        }
    }
}

QListWidget *MainControls::list(int number) const
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

QLabel *MainControls::label(int number) const
{
    return number >= 1 && number <= 5 ? Labels[size_t(number)] : nullptr;
}

void MainControls::placeControls(const MainLayout &layout)
{
    const auto place = [](QWidget *widget, int left, int placedWidth) {
        const QRect r = Twips::geometry(widget);
        Twips::setGeometry(widget, left, r.y(), placedWidth, r.height());
    };
    place(Frame1, Twips::geometry(Frame1).x(), layout.frame1Width);
    Twips::setGeometry(
        Frame2, Twips::geometry(Frame2).x(), MainLayout::Frame2Top, layout.frame2Width, layout.frame2Height);
    place(cmdWebsite, MainLayout::WebsiteLeft, layout.websiteWidth);
    Twips::setGeometry(lblSummary, layout.summaryLeft, layout.summaryTop, layout.summaryWidth, layout.summaryHeight);
    for (int i = 1; i <= 5; ++i) {
        const size_t n = size_t(i);
        Twips::setGeometry(list(i), layout.listLeft[n], MainLayout::ListTop, layout.listWidth, layout.listHeight);
        place(cmdCopy[n], layout.copyLeft[n], MainLayout::CopyWidth);
        place(cmdClear[n], layout.clearLeft[n], Twips::geometry(cmdClear[n]).width());
        place(Labels[n], layout.labelLeft[n], layout.labelWidth);
    }
}

QWidgetList MainControls::wordListGroup() const
{
    return {txtWordNum, txtWordMax, wLabel1, wLabel2, cmdDoSearch};
}

QWidgetList MainControls::searchGroup() const
{
    return {sLabel1, sLabel2, txtSearch, Combo2, cmdCreate};
}

void MainControls::ShowWordListControls()
{
    for (QWidget *widget : wordListGroup())
        widget->show();
}

// Start stays in its place whatever the source: it is enabled or not, never gone.
void MainControls::HideWordListControls()
{
    for (QWidget *widget : wordListGroup()) {
        if (widget != cmdDoSearch)
            widget->hide();
    }
}

void MainControls::ShowSearchControls()
{
    for (QWidget *widget : searchGroup())
        widget->show();
}

void MainControls::HideSearchControls()
{
    for (QWidget *widget : searchGroup())
        widget->hide();
}
