#pragma once
#include "generator/NameGenerator.h"

#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The Domain Name Creator: a base word and the affix list make candidate names, which are written
// to CreatedDomains.txt and handed to the main window's run.
class frmMake : public QWidget
{
    Q_OBJECT

public:
    explicit frmMake(QWidget *parent = nullptr);

    // Asks where to save the list; returns the chosen file, empty when cancelled.
    std::function<QString(const QString &suggested)> chooseSaveFile;
    // The run that checking the created names would stop, as a sentence; empty when none is going on.
    std::function<QString()> runToReplace;
    // The number of the run going on, and a stop of the run of that number if it still goes on:
    // an answer given late acts on the run the question named, never on a later one.
    std::function<quint64()> runNumber;
    std::function<void(quint64)> stopRun;

    void cmdAdd_Click();
    void cmdSub_Click();
    void Command1_Click();
    void Command2_Click();

    QLabel *SkinLabel1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *Command1 = nullptr;
    std::array<QCheckBox *, 3> chkExt {};
    std::array<QCheckBox *, 3> chkAdd {};
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QListWidget *List1 = nullptr;
    QPushButton *Command2 = nullptr;
    QLabel *SkinLabel2 = nullptr;
    QLineEdit *Text2 = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdSub = nullptr;
    QListWidget *List2 = nullptr;
    QLineEdit *txtStatus = nullptr;

signals:
    // A generation wrote CreatedDomains.txt with this many names; the main window checks them.
    void generated(int count);

private:
    void Form_Load();
    GeneratorOptions options() const;
    void setInputEnabled(bool enabled);
    void showStatus(int count);
    void onFinished(const QStringList &names);
    void tell(const QString &text);

    NameGeneration m_generation;
};
