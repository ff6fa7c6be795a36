#pragma once
#include "harvest/ListBuilder.h"
#include "run/CheckSession.h"
#include "run/SourceFlow.h"
#include "ui/MainLayout.h"

#include "ui/EndingsField.h"
#include "ui/MainControls.h"
#include "ui/PendingUpdates.h"
#include "ui/ResultColumns.h"
#include "ui/RunStatusBar.h"
#include "ui/SavedWatch.h"
#include "ui/SummaryLabel.h"
#include "ui/Windows.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>

class QMimeData;
class Form2;
class frmMake;
class frmWebsite;

// The main window: the top band that chooses and runs a name source, the five result columns and
// the status bar. Its controls are laid out by MainControls; its handlers hand the work to the
// core objects.
class Form1 : public QMainWindow, private MainControls, private ResultColumns::Window
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    CheckSession &session() { return m_session; }
    ResultLists &results() { return m_session.results(); }
    RunControl &run() { return m_session.run(); }
    // Asks the user for a custom list; returns the chosen file, empty when cancelled.
    std::function<QString()> chooseCustomList;
    const MainLayout &currentLayout() const { return m_layout; }
    int dragSourceMarker() const { return m_columns.dragSourceMarker(); }
    Windows &windows() { return m_windows; }
    Form2 *noticeWindow() const;
    frmMake *generatorWindow() const;
    QWidget *helpWindow() const { return m_windows.window(Windows::Kind::Help); }
    QWidget *whoisWindow() const { return m_windows.window(Windows::Kind::Whois); }
    QWidget *websiteWindow() const { return m_windows.window(Windows::Kind::Website); }
    QWidget *listBuilderWindow() const { return m_windows.window(Windows::Kind::ListBuilder); }
    QWidget *harvestWindow() const { return m_windows.window(Windows::Kind::Harvest); }
    void cmdCreate_Click();

    // A run longer than this that ends while the window is not active is told on the desktop.
    qint64 longRunMs = 60000;

    // Opening a name from a result list: its purchase page or its WHOIS record.
    void openDomain(const QString &selectedName) override;
    frmWebsite *showWebsite();
    void showHelp();

    // Lays the window out for its outer size in twips (what a resize does).
    void LayoutMainWindow(int width, int height);
    void LayoutMainWindow();

    using MainControls::HideSearchControls;
    using MainControls::HideWordListControls;
    using MainControls::ShowSearchControls;
    using MainControls::ShowWordListControls;

    // A list opened from the desktop: chosen as Custom List as if in the file dialog, and with
    // `start` the run starts. A list that cannot be read is told, and nothing starts.
    void openList(const QString &path, bool start);
    // Saved Domains is the watch list: its names are asked again, and what changed since their
    // last check is told when the run ends.
    void checkSavedAgain() override { m_savedWatch.checkAgain(); }
    void showDroppingNames();

    // Run control.
    void Combo1_Click();
    static constexpr int ManyEndings = EndingsField::ManyEndings;
    void cmdDoSearch_Click();
    void Command3_Click();
    void txtWordNum_Change();
    void txtSearch_Change();
    // The endings a bare word is asked under, as typed: kept, and used from the next run on.
    void txtEndings_Finished() { m_endingsField.finished(); }

    // Result list actions (see ResultColumns).
    void cmdCopy_Click(int index) { m_columns.copyList(index); }
    void cmdClear_Click(int index) { m_columns.clearList(index); }
    void mnuEditItem_Click(int index) { m_columns.editMenuItem(index); }
    void mnuToolsItem_Click(int index);
    void List5_OLEDragDrop(const QMimeData *payload, bool fromProfileList)
    {
        m_columns.dropOnSaved(payload, fromProfileList);
    }
    void showRecord(const QString &name) override;
    void showEndings(const QStringList &endings) { m_endingsField.show(endings); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void startRun();
    // The list chosen as Custom List and run from its first entry, whatever an earlier run reached.
    void startFromFirstEntry(const QString &path);
    void tellLongRunEnded();
    QLabel *panel(int number) const { return m_status->panel(number); }
    void connectRun();
    void setRunControlsEnabled(bool running);
    void applyTopBand();
    void showNumbers(const BandNumbers &numbers);
    void showMessage(const QString &title, const QString &text);
    void Form_Load();
    void showNotice() override;
    void showFileProblem(const QString &message) override;
    QMainWindow *mainWindow() override { return this; }
    QListWidget *resultList(int number) const override { return list(number); }
    QLabel *resultCaption(int number) const override { return label(number); }
    void openPurchasePage(const QString &name) override;
    void showGenerator();
    void checkGeneratedNames(int count);
    void checkSearchList(int entries, ListBuilder::Engine engine);

    CheckSession m_session;
    ResultLists &m_results = m_session.results();
    RunControl &m_run = m_session.run();
    SourceFlow m_flow {m_session};
    MainLayout m_layout;
    PendingUpdates m_updates {[this] { return m_session.isRunning(); }};
    RunStatusBar *m_status = nullptr;
    Windows m_windows {this};   // its parent is the main window its windows open over
    bool m_settingsProblemShown = false;
    SavedWatch m_savedWatch {m_session, m_flow, this, [this](const QString &path) { startFromFirstEntry(path); }};
    ResultColumns m_columns {*this, m_session, m_updates};
    EndingsField m_endingsField {m_session, this};
    bool m_shownBefore = false;
};
