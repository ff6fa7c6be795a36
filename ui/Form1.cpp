#include "ui/Form1.h"
#include "app/DesktopNotice.h"
#include "ui/PendingUpdates.h"

#include "app/ProgramFiles.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "run/TopBand.h"
#include "shell/Branding.h"
#include "shell/Form8.h"
#include "shell/Skin.h"
#include "shell/Twips.h"
#include "shell/frmAbout.h"
#include "shell/frmWebsite.h"
#include "ui/DroppingWindow.h"
#include "ui/Form2.h"
#include "ui/Form3.h"
#include "ui/Form5.h"
#include "ui/MainMenus.h"
#include "ui/Messages.h"
#include "ui/ResultListWidgets.h"
#include "ui/frmMake.h"
#include "ui/frmWhois.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

Form1::Form1(QWidget *parent)
    : QMainWindow(parent)
{
    setCentralWidget(new QWidget(this));
    resize(Twips::toPixels(12960), Twips::toPixels(12345));
    setupControls(this);
    m_status = new RunStatusBar(statusBar(), m_session, m_updates, this);
    addMainMenus(this,
        {.editItem = [this](int index) { mnuEditItem_Click(index); },
            .toolsItem = [this](int index) { mnuToolsItem_Click(index); },
            .checkSavedAgain = [this] { checkSavedAgain(); },
            .showDroppingNames = [this] { showDroppingNames(); },
            .showHelp = [this] { showHelp(); },
            .showAbout = [this] { m_windows.show(Windows::Kind::About, [this] { return new frmAbout(this); }); }});
    m_endingsField.attach(txtEndings);
    showEndings(Settings::endingsList());
    m_columns.attach(*this);
    m_columns.connectResults();
    connectRun();
    Form_Load();
}

// The windows that use the session go before it: their children would otherwise outlive it.
Form1::~Form1()
{
    m_windows.deleteSessionUsers();
}

// As if the entry had been picked in the source list, also while a run has disabled it.
void Form1::mnuToolsItem_Click(int index)
{
    // During a run the choice is for the next run: the band goes on showing the run's list and
    // place, and shows the choice once the run has stopped.
    const QString shownStart = txtWordNum->text();
    const QString shownEntries = txtWordMax->text();
    Combo1->setCurrentIndex(index);
    Combo1_Click();
    if (!m_run.isRunning())
        return;
    Combo1->setCurrentIndex(int(m_run.runSource()));
    txtWordMax->setText(shownEntries);
    txtWordNum->setText(shownStart);
    applyTopBand();
    // Said, so that the item does not seem to do nothing.
    if (Source(index) != m_run.runSource())
        statusBar()->showMessage(
            QStringLiteral("%1 is chosen for the next run; the run of %2 goes on.")
                .arg(RunControl::sourceName(Source(index)), RunControl::sourceName(m_run.runSource())),
            10000);
}

// The help viewer, when there is a help document to show.
void Form1::showHelp()
{
    m_windows.show(Windows::Kind::Help, []() -> QWidget * {
        auto viewer = std::make_unique<Form8>();
        return viewer->hasHelp() ? viewer.release() : nullptr;
    });
}

frmWebsite *Form1::showWebsite()
{
    return static_cast<frmWebsite *>(m_windows.show(Windows::Kind::Website, [] { return new frmWebsite; }));
}

// A double-click on a result opens its purchase page or, with purchase links off, its WHOIS record
// in a window of its own, made anew so that an earlier query is dropped.
void Form1::openDomain(const QString &selectedName)
{
    if (branding().purchaseLinksOn) {
        showWebsite()->navigate(branding().purchaseAddress(selectedName));
        return;
    }
    showRecord(selectedName);
}

void Form1::openPurchasePage(const QString &name)
{
    showWebsite()->navigate(branding().purchaseAddress(name));
}

void Form1::showRecord(const QString &name)
{
    auto *record = new frmWhois(m_session.service(), name);
    m_windows.replace(Windows::Kind::Whois, record);
    record->show();
}

void Form1::showDroppingNames()
{
    m_windows.show(Windows::Kind::Dropping, [this] {
        auto *window = new DroppingWindow(m_results, this);
        connect(window, &DroppingWindow::showRecord, this, &Form1::showRecord);
        return window;
    });
}

