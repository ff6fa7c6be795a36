#include "ui/Form1.h"
#include "app/DesktopNotice.h"
#include "run/WatchLog.h"
#include "ui/PendingUpdates.h"

#include "app/DataFile.h"
#include "app/ProgramFiles.h"
#include "app/Settings.h"
#include "app/Startup.h"
#include "run/TopBand.h"
#include "shell/Branding.h"
#include "shell/Form8.h"
#include "shell/Skin.h"
#include "shell/Twips.h"
#include "shell/frmWebsite.h"
#include "ui/DroppingWindow.h"
#include "ui/Form2.h"
#include "ui/Form3.h"
#include "ui/Form5.h"
#include "ui/Messages.h"
#include "ui/ResultListWidgets.h"
#include "ui/frmMake.h"
#include "ui/frmWhois.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

Form1::Form1(QWidget *parent)
    : QMainWindow(parent)
{
    setCentralWidget(new QWidget(this));
    resize(Twips::toPixels(12960), Twips::toPixels(12345));
    buildTopBand();
    buildResultColumns();
    buildStatusBar();
    buildMenus();
    nameControls();
    connectResults();
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

void Form1::showRecord(const QString &name)
{
    auto *record = new frmWhois(m_session.service(), name);
    m_windows.replace(Windows::Kind::Whois, record);
    record->show();
}

namespace {

// "Copied 3 names", as the status bar says it.
QString copiedText(qsizetype count)
{
    return QStringLiteral("Copied %1 %2").arg(count).arg(count == 1 ? QStringLiteral("name") : QStringLiteral("names"));
}

QStringList selectedNames(const QListWidget *list)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            names << list->item(row)->text();
    }
    return names;
}

}   // namespace

void Form1::showListMenu(int number, const QPoint &where)
{
    QListWidget *shown = list(number);
    QListWidgetItem *item = shown->itemAt(where);
    if (item && !item->isSelected()) {
        shown->clearSelection();
        item->setSelected(true);
    }
    const QString name = item ? item->text() : QString();
    QMenu menu(this);
    QAction *purchase = menu.addAction(QStringLiteral("Open purchase page"),
        [this, name] { showWebsite()->navigate(branding().purchaseAddress(name)); });
    purchase->setEnabled(item && branding().purchaseLinksOn);
    menu.addAction(QStringLiteral("Show record"), [this, name] { showRecord(name); })->setEnabled(item != nullptr);
    menu.addSeparator();
    QAction *copy = menu.addAction(QStringLiteral("Copy"), [this, number] { copySelected(number); });
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(shown->count() > 0);
    if (number != int(ResultList::Saved)) {
        menu.addAction(QStringLiteral("Add to Saved Domains"),
                [this, shown] {
                    QStringList names;
                    for (const QListWidgetItem *selected : shown->selectedItems())
                        names << selected->text();
                    const int added = m_results.addSaved(names);
                    statusBar()->showMessage(QStringLiteral("%1 %2 added to Saved Domains.")
                                                 .arg(added)
                                                 .arg(added == 1 ? QStringLiteral("name") : QStringLiteral("names")),
                        5000);
                })
            ->setEnabled(item != nullptr);
    }
    if (number == int(ResultList::Saved)) {
        QAction *remove =
            menu.addAction(QStringLiteral("Remove from Saved Domains"), [this] { removeSelectedSaved(); });
        remove->setShortcut(QKeySequence::Delete);
        remove->setEnabled(item != nullptr);
        menu.addAction(QStringLiteral("Check Again"), this, &Form1::checkSavedAgain)->setEnabled(shown->count() > 0);
    }
    menu.exec(shown->viewport()->mapToGlobal(where));
}

void Form1::showDroppingNames()
{
    m_windows.show(Windows::Kind::Dropping, [this] {
        auto *window = new DroppingWindow(m_results, this);
        connect(window, &DroppingWindow::showRecord, this, &Form1::showRecord);
        return window;
    });
}

