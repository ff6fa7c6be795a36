#pragma once
#include <QObject>
#include <QStringList>
#include <functional>

class CheckSession;
class QLineEdit;
class QWidget;

// The Endings field beside the source: the endings a bare word is asked under. What is typed is
// checked (what is no ending is refused with why, an ending given twice merged), kept, and handed to
// the next run; endings no service answers are named. Many endings make Start ask first.
class EndingsField : public QObject
{
public:
    // More endings than this, and Start asks first.
    static constexpr int ManyEndings = 10;

    EndingsField(CheckSession &session, QWidget *window);
    void attach(QLineEdit *field) { m_field = field; }

    // The field is narrow: its tool tip shows the whole list.
    void show(const QStringList &endings);
    // The user has typed endings.
    void finished();
    // Runs `start` at once, or once the user agrees when many endings are chosen.
    void confirmStart(const std::function<void()> &start);

private:
    CheckSession &m_session;
    QWidget *m_window;
    QLineEdit *m_field = nullptr;
};
