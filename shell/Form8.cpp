#include "shell/Form8.h"

#include "app/Helpers.h"
#include "app/ProgramFiles.h"
#include "app/Settings.h"
#include "shell/Branding.h"
#include "shell/OnTop.h"
#include "shell/RtfReader.h"
#include "shell/Skin.h"
#include "shell/WindowKeys.h"

#include <QCheckBox>
#include <QFile>
#include <QKeyEvent>
#include <QTextEdit>
#include <QVBoxLayout>

Form8::Form8(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Readme/Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    rtf1 = new QTextEdit;
    closeOnEscape(this);
    rtf1->setReadOnly(true);
    Check1 = new QCheckBox(QStringLiteral("Show at Startup"));
    Check1->setChecked(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(rtf1);
    layout->addWidget(Check1);
    resize(640, 520);
    Form_Load();
    connect(Check1, &QCheckBox::clicked, this, &Form8::Check1_Click);
}

// Each step goes on whatever the one before it managed.
void Form8::Form_Load()
{
    if (branding().skinningOn)
        Skin::ApplySkin(this);
    const QString path = ProgramFiles::path(ProgramFiles::File::Help);
    QFile file(path);
    if (!Helpers::FileExists(path) || !file.open(QIODevice::ReadOnly)) {
        setVisible(false);
        return;
    }
    readRtf(file.read(8 << 20), rtf1->document());
    rtf1->moveCursor(QTextCursor::Start);   // the document opens at its beginning
    m_loaded = true;
    Helpers::SetOnTop(this, true);
    // A value that is not a number leaves the box as it was: checked.
    bool number = false;
    const int value = Settings::ShowHelp.text().trimmed().toInt(&number);
    static const Qt::CheckState states[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};   // 2 is greyed
    if (number && value >= 0 && value <= 2)
        Check1->setCheckState(states[value]);
}

void Form8::Check1_Click()
{
    Settings::ShowHelp.set(Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void Form8::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}