void Form1::checkSavedAgain()
{
    const QStringList names = m_results.items(ResultList::Saved);
    const QString title = QStringLiteral("Check Saved Domains Again");
    if (names.isEmpty())
        return ::showMessage(
            this, title, QStringLiteral("Saved Domains holds no name to check."), QMessageBox::Information);
    if (const QString run = m_flow.runToReplace(); !run.isEmpty()) {
        askFirst(this, title, run + QStringLiteral(" Stop it and check Saved Domains again?"),
            QStringLiteral("Stop the run"), QStringLiteral("Keep the run"), this, [this, asked = m_run.runNumber()] {
                m_session.stopRun(asked);
                checkSavedAgain();   // asks again about a run started since
            });
        return;
    }
    const QString path = ProgramFiles::path(ProgramFiles::File::SavedCheck);
    QString error;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !DataFile::rewrite(path, names, &error))
        return ::showMessage(this, title,
            QStringLiteral("The list of Saved Domains to check, %1, cannot be written: %2")
                .arg(QDir::toNativeSeparators(path), error.isEmpty() ? QStringLiteral("no folder") : error),
            QMessageBox::Warning);
    if (!m_watch.load(&error))
        return ::showMessage(this, title,
            QStringLiteral("The states of the last check, %1, cannot be read: %2")
                .arg(QDir::toNativeSeparators(NameWatch::path()), error),
            QMessageBox::Warning);
    m_watch.follow(m_session);
    m_watching = true;
    openList(path, false);
    txtWordNum->setText(QStringLiteral("1"));   // every name, whatever an earlier check of them reached
    cmdDoSearch_Click();
    if (!m_run.isRunning())
        endWatch();
}

