#pragma once
#include <QWidget>

class QCheckBox;
class QTextEdit;

// The help viewer "Readme/Help": Help.rtf as formatted text, and "Show at Startup". Without the
// help file it stays invisible.
class Form8 : public QWidget
{
    Q_OBJECT

public:
    explicit Form8(QWidget *parent = nullptr);

    // Whether Help.rtf was found and loaded; callers show the window only then.
    bool hasHelp() const { return m_loaded; }
    void Check1_Click();

    QTextEdit *rtf1 = nullptr;
    QCheckBox *Check1 = nullptr;

private:
    void Form_Load();

    bool m_loaded = false;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
