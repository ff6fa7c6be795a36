#include "ui/frmMake.h"

#include "app/Helpers.h"
#include "app/ProgramFiles.h"
#include "app/Settings.h"
#include "shell/Branding.h"
#include "shell/Skin.h"
#include "shell/WindowKeys.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

QPushButton *button(const QString &caption, const QString &toolTip)
{
    auto *button = new QPushButton(caption);
    button->setToolTip(toolTip);
    return button;
}

QString appendsPath()
{
    return ProgramFiles::path(ProgramFiles::File::Appends);
}

}   // namespace

frmMake::frmMake(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Domain Name Creator"));
    // Unloaded on close: the next opening re-reads the affix list and starts empty.
    setAttribute(Qt::WA_DeleteOnClose);
    closeOnEscape(this);

    Frame3 = new QGroupBox;
    SkinLabel1 = new QLabel(QStringLiteral("Base Word:"));
    Text1 = new QLineEdit;
    Text1->setToolTip(QStringLiteral("This word will appear in every domain created."));
    Command1 =
        button(QStringLiteral("Start!"), QStringLiteral("Once you have a base word, click here to create your list!"));
    const char *extensions[] = {".COM", ".NET", ".ORG"};
    const char *kinds[] = {"Prefixes", "Suffixes", "Hyphens"};
    auto *top = new QGridLayout(Frame3);
    top->addWidget(SkinLabel1, 0, 0);
    top->addWidget(Text1, 0, 1, 1, 2);
    top->addWidget(Command1, 0, 3);
    for (int i = 0; i < 3; ++i) {
        chkExt[size_t(i)] = new QCheckBox(QString::fromLatin1(extensions[i]));
        chkExt[size_t(i)]->setChecked(i < 2);
        chkExt[size_t(i)]->setToolTip(QStringLiteral("Names under %1; every further ending of the main window's "
                                                     "Endings field is added as well.")
                                          .arg(QString::fromLatin1(extensions[i]).toLower()));
        chkAdd[size_t(i)] = new QCheckBox(QString::fromLatin1(kinds[i]));
        chkAdd[size_t(i)]->setChecked(true);
        top->addWidget(chkExt[size_t(i)], 1, i);
        top->addWidget(chkAdd[size_t(i)], 2, i);
    }

    Frame2 = new QGroupBox(QStringLiteral("Generated Domains"));
    List1 = new QListWidget;
    List1->setUniformItemSizes(true);
    Command2 = button(QStringLiteral("Save Domains As..."), QStringLiteral("Save your list as a text file."));
    auto *left = new QVBoxLayout(Frame2);
    left->addWidget(List1);
    left->addWidget(Command2);

    Frame1 = new QGroupBox(QStringLiteral("Prefixes and Suffixes"));
    SkinLabel2 = new QLabel(QStringLiteral("Prefix/Suffix:"));
    Text2 = new QLineEdit;
    cmdAdd = button(QStringLiteral("Add"), QStringLiteral("Add your word."));
    cmdSub = button(QStringLiteral("Del"), QStringLiteral("Remove the selected word."));
    List2 = new QListWidget;
    auto *entry = new QHBoxLayout;
    entry->addWidget(Text2);
    entry->addWidget(cmdAdd);
    entry->addWidget(cmdSub);
    auto *right = new QVBoxLayout(Frame1);
    right->addWidget(SkinLabel2);
    right->addLayout(entry);
    right->addWidget(List2);

    txtStatus = new QLineEdit(QStringLiteral("Status..."));
    txtStatus->setReadOnly(true);

    auto *groups = new QHBoxLayout;
    groups->addWidget(Frame2);
    groups->addWidget(Frame1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame3);
    layout->addLayout(groups);
    layout->addWidget(txtStatus);

    chooseSaveFile = [this](const QString &suggested) {
        return QFileDialog::getSaveFileName(
            this, QStringLiteral("Save Domains As..."), suggested, QStringLiteral("*.txt"));
    };
    connect(Command1, &QPushButton::clicked, this, &frmMake::Command1_Click);
    connect(Text1, &QLineEdit::returnPressed, this, &frmMake::Command1_Click);
    connect(cmdAdd, &QPushButton::clicked, this, &frmMake::cmdAdd_Click);
    connect(Text2, &QLineEdit::returnPressed, this, &frmMake::cmdAdd_Click);
    connect(cmdSub, &QPushButton::clicked, this, &frmMake::cmdSub_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMake::Command2_Click);
    connect(&m_generation, &NameGeneration::progress, this, &frmMake::showStatus);
    connect(&m_generation, &NameGeneration::namesMade, this, [this](const QStringList &names) {
        List1->addItems(names);
        List1->scrollToBottom();   // the newest names in view
    });
    // The Delete key removes the highlighted affix, as Del does.
    auto *deleteKey = new QShortcut(QKeySequence::Delete, List2, nullptr, nullptr, Qt::WidgetShortcut);
    connect(deleteKey, &QShortcut::activated, this, &frmMake::cmdSub_Click);
    connect(&m_generation, &NameGeneration::finished, this, &frmMake::onFinished);
    Form_Load();
}