// The check of Saved Domains ended: the states are kept, and what changed is told.
void Form1::endWatch()
{
    if (!std::exchange(m_watching, false))
        return;
    m_watch.stopFollowing();
    QString error;
    QString text = m_watch.summary();
    if (m_watch.droppedLines() > 0)
        text += QStringLiteral("\n\n%1 of %2 held no name state and %3 left out of it.")
                    .arg(m_watch.droppedLines() == 1 ? QStringLiteral("1 line")
                                                     : QStringLiteral("%1 lines").arg(m_watch.droppedLines()),
                        QDir::toNativeSeparators(NameWatch::path()),
                        m_watch.droppedLines() == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    if (!m_watch.save(&error))
        text += QStringLiteral("\n\nThese states could not be kept in %1 (%2): the next check compares with the "
                               "last one kept.")
                    .arg(QDir::toNativeSeparators(NameWatch::path()), error);
    ::showMessage(this, QStringLiteral("Check Saved Domains Again"), text, QMessageBox::Information);
}

void Form1::showWatchChanges()
{
    constexpr qsizetype ShownLines = 20;   // the rest are in the file
    const QStringList changes = WatchLog::takeUnshown();
    if (changes.isEmpty())
        return;
    QString text =
        QStringLiteral("Since Tamarind was last open, the watch found %1:\n\n%2")
            .arg(changes.size() == 1 ? QStringLiteral("a change") : QStringLiteral("%1 changes").arg(changes.size()),
                changes.mid(0, ShownLines).join(QLatin1Char('\n')));
    if (changes.size() > ShownLines)
        text += QStringLiteral("\n\nThe other %1 are in %2.")
                    .arg(QString::number(changes.size() - ShownLines),
                        QDir::toNativeSeparators(ProgramFiles::path(ProgramFiles::File::WatchChangesShown)));
    ::showMessage(this, QStringLiteral("Saved Domains Watched"), text, QMessageBox::Information);
}

void Form1::copySelected(int number)
{
    const QStringList names = selectedNames(list(number));
    if (names.isEmpty())
        return cmdCopy_Click(number);
    QGuiApplication::clipboard()->setText(ResultLists::copyText(names));
    statusBar()->showMessage(copiedText(names.size()) + QLatin1Char('.'), 5000);
}

void Form1::removeSelectedSaved()
{
    const QStringList names = selectedNames(List5);
    if (!names.isEmpty() && !m_results.removeSaved(names))
        showFileProblem(QStringLiteral("Saved Domains could not be written: the names removed are back when the "
                                       "program starts again."));
}

// "Dropping: in redemption, to be released about 2026-12-25 (listed in Dropping.txt)".
QString Form1::droppingTip(const QString &state, const QString &release, const QString &why) const
{
    const QString phase = state == QLatin1String("pendingDelete") ? QStringLiteral("pending delete")
        : state == QLatin1String("quarantine")                    ? QStringLiteral("in quarantine")
                                                                  : QStringLiteral("in redemption");
    const QString unknown = why.isEmpty() ? QStringLiteral("release date unknown for this ending")
                                          : QStringLiteral("release date unknown: %1").arg(why);
    const QString when =
        release == QLatin1String("unknown") ? unknown : QStringLiteral("to be released about %1").arg(release);
    return QStringLiteral("Dropping: %1, %2 (listed in %3)")
        .arg(phase, when, QFileInfo(m_results.droppingPath()).fileName());
}

void Form1::connectResults()
{
    connect(&m_results, &ResultLists::itemsAdded, this,
        [this](ResultList which, const QStringList &names) { m_updates.addItems(list(int(which)), names); });
    connect(
        &m_results, &ResultLists::listCleared, this, [this](ResultList which) { m_updates.clear(list(int(which))); });
    connect(&m_results, &ResultLists::droppingAdded, this,
        [this](const QString &name, const QString &state, const QString &release, const QString &why) {
            m_updates.markItem(list(int(ResultList::Registered)), name, droppingTip(state, release, why));
        });
    // A premium name is free at the registry's own price: marked as a dropping one is, and told why.
    connect(&m_session, &CheckSession::verdict, this,
        [this](const QString &asked, bool unregistered, qint64, const NameState &state) {
            if (const QString name = Names::unicodeForm(asked); unregistered && state.premium)
                m_updates.markItem(list(int(ResultLists::profileOf(name))), name,
                    QStringLiteral("Premium: the registry sells this name at a price of its own"));
        });
    connect(&m_results, &ResultLists::captionChanged, this,
        [this](ResultList which, const QString &caption) { m_updates.setText(label(int(which)), caption); });
    connect(&m_results, &ResultLists::capReached, this, &Form1::showNotice);
    connect(&m_results, &ResultLists::fileProblem, this, &Form1::showFileProblem);
    // Said once, where the user looks while a run goes on.
    connect(&m_results, &ResultLists::clearedFileKept, this,
        [this](const QString &text) { statusBar()->showMessage(text, 15000); });
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

void Form1::ShowWordListControls()
{
    for (QWidget *widget : wordListGroup())
        widget->show();
}

// Start stays in its place whatever the source: it is enabled or not, never gone.
void Form1::HideWordListControls()
{
    for (QWidget *widget : wordListGroup()) {
        if (widget != cmdDoSearch)
            widget->hide();
    }
}

void Form1::ShowSearchControls()
{
    for (QWidget *widget : searchGroup())
        widget->show();
}

void Form1::HideSearchControls()
{
    for (QWidget *widget : searchGroup())
        widget->hide();
}

void Form1::cmdCopy_Click(int index)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_results.copyText(ResultList(index)));
    statusBar()->showMessage(copiedText(m_results.items(ResultList(index)).size())
            + QStringLiteral(" of %1.").arg(plainCaption(ResultList(index))),
        5000);
}

void Form1::cmdClear_Click(int index)
{
    m_results.clear(ResultList(index), true);
}

void Form1::mnuEditItem_Click(int index)
{
    switch (index) {
    case 0:
        for (ResultList which : {ResultList::High, ResultList::Mid, ResultList::Low})
            m_results.clear(which, false);
        break;
    case 1: m_results.clear(ResultList::High, false); break;
    case 2: m_results.clear(ResultList::Mid, false); break;
    case 3: m_results.clear(ResultList::Low, false); break;
    case 4: m_results.clear(ResultList::Registered, false); break;
    case 5: m_results.clear(ResultList::Saved, false); break;
    case 6: cmdCopy_Click(3); break;
    case 7: cmdCopy_Click(4); break;
    case 8: cmdCopy_Click(1); break;
    case 9: cmdCopy_Click(5); break;
    }
}

void Form1::List5_OLEDragDrop(const QMimeData *payload, bool fromProfileList)
{
    // Text from a text box or another program carries no positions of ours.
    m_results.dropPositions(fromProfileList ? payload->text() : QString(), m_dragSourceMarker);
}

