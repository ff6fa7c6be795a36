#include "ui/Windows.h"

#include "shell/Shutdown.h"

#include <QEvent>
#include <QScreen>
#include <algorithm>

Windows::~Windows()
{
    deleteSessionUsers();
    delete m_windows[size_t(Kind::Website)];
}

QWidget *Windows::show(Kind kind, const std::function<QWidget *()> &make)
{
    QPointer<QWidget> &window = m_windows[size_t(kind)];
    if (!window)
        replace(kind, make());
    if (!window)
        return nullptr;
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void Windows::replace(Kind kind, QWidget *window)
{
    QPointer<QWidget> &kept = m_windows[size_t(kind)];
    if (kept != window)
        delete kept;
    kept = window;
    if (window && kind == Kind::Website)
        window->installEventFilter(this);
    if (window && kind != Kind::Splash)
        centreOnMainWindow(window);
}

// A new window opens over the middle of the main window, not at the screen's corner, and wholly on
// the screen the main window is on.
void Windows::centreOnMainWindow(QWidget *window) const
{
    const auto *main = qobject_cast<const QWidget *>(parent());
    if (!main || !main->isVisible() || !main->screen())
        return;
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();   // the size it takes when shown
    const QRect area = main->screen()->availableGeometry();
    // As it will be shown: a layout may widen it to its minimum.
    const QSize size = window->size().expandedTo(window->minimumSizeHint()).boundedTo(area.size());
    QPoint topLeft = main->frameGeometry().center() - QPoint(size.width() / 2, size.height() / 2);
    topLeft.setX(std::clamp(topLeft.x(), area.left(), area.right() + 1 - size.width()));
    topLeft.setY(std::clamp(topLeft.y(), area.top(), area.bottom() + 1 - size.height()));
    window->move(topLeft);
}

void Windows::deleteSessionUsers()
{
    for (Kind kind : {Kind::Harvest, Kind::ListBuilder, Kind::Whois, Kind::Dropping})
        delete m_windows[size_t(kind)];
}

void Windows::closeAll()
{
    for (size_t kind = 0; kind < size_t(Kind::Website); ++kind) {
        if (m_windows[kind])
            m_windows[kind]->close();
    }
    const QWidget *website = m_windows[size_t(Kind::Website)];
    if (website && website->isVisible())
        m_endPending = true;
    else
        Shutdown::endProgram();
}

bool Windows::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Close && m_endPending && watched == m_windows[size_t(Kind::Website)])
        Shutdown::endProgram();
    return QObject::eventFilter(watched, event);
}