// What the window does when it is created, before any user action. Each step goes on whatever the
// one before it managed.
void Form1::Form_Load()
{
    LoadBranding();
    setWindowTitle(branding().productName + QStringLiteral(" by ") + branding().ownerName);
    cmdWebsite->setText(QStringLiteral("Visit ") + branding().websiteAddress);
    if (branding().purchaseLinksOn)
        Frame2->setTitle(QStringLiteral("Domain Name Manager - Double Click any domain to purchase"));
    if (branding().skinningOn) {
        Skin::convertLabels(this, SkinLabel1, true);
        Skin::ApplySkin(this);
    }
    if (Settings::ShowHelp.text() == QLatin1String("1"))
        showHelp();
    Startup::ensureWorkingFiles();
    m_results.LoadRememberedList();
    Startup::ensureWorkingFolders();
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    LayoutMainWindow();
}

void Form1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        LayoutMainWindow();
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
    placeControls(layout);
    for (size_t i = 0; i < layout.panelWidths.size(); ++i)
        panel(int(i) + 1)->setFixedWidth(Twips::toPixels(layout.panelWidths[i]));
}

void Form1::showNotice()
{
    m_windows.show(Windows::Kind::Notice, [this] { return new Form2(this); });
}

void Form1::showFileProblem(const QString &message)
{
    showMessage(QStringLiteral("File not written"), message);
}

void Form1::showMessage(const QString &title, const QString &text)
{
    ::showMessage(this, title, text);
}

void Form1::connectRun()
{
    chooseCustomList = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Custom List"),
            ProgramFiles::path(ProgramFiles::Folder::Wordlists), QStringLiteral("*.txt"));
    };
    connect(Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(cmdWebsite, &QPushButton::clicked, this, [this] { showWebsite(); });
    connect(cmdCreate, &QToolButton::clicked, this, &Form1::cmdCreate_Click);
    connect(cmdDoSearch, &QToolButton::clicked, this, &Form1::cmdDoSearch_Click);
    connect(Command3, &QToolButton::clicked, this, &Form1::Command3_Click);
    connect(txtWordNum, &QLineEdit::textChanged, this, &Form1::txtWordNum_Change);
    connect(txtSearch, &QLineEdit::textChanged, this, &Form1::txtSearch_Change);
    connect(txtEndings, &QLineEdit::editingFinished, this, &Form1::txtEndings_Finished);

    connect(&m_session, &CheckSession::serverRefused, this, [this](const QString &text) {
        showMessage(QStringLiteral("WHOIS server"),
            text + QStringLiteral(" The run is stopped and resumes at entry %1.").arg(m_run.resumeSaved()));
    });
    connect(&m_session, &CheckSession::runFailed, this,
        [this](const QString &text) { showMessage(QStringLiteral("Run stopped"), text); });
    connect(&m_run, &RunControl::started, this, [this] {
        setRunControlsEnabled(true);
        lblSummary->setSummary({});   // the summary was the last run's
    });
    connect(&m_run, &RunControl::stopped, this, [this] {
        m_updates.flush();
        tellLongRunEnded();
        setRunControlsEnabled(false);
        m_status->showResting();
        lblSummary->setSummary(m_session.summaryText());
        m_savedWatch.runEnded();
        if (const QString skipped = m_run.skippedText(); !skipped.isEmpty())
            showMessage(QStringLiteral("Names skipped"), skipped);
        // Told once: the next start would not resume where this run stopped.
        if (!Settings::flush() && !m_settingsProblemShown) {
            m_settingsProblemShown = true;
            showMessage(QStringLiteral("Settings not saved"),
                Settings::writeError()
                    + QStringLiteral(", so the program cannot keep where this run stopped (entry %1).")
                          .arg(m_run.resumeSaved()));
        }
    });
}

// A long run that ends while the user is elsewhere is told on the desktop.
void Form1::tellLongRunEnded()
{
    if (m_status->runElapsedMs() < longRunMs || isActiveWindow())
        return;
    DesktopNotice::show(QStringLiteral("The run has ended"),
        QStringLiteral("%1 found %2 free %3.")
            .arg(RunControl::sourceName(m_run.runSource()))
            .arg(m_status->freeThisRun())
            .arg(m_status->freeThisRun() == 1 ? QStringLiteral("name") : QStringLiteral("names")));
}