void Form1::tellDragRefused(const QString &why)
{
    statusBar()->showMessage(why, 10000);
    QToolTip::showText(QCursor::pos(), why, this);
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
        endWatch();
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
        Combo1->setCurrentIndex(int(m_run.source()));   // cancelled: everything stays as it was
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
    if (const QString problem = m_run.selectedListProblem(); !problem.isEmpty())
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
    const Source shown = m_run.isRunning() ? m_run.runSource() : m_run.source();
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

// The field is narrow: its tool tip shows the whole list.
void Form1::showEndings(const QStringList &endings)
{
    txtEndings->setText(endings.join(QLatin1Char(' ')));
    txtEndings->setCursorPosition(0);
    txtEndings->setToolTip(QStringLiteral("Asked under: .%1\n\nThe endings a bare word is asked under, in order, for "
                                          "example: com io dev. A name with its own ending keeps it.")
                               .arg(endings.join(QStringLiteral(" ."))));
}

void Form1::txtEndings_Finished()
{
    const Names::TypedEndings typed = Names::typedEndings(txtEndings->text());
    if (!typed.problem.isEmpty()) {
        showEndings(Settings::endingsList());   // the endings kept
        showMessage(QStringLiteral("Endings"), QStringLiteral("The endings are not changed: %1.").arg(typed.problem));
        return;
    }
    const QStringList &endings = typed.endings;
    showEndings(endings);
    if (!typed.repeated.isEmpty())
        showMessage(QStringLiteral("Endings"),
            QStringLiteral(".%1 was given more than once; names are asked under each ending once.")
                .arg(typed.repeated.join(QStringLiteral(", ."))));
    if (endings == Settings::endingsList())
        return;
    Settings::Endings.set(endings.join(QLatin1Char(' ')));
    m_run.setEndings(endings);
    // The endings whose names can get no verdict, told as tamarind-cli endings tells them.
    QStringList unanswered;
    for (const QString &ending : endings) {
        if (!m_session.service().answersFor(ending))
            unanswered << m_session.service().endingText(ending);
    }
    if (!unanswered.isEmpty())
        showMessage(QStringLiteral("Endings"),
            unanswered.join(QLatin1Char('\n'))
                + QStringLiteral("\n\nNames under these endings are counted, never called free. A service can be "
                                 "added in rdap-overrides.txt or whois-servers.txt of the program folder, and a "
                                 "registry's answers in whois-rules.txt."));
}

void Form1::cmdDoSearch_Click()
{
    // Each bare word is asked under every ending: many endings make a run long, and the registries' work.
    const qsizetype endings = m_run.endings().size();
    if (endings > ManyEndings) {
        askFirst(this, QStringLiteral("Start"),
            QStringLiteral("%1 endings are chosen, so each word of a list is asked %1 times: %2 lookups per 1,000 "
                           "words. Start the run?")
                .arg(endings)
                .arg(QLocale(QLocale::English).toString(endings * 1000)),
            QStringLiteral("Start"), QStringLiteral("Cancel"), this, [this] { startRun(); });
        return;
    }
    startRun();
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
        request.engine = m_run.source() == Source::GoogleSearch ? ListBuilder::Engine::Google
            : m_run.source() == Source::YahooSearch             ? ListBuilder::Engine::Yahoo
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
    m_run.selectSource(Source::GenerateNames);
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
    Combo1->setCurrentIndex(int(m_run.source()));   // the choice for the next run, made during this one
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

// The program ends with this window, unless the website window is still open: it then ends when
// that window closes.
// The shutdown: the run and every connection and timer first, then the other windows in their
// order, and the program ends unless the website window is still open.
// The help viewer opened at start-up, before this window showed, stays in front of it.
void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!std::exchange(m_shownBefore, true))
        QTimer::singleShot(0, this, &Form1::showWatchChanges);
    if (QPointer<QWidget> help = helpWindow(); help && help->isVisible()) {
        QTimer::singleShot(0, help, [help] {
            if (help) {
                help->raise();
                help->activateWindow();
            }
        });
    }
}

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
