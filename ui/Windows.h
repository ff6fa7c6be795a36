#pragma once
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>

// The main window's other windows. Each is made once and raised when asked for again; at the end
// they close in a fixed order, and the program ends then, or, while the website window is open,
// when it closes. The windows that use the main window's session are deleted before it.
class Windows : public QObject
{
    Q_OBJECT

public:
    // In their closing order; the website window is left open at the end.
    enum class Kind {
        Notice,
        ListBuilder,
        Harvest,
        Help,
        Generator,
        Dropping,
        Splash,
        Whois,
        About,
        Website,
        Count
    };

    using QObject::QObject;
    ~Windows() override;

    QWidget *window(Kind kind) const { return m_windows[size_t(kind)]; }
    // Shows the window of that kind, made by `make` when there is none (make may give none).
    QWidget *show(Kind kind, const std::function<QWidget *()> &make);
    // A window made elsewhere (the splash) or anew each time (a record): the earlier one goes.
    void replace(Kind kind, QWidget *window);
    void deleteSessionUsers();
    // The program's end, as the main window closes.
    void closeAll();
    bool endPending() const { return m_endPending; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void centreOnMainWindow(QWidget *window) const;

    std::array<QPointer<QWidget>, size_t(Kind::Count)> m_windows;
    bool m_endPending = false;   // the main window has closed: the website window's close ends the program
};