void Form1::Combo1_Click()
{
    const Source source = Source(Combo1->currentIndex());
    const QString custom = source == Source::CustomList && chooseCustomList ? chooseCustomList() : QString();
    if (source == Source::CustomList && chooseCustomList && custom.isEmpty()) {
        Combo1->setCurrentIndex(int(m_session.choice().source()));   // cancelled: everything stays as it was
        return;
    }
    showNumbers(m_flow.choose(source, custom));
    applyTopBand();
    if (source == Source::GenerateNames)
        showGenerator();
    if (source == Source::BrowseForNames)
        m_windows.show(Windows::Kind::Harvest, [this] {
            auto *harvest = new Form5(m_session, this);
            connect(harvest, &Form5::openDomain, this, &Form1::openDomain);
            return harvest;
        });
}

void Form1::openList(const QString &path, bool start)
{
    const auto dialog = chooseCustomList;
    chooseCustomList = [path] { return QFileInfo(path).absoluteFilePath(); };
    Combo1->setCurrentIndex(int(Source::CustomList));
    Combo1_Click();
    chooseCustomList = dialog;
    if (const QString problem = m_session.choice().listProblem(); !problem.isEmpty())
        showMessage(QStringLiteral("Custom List"), problem);
    else if (start)
        cmdDoSearch_Click();
}

void Form1::showNumbers(const BandNumbers &numbers)
{
    // The last number first: the field check then resets a start number that reached the end.
    if (numbers.entries)
        txtWordMax->setText(*numbers.entries);
    if (numbers.startNumber)
        txtWordNum->setText(*numbers.startNumber);
    if (!numbers.status.isEmpty())
        panel(1)->setText(numbers.status);
}

// Shows the chosen source's controls, and enables them as far as the running state allows.
void Form1::applyTopBand()
{
    const Source shown = m_run.isRunning() ? m_run.runSource() : m_session.choice().source();
    const TopBandState state = topBandFor(shown, m_run.isRunning(), !txtSearch->text().isEmpty());
    if (state.group != SourceSelection::Group::WordList)
        HideWordListControls();
    if (state.group != SourceSelection::Group::Search)
        HideSearchControls();
    if (state.group == SourceSelection::Group::WordList)
        ShowWordListControls();
    if (state.group == SourceSelection::Group::Search)
        ShowSearchControls();
    Combo1->setEnabled(state.sourceEnabled);
    cmdDoSearch->setEnabled(state.startEnabled);
    Command3->setEnabled(state.stopEnabled);
    txtWordNum->setEnabled(state.startNumberEnabled);
    txtSearch->setEnabled(state.searchTextEnabled);
    Combo2->setEnabled(state.sizeEnabled);
    cmdCreate->setEnabled(state.searchButtonEnabled);
    txtEndings->setEnabled(!m_run.isRunning());   // a run asks the endings it started with
}

void Form1::cmdDoSearch_Click()
{
    m_endingsField.confirmStart([this] { startRun(); });
}

void Form1::startFromFirstEntry(const QString &path)
{
    openList(path, false);
    txtWordNum->setText(QStringLiteral("1"));
    cmdDoSearch_Click();
}

void Form1::startRun()
{
    BandNumbers after;
    if (const QString problem = m_flow.start(txtWordNum->text(), txtWordMax->text(), &after); !problem.isEmpty())
        showMessage(QStringLiteral("Start"), problem);
    showNumbers(after);
}

// The list builder takes the search text, engine and size from the top band when it opens.
void Form1::cmdCreate_Click()
{
    m_windows.show(Windows::Kind::ListBuilder, [this] {
        SearchRequest request;
        request.engine = m_session.choice().source() == Source::GoogleSearch ? ListBuilder::Engine::Google
            : m_session.choice().source() == Source::YahooSearch             ? ListBuilder::Engine::Yahoo
                                                                             : ListBuilder::Engine::None;
        request.searchText = txtSearch->text();
        request.limit = ListBuilder::resultLimit(Combo2->currentIndex());
        auto *builder = new Form3(request, this);
        connect(builder, &Form3::listReady, this, &Form1::checkSearchList);
        return builder;
    });
}

