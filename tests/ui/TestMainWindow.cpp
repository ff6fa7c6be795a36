#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "app/DataFile.h"
#include "shell/OnTop.h"
#include "shell/Twips.h"
#include "shell/frmAbout.h"
#include "ui/Form1.h"
#include "ui/Form2.h"
#include "ui/ResultListWidgets.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

void clickRow(QListWidget *list, int row, Qt::KeyboardModifiers modifiers = {})
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
}

// What a user's menu choice sends: the action's triggered signal.
void chooseMenuItem(Form1 &window, int item)
{
    QAction *action = window.findChild<QAction *>(QString("mnuEditItem%1").arg(item));
    QVERIFY(action);
    action->trigger();
}

// A drop of the data onto the Saved list, as the window system delivers it.
void dropOnSavedList(Form1 &window, QMimeData *data)
{
    // A drop reaches the widget that took the drag's entry.
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(control<QListWidget>(window, "List5")->viewport(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, {});
    QApplication::sendEvent(control<QListWidget>(window, "List5")->viewport(), &drop);
}

}   // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void startUp()
    {
        TestFolders folders;
        writeBytes(folders.file("Remembered.txt"), "\r\n \r\r\nkept.com\r\nalso.net\r\n");
        Form1 window;
        QCOMPARE(items(control<QListWidget>(window, "List5")), (QStringList {"kept.com", "also.net"}));
        QCOMPARE(readBytes(folders.file("Remembered.txt")), QByteArray("\r\n \r\r\nkept.com\r\nalso.net\r\n"));
        QCOMPARE(readBytes(folders.file("Appends.txt")), QByteArray("\r\n"));
        QVERIFY(QFileInfo(folders.file("overflow")).isDir());
        QVERIFY(window.windowTitle().contains(" by "));
        QVERIFY(control<QPushButton>(window, "cmdWebsite")->text().startsWith("Visit "));
        QCOMPARE(control<QGroupBox>(window, "Frame2")->title(),
            QString("Domain Name Manager - Double Click any domain to purchase"));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(control<QComboBox>(window, "Combo1")->isVisible());
        QCOMPARE(control<QComboBox>(window, "Combo1")->currentIndex(), -1);
        QCOMPARE(control<QComboBox>(window, "Combo1")->placeholderText(), QString("Start here!"));
        QCOMPARE(control<QComboBox>(window, "Combo1")->count(), 9);
        QCOMPARE(control<QComboBox>(window, "Combo1")->itemText(0), QString("Browse for names"));
        QCOMPARE(control<QComboBox>(window, "Combo1")->itemText(8), QString("Custom List"));
        QVERIFY(control<QToolButton>(window, "cmdDoSearch")->isVisible()
            && !control<QToolButton>(window, "cmdDoSearch")->isEnabled());
        QVERIFY(control<QToolButton>(window, "Command3")->isVisible()
            && !control<QToolButton>(window, "Command3")->isEnabled());
        QVERIFY(!control<QLineEdit>(window, "txtWordNum")->isVisible()
            && !control<QLineEdit>(window, "txtSearch")->isVisible());
        QVERIFY(!control<QToolButton>(window, "cmdCreate")->isVisible()
            && !control<QToolButton>(window, "cmdCreate")->isEnabled());
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(control<QLabel>(window, QString("Panel%1").arg(i))->text(),
                (QStringList {"Entry Status", "Open Connections", "Connection Status"}[i - 1]));
        QCOMPARE(
            control<QListWidget>(window, "List3")->toolTip(), QString("These domains have less than 5 characters"));
        QCOMPARE(control<QListWidget>(window, "List3")->selectionMode(), QAbstractItemView::ExtendedSelection);

        window.ShowSearchControls();
        QVERIFY(
            control<QLineEdit>(window, "txtSearch")->isVisible() && control<QComboBox>(window, "Combo2")->isVisible());
        QCOMPARE(Twips::geometry(control<QLineEdit>(window, "txtSearch")),
            Twips::geometry(control<QLineEdit>(window, "txtWordNum")));
        window.HideSearchControls();
        window.ShowWordListControls();
        QVERIFY(control<QLineEdit>(window, "txtWordNum")->isVisible()
            && control<QLineEdit>(window, "txtWordMax")->isVisible()
            && !control<QLineEdit>(window, "txtSearch")->isVisible());
    }

    // Fault caught: a menu, item, caption or index of the menu bar missing or out of place, an item
    // that does not do what it says, an About box opened twice, Escape not closing it.
    void menuBar()
    {
        TestFolders folders;
        Form1 window;
        struct Menu {
            QString name, title, item;
            QStringList captions;
        };
        QStringList sources;
        for (int i = 0; i < control<QComboBox>(window, "Combo1")->count(); ++i)
            sources << control<QComboBox>(window, "Combo1")->itemText(i);
        const QList<Menu> menus {{"menuFile", "File", "mnuFileItem", {"Exit"}},
            {"mnuEdit", "Edit", "mnuEditItem",
                {"Clear High/Mid/Low", "Clear High", "Clear Mid", "Clear Low", "Clear Registered", "Clear Saved",
                    "Copy High", "Copy Mid", "Copy Low", "Copy Saved"}},
            {"mnuTools", "Tools", "mnuToolsItem", sources}, {"mnuHelp", "Help", "mnuHelpItem", {"View Help"}},
            {"mnuAbout", "About", "mnuAboutItem", {"About this software"}}};
        const QList<QAction *> bar = window.menuBar()->actions();
        QCOMPARE(bar.size(), menus.size());
        for (int m = 0; m < menus.size(); ++m) {
            QMenu *menu = bar[m]->menu();
            QCOMPARE(menu->objectName(), menus[m].name);
            QCOMPARE(menu->title().remove('&'), menus[m].title);
            QStringList captions;
            for (QAction *item : menu->actions()) {
                // The arrays of items; "Check Saved Domains Again" and "Dropping Names" follow theirs.
                if (item->isSeparator() || item->objectName() == "mnuCheckSavedAgain"
                    || item->objectName() == "mnuDroppingNames")
                    continue;
                QCOMPARE(item->objectName(), menus[m].item + QString::number(captions.size()));
                captions << item->text();
            }
            QCOMPARE(captions, menus[m].captions);
        }
        QCOMPARE(sources.size(), 9);

        // Tools > Yahoo Search selects position 2 and shows the search group.
        window.findChild<QAction *>("mnuToolsItem2")->trigger();
        QCOMPARE(control<QComboBox>(window, "Combo1")->currentIndex(), 2);
        QVERIFY(control<QLineEdit>(window, "txtSearch")->isVisibleTo(&window));

        // About twice shows one About box, and Escape closes it.
        window.findChild<QAction *>("mnuAboutItem0")->trigger();
        window.findChild<QAction *>("mnuAboutItem0")->trigger();
        QList<QWidget *> abouts;
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (top->inherits("frmAbout") && top->isVisible())
                abouts << top;
        }
        QCOMPARE(abouts.size(), 1);
        QVERIFY(QTest::qWaitForWindowActive(abouts[0]));
        QTest::keyClick(abouts[0], Qt::Key_Escape);
        TRY_VERIFY(!window.findChild<frmAbout *>());   // unloaded: the next one loads afresh
    }

    // Faults caught: Tab visiting a list before its Copy and Clear; a label cut short (the colon of
    // "Get:"); Escape leaving the WHOIS window open.
    void keysAndLabels()
    {
        TestFolders folders;
        EnvironmentVariable purchaseLinks("TAMARIND_PURCHASE_LINKS", "0");
        Form1 window;
        QStringList chain;
        QWidget *widget = control<QPushButton>(window, "cmdCopy3");
        for (int i = 0; i < 15; ++i, widget = widget->nextInFocusChain()) {
            while (widget->focusPolicy() == Qt::NoFocus || widget->objectName().isEmpty())
                widget = widget->nextInFocusChain();
            chain << widget->objectName();
        }
        QCOMPARE(chain.join(' '),
            QString("cmdCopy3 cmdClear3 List3 cmdCopy4 cmdClear4 List4 cmdCopy1 cmdClear1 List1 "
                    "cmdCopy2 cmdClear2 List2 cmdCopy5 cmdClear5 List5"));

        const QList<QLabel *> labels = control<QGroupBox>(window, "Frame1")->findChildren<QLabel *>()
            + control<QGroupBox>(window, "Frame2")->findChildren<QLabel *>();
        for (const QLabel *label : labels) {
            if (label->metaObject() == &QLabel::staticMetaObject && !label->wordWrap() && !label->text().isEmpty())
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
                    qPrintable(label->text()));
        }

        window.show();
        window.openDomain("not a name");   // nothing is asked about it
        QWidget *whois = window.whoisWindow();
        QVERIFY(whois && QTest::qWaitForWindowActive(whois));
        QTest::keyClick(whois, Qt::Key_Escape);
        TRY_VERIFY(!window.whoisWindow());
    }

    // The top band by keyboard. Faults caught: an arrow on the source box choosing a source (and
    // opening its window) at once; Tab skipping Start or leaving the band out of reading order; no
    // Ctrl+Q or F1, or none shown in the menus.
    void topBandKeys()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("custom.txt"), {"abc"});
        Form1 window;
        window.chooseCustomList = [&] { return folders.file("custom.txt"); };
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *source = control<QComboBox>(window, "Combo1");
        source->setFocus();
        QTest::keyClick(source, Qt::Key_Down);
        QCOMPARE(source->currentIndex(), -1);   // nothing chosen yet: the list is open
        TRY_VERIFY(source->view()->isVisible());
        source->hidePopup();
        window.openList(folders.file("custom.txt"), false);
        QStringList chain;
        for (QWidget *widget = source; chain.size() < 6; widget = widget->nextInFocusChain()) {
            if (widget->isVisible() && widget->isEnabled() && (widget->focusPolicy() & Qt::TabFocus)
                && !widget->objectName().isEmpty() && !chain.contains(widget->objectName()))
                chain << widget->objectName();
        }
        QCOMPARE(chain.join(' '), QString("Combo1 txtWordNum txtEndings cmdDoSearch cmdWebsite cmdCopy3"));
        QCOMPARE(window.findChild<QAction *>("mnuFileItem0")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        QCOMPARE(window.findChild<QAction *>("mnuHelpItem0")->shortcut(), QKeySequence(Qt::Key_F1));
    }

    // A secondary window opens over the middle of the main window. Fault caught: About, Help or the
    // Creator at the screen's top-left corner, over the main window's controls.
    void windowsOpenCentred()
    {
        TestFolders folders;
        Form1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // Where the screen leaves room for both (the offscreen screen is 800 by 600).
        window.setGeometry(QRect(QPoint(40, 30), window.minimumSize().expandedTo(QSize(600, 500))));
        window.findChild<QAction *>("mnuAboutItem0")->trigger();
        QWidget *about = window.windows().window(Windows::Kind::About);
        QVERIFY(about && about->isVisible());
        const QPoint offset = about->frameGeometry().center() - window.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 4, qPrintable(QString("%1,%2").arg(offset.x()).arg(offset.y())));
    }

    // A cancelled Custom List dialog leaves the band as it was. Fault caught: the box showing Custom
    // List with Start enabled and no list behind it.
    void cancelledListChangesNothing()
    {
        TestFolders folders;
        DataFile::rewrite(folders.file("custom.txt"), {"abc", "def"});
        Form1 window;
        window.show();
        QString picked;
        window.chooseCustomList = [&picked] { return picked; };
        choose(window, int(Source::CustomList));
        QCOMPARE(control<QComboBox>(window, "Combo1")->currentIndex(), -1);
        QVERIFY(!control<QToolButton>(window, "cmdDoSearch")->isEnabled());
        picked = folders.file("custom.txt");
        choose(window, int(Source::CustomList));
        QCOMPARE(control<QLineEdit>(window, "txtWordMax")->text(), QString("2"));
        picked.clear();
        choose(window, int(Source::CustomList));
        QCOMPARE(control<QComboBox>(window, "Combo1")->currentIndex(), int(Source::CustomList));
        QCOMPARE(control<QLineEdit>(window, "txtWordMax")->text(), QString("2"));
        QCOMPARE(window.session().choice().file(), folders.file("custom.txt"));
        QVERIFY(control<QToolButton>(window, "cmdDoSearch")->isEnabled());
    }

    void layout()
    {
        TestFolders folders;
        Form1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.LayoutMainWindow(8000, 9000);
        QCOMPARE(window.currentLayout().websiteWidth, 400);
        QCOMPARE(control<QPushButton>(window, "cmdWebsite")->width(), Twips::toPixels(400));
        QCOMPARE(control<QListWidget>(window, "List2")->x(), Twips::toPixels(window.currentLayout().listLeft[2]));

        window.resize(Twips::toPixels(12960), Twips::toPixels(9000));
        TRY_COMPARE(window.currentLayout().frame2Width, Twips::fromPixels(window.frameGeometry().width()) - 300);
        QVERIFY(
            control<QListWidget>(window, "List5")->geometry().right() < control<QGroupBox>(window, "Frame2")->width());

        window.resize(300, 300);   // below the minimum: the window grows back
        TRY_VERIFY(Twips::fromPixels(window.frameGeometry().width()) > 6500);
        TRY_VERIFY(Twips::fromPixels(window.frameGeometry().height()) > 6500);
    }

    // Every list but Saved Domains itself offers "Add to Saved Domains" in its context menu, for the
    // selected names. Fault caught: a registered name that could be saved only by a drag, which the
    // Registered list does not start.
    void addToSavedFromContextMenu_data()
    {
        QTest::addColumn<QString>("listName");
        QTest::addRow("Registered") << "List2";
        QTest::addRow("High") << "List3";
    }
    void addToSavedFromContextMenu()
    {
        QFETCH(QString, listName);
        TestFolders folders;
        Form1 window;
        window.show();
        window.results().AddRegistered("taken.com");
        window.results().AddUnregistered("free.com");
        auto *shown = control<QListWidget>(window, listName);
        QCOMPARE(shown->count(), 1);
        const QString name = shown->item(0)->text();
        QStringList offered;
        QTimer::singleShot(0, [&offered] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (QAction *action : menu->actions()) {
                offered << action->text();
                if (action->text() == "Add to Saved Domains")
                    action->trigger();
            }
            menu->close();
        });
        emit shown->customContextMenuRequested(shown->visualItemRect(shown->item(0)).center());
        QVERIFY2(offered.contains("Add to Saved Domains"), qPrintable(offered.join('|')));
        QCOMPARE(items(control<QListWidget>(window, "List5")), QStringList {name});
        QCOMPARE(fileEntries(folders.file("Remembered.txt")), QStringList {name});
    }

    void verdictsLandInTheirLists()
    {
        TestFolders folders;
        Form1 window;
        ResultLists &results = window.results();
        results.AddUnregistered("abc.com");
        QCOMPARE(items(control<QListWidget>(window, "List3")), QStringList {"abc.com"});
        QCOMPARE(control<QLabel>(window, "Label3")->text(), QString("High Profile (1)"));
        results.AddUnregistered("abcdef.com");
        results.AddUnregistered("abcdefghij.com");
        results.AddRegistered("taken.com");
        QCOMPARE(items(control<QListWidget>(window, "List4")), QStringList {"abcdef.com"});
        QCOMPARE(items(control<QListWidget>(window, "List1")), QStringList {"abcdefghij.com"});
        QCOMPARE(items(control<QListWidget>(window, "List2")), QStringList {"taken.com"});
        QCOMPARE(control<QLabel>(window, "Label2")->text(), QString("Registered (1)"));

        // A Clear button restarts caption and counter; each file equals its list after the next name.
        control<QPushButton>(window, "cmdClear3")->click();
        QCOMPARE(control<QListWidget>(window, "List3")->count(), 0);
        QCOMPARE(control<QLabel>(window, "Label3")->text(), QString("High Profile"));
        chooseMenuItem(window, 2);   // Clear Mid: the caption keeps its count, and says the list is empty
        QCOMPARE(control<QListWidget>(window, "List4")->count(), 0);
        QCOMPARE(control<QLabel>(window, "Label4")->text(), QString("Mid Profile (1 new · 0)"));
        // Cut short in a narrow window, a caption still reads whole as a tool tip.
        QCOMPARE(control<QLabel>(window, "Label4")->toolTip(), QString("Mid Profile (1 new · 0)"));
        results.AddUnregistered("xyz.net");
        QCOMPARE(control<QLabel>(window, "Label3")->text(), QString("High Profile (1)"));
        QCOMPARE(fileEntries(folders.file("SuperHighProfile.txt")), items(control<QListWidget>(window, "List3")));
        QCOMPARE(fileEntries(folders.file("HighProfile.txt")), items(control<QListWidget>(window, "List4")));
        QCOMPARE(fileEntries(folders.file("LowProfile.txt")), items(control<QListWidget>(window, "List1")));
    }

    void copyButtonsAndMenu_data()
    {
        QTest::addColumn<int>("menuItem");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("expected");
        QTest::addRow("copy high") << 6 << 3 << "ab.com\r\ncd.net\r\n";
        QTest::addRow("copy mid") << 7 << 4 << "abcdef.com\r\n";
        QTest::addRow("copy low") << 8 << 1 << "";
        QTest::addRow("copy saved") << 9 << 5 << "";
    }
    void copyButtonsAndMenu()
    {
        QFETCH(int, menuItem);
        QFETCH(int, button);
        QFETCH(QString, expected);
        TestFolders folders;
        Form1 window;
        for (const char *name : {"ab.com", "cd.net", "abcdef.com"})
            window.results().AddUnregistered(name);
        QApplication::clipboard()->setText("stale");
        chooseMenuItem(window, menuItem);
        QCOMPARE(QApplication::clipboard()->text(), expected);
        QApplication::clipboard()->setText("stale");
        control<QPushButton>(window, QString("cmdCopy%1").arg(button))->click();
        QCOMPARE(QApplication::clipboard()->text(), expected);
    }

    void dragPositionsToSavedList()
    {
        TestFolders folders;
        Form1 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (int i = 0; i < 7; ++i)
            window.results().AddUnregistered(QString("n%1.com").arg(i));
        QCOMPARE(window.dragSourceMarker(), 0);
        clickRow(control<QListWidget>(window, "List3"), 2);
        clickRow(control<QListWidget>(window, "List3"), 5, Qt::ControlModifier);
        QCOMPARE(window.dragSourceMarker(), 3);
        QCOMPARE(control<ProfileListWidget>(window, "List3")->selectedPositions(), QString("2|5"));

        // What the list itself puts into a drag.
        std::unique_ptr<QMimeData> data(
            control<QListWidget>(window, "List3")
                ->model()
                ->mimeData(control<QListWidget>(window, "List3")->selectionModel()->selectedIndexes()));
        QCOMPARE(data->text(), QString("2|5"));
        dropOnSavedList(window, data.get());
        dropOnSavedList(window, data.get());   // each name is saved once
        const QStringList expected {"n2.com", "n5.com"};
        QCOMPARE(items(control<QListWidget>(window, "List5")), expected);
        QCOMPARE(fileEntries(folders.file("Remembered.txt")), expected);
        QCOMPARE(control<QListWidget>(window, "List3")->count(), 7);   // copied, not moved

        // Positions past the end add nothing; text from a text box or another program is no
        // list of positions, even when it looks like one.
        data->setText("4|99");
        dropOnSavedList(window, data.get());
        QCOMPARE(control<QListWidget>(window, "List5")->count(), 3);
        for (const char *text : {"0|1", "0"}) {
            QMimeData plain;
            plain.setText(text);
            dropOnSavedList(window, &plain);
        }
        QCOMPARE(control<QListWidget>(window, "List5")->count(), 3);
        QCOMPARE(fileEntries(folders.file("Remembered.txt")), items(control<QListWidget>(window, "List5")));
        // A drag that cannot drop says why (faults caught: foreign text, or a drag out of the
        // Registered list, doing nothing without a word).
        QVERIFY2(window.statusBar()->currentMessage().startsWith("Only names dragged from the High, Mid and Low"),
            qPrintable(window.statusBar()->currentMessage()));
        window.statusBar()->clearMessage();
        window.results().AddRegistered("taken.com");
        QListWidget *registered = control<QListWidget>(window, "List2");
        const QPoint onName = registered->visualItemRect(registered->item(0)).center();
        QTest::mousePress(registered->viewport(), Qt::LeftButton, {}, onName);
        QMouseEvent inside(QEvent::MouseMove, onName + QPoint(20, 0), registered->viewport()->mapToGlobal(onName),
            Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(registered->viewport(), &inside);
        QCOMPARE(window.statusBar()->currentMessage(), QString());   // selecting within the list
        const QPoint outside(registered->viewport()->width() + 30, onName.y());
        QMouseEvent out(
            QEvent::MouseMove, outside, registered->viewport()->mapToGlobal(outside), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(registered->viewport(), &out);
        QTest::mouseRelease(registered->viewport(), Qt::LeftButton, {}, outside);
        QVERIFY2(window.statusBar()->currentMessage().contains("right-click them and choose Add to Saved Domains"),
            qPrintable(window.statusBar()->currentMessage()));

        // Ctrl+C in a list copies its selected names; Delete in Saved Domains removes the selected
        // ones from the list and its file (faults caught: the keys doing nothing, the whole list
        // copied, the file left with the name removed).
        control<QListWidget>(window, "List3")->setFocus();
        QTest::keyClick(control<QListWidget>(window, "List3"), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("n2.com\r\nn5.com\r\n"));
        QVERIFY(window.statusBar()->currentMessage().startsWith("Copied 2 names"));
        control<QListWidget>(window, "List5")->setFocus();
        clickRow(control<QListWidget>(window, "List5"), 0);
        QTest::keyClick(control<QListWidget>(window, "List5"), Qt::Key_Delete);
        QCOMPARE(items(control<QListWidget>(window, "List5")), QStringList({"n5.com", "n4.com"}));
        QCOMPARE(fileEntries(folders.file("Remembered.txt")), QStringList({"n5.com", "n4.com"}));

        control<QPushButton>(window, "cmdClear5")->click();   // the Saved list's file is written at the next drop only
        QCOMPARE(control<QListWidget>(window, "List5")->count(), 0);
        QCOMPARE(fileEntries(folders.file("Remembered.txt")).size(), 2);
    }

    void capShowsTheNotice()
    {
        TestFolders folders;
        Form1 window;
        ResultLists &results = window.results();
        for (int i = 0; i < ResultLists::Cap; ++i)
            results.AddUnregistered(QString("h%1.com").arg(i, 3, 36, QChar('0')));
        results.AddUnregistered("abcdefgh.com");
        QCOMPARE(control<QListWidget>(window, "List3")->count(), ResultLists::Cap);
        QVERIFY(!window.noticeWindow());
        QVERIFY(results.applyCap());
        QCOMPARE(control<QListWidget>(window, "List3")->count(), 0);
        QCOMPARE(control<QListWidget>(window, "List1")->count(), 0);
        QVERIFY(window.noticeWindow() && window.noticeWindow()->isVisible());
        QCOMPARE(window.noticeWindow()->windowTitle(), QString("File backup"));
        QCOMPARE(window.noticeWindow()->Label1->text(), Form2::Notice);
        const QLabel *notice = window.noticeWindow()->Label1;   // its last line not under the button
        QVERIFY(notice->height() >= notice->heightForWidth(notice->width()));
        QVERIFY(notice->geometry().bottom() < window.noticeWindow()->Command1->geometry().top());
        QVERIFY(Form2::Notice.contains("20000 entries.  They"));
        const QStringList overflow = QDir(folders.file("overflow")).entryList(QDir::Files);
        QCOMPARE(overflow, (QStringList {"HighProfile.txt", "LowProfile.txt", "SuperHighProfile.txt"}));
        QCOMPARE(fileEntries(folders.file("overflow/LowProfile.txt")), QStringList {"abcdefgh.com"});
        window.noticeWindow()->Command1->click();
        TRY_VERIFY(!window.noticeWindow());
    }

    void keepOnTop()
    {
        TestFolders folders;
        Form2 window;
        window.show();
        const QPoint position = window.pos();
        Helpers::SetOnTop(&window, true);
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(window.isVisible());
        QCOMPARE(window.pos(), position);
        Helpers::SetOnTop(&window, false);
        QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible());
        Helpers::SetOnTop(nullptr, true);   // nothing to do, and no harm
    }

    void fileProblemIsShownOnce()
    {
        TestFolders folders;
        Form1 window;
        QDir(folders.program()).mkdir("LowProfile.txt");
        window.results().AddUnregistered("abcdefghij.com");
        window.results().AddUnregistered("abcdefghik.com");
        const QList<QMessageBox *> boxes = window.findChildren<QMessageBox *>();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0]->text().contains("LowProfile.txt"));
        QCOMPARE(control<QListWidget>(window, "List1")->count(), 0);   // what is not saved is not shown as found
    }
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