void frmMake::Form_Load()
{
    if (branding().skinningOn)
        Skin::ApplySkin(this);   // no label conversion here
    QString error;
    const QStringList affixes = AffixList::load(appendsPath(), &error);
    if (!error.isEmpty())
        tell(QStringLiteral("The affix list %1 cannot be read: %2.")
                 .arg(QDir::toNativeSeparators(appendsPath()), error));
    List2->addItems(affixes);
}

GeneratorOptions frmMake::options() const
{
    // A greyed (partly checked) box does not count.
    const auto on = [](const QCheckBox *box) { return box->checkState() == Qt::Checked; };
    return {on(chkAdd[0]), on(chkAdd[1]), on(chkAdd[2]), on(chkExt[0]), on(chkExt[1]), on(chkExt[2]),
        NameGenerator::furtherEndings(Settings::endingsList())};
}

void frmMake::cmdAdd_Click()
{
    if (!NameGenerator::isAffix(Text2->text()) && !NameGenerator::hasControlCharacter(Text2->text())) {
        tell(QStringLiteral("Type an affix to add first."));
        Text2->setFocus();
        return;
    }
    if (NameGenerator::hasControlCharacter(Text2->text())) {
        tell(QStringLiteral("An affix cannot hold tabs, line breaks or other control characters."));
        return;
    }
    QString error;
    if (!AffixList::add(appendsPath(), Text2->text(), &error)) {
        tell(QStringLiteral("The affix could not be added to %1: %2.")
                 .arg(QDir::toNativeSeparators(appendsPath()), error));
        return;
    }
    List2->addItem(Text2->text());
    Text2->clear();
    Text2->setFocus();   // ready for the next affix
}

void frmMake::cmdSub_Click()
{
    QListWidgetItem *selected = List2->currentItem();
    if (!selected || !selected->isSelected()) {
        tell(QStringLiteral("You must first select an item to remove from the list."));
        return;
    }
    QString error;
    if (!AffixList::remove(appendsPath(), selected->text(), &error)) {
        tell(QStringLiteral("The affix could not be removed from %1: %2.")
                 .arg(QDir::toNativeSeparators(appendsPath()), error));
        return;
    }
    delete selected;
}

void frmMake::Command1_Click()
{
    if (m_generation.isRunning())
        return;
    if (Text1->text().trimmed().isEmpty()) {   // "get-.com", "-hq.net": no names at all
        tell(QStringLiteral("Type a base word first: every name is made from it."));
        return;
    }
    if (NameGenerator::hasControlCharacter(Text1->text())) {
        tell(QStringLiteral("The base word cannot hold tabs, line breaks or other control characters."));
        return;
    }
    QString error;
    const QStringList affixes = AffixList::load(appendsPath(), &error);
    if (!error.isEmpty()) {
        tell(QStringLiteral("The affix list %1 cannot be read: %2.")
                 .arg(QDir::toNativeSeparators(appendsPath()), error));
        return;
    }
    // The created names are checked at once: a run going on stops only once the user agrees.
    if (const QString run = runToReplace ? runToReplace() : QString(); !run.isEmpty()) {
        const quint64 asked = runNumber ? runNumber() : 0;
        askFirst(this, windowTitle(), run + QStringLiteral(" Stop it and check the created names?"),
            QStringLiteral("Stop the run"), QStringLiteral("Keep the run"), this, [this, asked] {
                if (stopRun)
                    stopRun(asked);
                Command1_Click();   // asks again about a run started since
            });
        return;
    }
    setInputEnabled(false);
    m_generation.start(Text1->text(), affixes, options());
}

void frmMake::onFinished(const QStringList &names)
{
    const QString path = ProgramFiles::path(ProgramFiles::File::CreatedDomains);
    QString error;
    const bool written = writeCreatedDomains(path, names, &error);
    showStatus(int(names.size()));
    setInputEnabled(true);
    if (!written) {
        tell(
            QStringLiteral("The names could not be written to %1: %2. The earlier list is kept, and no run is started.")
                .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    emit generated(int(names.size()));
}

void frmMake::Command2_Click()
{
    const QString folder = ProgramFiles::path(ProgramFiles::Folder::CustomLists);
    QDir().mkpath(folder);
    const QString target =
        chooseSaveFile ? chooseSaveFile(folder + '/' + Text1->text() + QStringLiteral(".txt")) : QString();
    if (!target.isEmpty())   // a cancelled dialog copies nothing
        Helpers::CopyFile(ProgramFiles::path(ProgramFiles::File::CreatedDomains), target);
}

void frmMake::setInputEnabled(bool enabled)
{
    for (QWidget *widget : std::initializer_list<QWidget *> {chkExt[0], chkExt[1], chkExt[2], chkAdd[0], chkAdd[1],
             chkAdd[2], Text1, Text2, Command1, Command2, cmdAdd, cmdSub})
        widget->setEnabled(enabled);
}

void frmMake::showStatus(int count)
{
    txtStatus->setText(QStringLiteral("Created %1 Domains...").arg(count));
}

void frmMake::tell(const QString &text)
{
    showMessage(this, windowTitle(), text, QMessageBox::Information);
}