void Form1::showGenerator()
{
    m_windows.show(Windows::Kind::Generator, [this] {
        auto *generator = new frmMake(this);
        generator->runToReplace = [this] { return m_flow.runToReplace(); };
        generator->runNumber = [this] { return m_run.runNumber(); };
        generator->stopRun = [this](quint64 run) { m_session.stopRun(run); };
        connect(generator, &frmMake::generated, this, &Form1::checkGeneratedNames);
        return generator;
    });
}

// The generator has written its list: it is checked from the first name, whatever source the
// top band shows by now.
void Form1::checkGeneratedNames(int count)
{
    m_flow.stopForNewGeneratedList();
    Combo1->setCurrentIndex(int(Source::GenerateNames));
    m_session.selectSource(Source::GenerateNames);
    applyTopBand();
    txtWordMax->setText(QString::number(count));
    txtWordNum->setText(QStringLiteral("1"));
    cmdDoSearch_Click();
}

// The list builder has written its list: the source of its engine is chosen again (whatever the
// top band shows by now), and the list is checked from its first name.
void Form1::checkSearchList(int entries, ListBuilder::Engine engine)
{
    const Source source = engine == ListBuilder::Engine::Google ? Source::GoogleSearch : Source::YahooSearch;
    if (const QString run = m_flow.runToReplace(); !run.isEmpty()) {
        askFirst(this, QStringLiteral("Start"),
            run
                + QStringLiteral(" Stop it and check the list of the search now? Otherwise the list is checked when "
                                 "you choose %1 and press Start.")
                      .arg(RunControl::sourceName(source)),
            QStringLiteral("Stop the run"), QStringLiteral("Keep the run"), this,
            [this, entries, engine, asked = m_run.runNumber()] {
                m_session.stopRun(asked);
                checkSearchList(entries, engine);   // asks again about a run started since
            });
        return;
    }
    Combo1->setCurrentIndex(int(source));
    Combo1_Click();
    txtWordMax->setText(QString::number(entries));
    txtWordNum->setText(QStringLiteral("1"));
    cmdDoSearch_Click();
}

void Form1::setRunControlsEnabled(bool running)
{
    // The focus follows the run: onto Stop at Start, and back onto Start from Stop.
    const bool stopHadFocus = Command3->hasFocus();
    applyTopBand();
    if (running) {
        Command3->setFocus();
        return;
    }
    if (stopHadFocus)
        cmdDoSearch->setFocus();
    Combo1->setCurrentIndex(int(m_session.choice().source()));   // the choice for the next run, made during this one
    showNumbers(m_flow.afterRun());
}

void Form1::Command3_Click()
{
    m_run.stop();
}

void Form1::txtWordNum_Change()
{
    bool numberOk = false;
    bool maxOk = false;
    const qint64 number = txtWordNum->text().trimmed().toLongLong(&numberOk);
    const qint64 max = txtWordMax->text().trimmed().toLongLong(&maxOk);
    if (numberOk && maxOk && RunControl::startNumberFor(number, max) != number)
        txtWordNum->setText(QString::number(RunControl::startNumberFor(number, max)));
}

void Form1::txtSearch_Change()
{
    cmdCreate->setEnabled(!txtSearch->text().isEmpty());
}

// At its first showing the window tells what the watch found since it was last open. The help
// viewer opened at start-up, before this window showed, stays in front of it.
void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!std::exchange(m_shownBefore, true))
        QTimer::singleShot(0, this, [this] { m_savedWatch.showChangesSinceLastOpen(); });
    if (QPointer<QWidget> help = helpWindow(); help && help->isVisible()) {
        QTimer::singleShot(0, help, [help] {
            if (help) {
                help->raise();
                help->activateWindow();
            }
        });
    }
}

// The shutdown: the run and every connection and timer first, then the other windows in their
// order. The program ends with this window, unless the website window is still open: it then ends
// when that window closes.
void Form1::closeEvent(QCloseEvent *event)
{
    m_session.stop();
    Settings::flush();
    QMainWindow::closeEvent(event);
    m_windows.closeAll();
}

Form2 *Form1::noticeWindow() const
{
    return qobject_cast<Form2 *>(m_windows.window(Windows::Kind::Notice));
}

frmMake *Form1::generatorWindow() const
{
    return qobject_cast<frmMake *>(m_windows.window(Windows::Kind::Generator));
}
