#include "ui/Windows.h"

#include "shell/Shutdown.h"

#include <QEvent>

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
}

void Windows::deleteSessionUsers()
{
    for (Kind kind : {Kind::Harvest, Kind::ListBuilder, Kind::Whois})
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
