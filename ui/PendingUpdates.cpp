#include "ui/PendingUpdates.h"

#include <QLabel>
#include <QListWidget>

PendingUpdates::PendingUpdates(std::function<bool()> batching, QObject *parent)
    : QObject(parent)
    , m_batching(std::move(batching))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PendingUpdates::flush);
}

// Whether the change waits for the next flush; when not, what waits is shown first, in order.
bool PendingUpdates::gather()
{
    if (m_batching()) {
        if (!m_timer.isActive())
            m_timer.start();
        return true;
    }
    flush();
    return false;
}

void PendingUpdates::addItems(QListWidget *list, const QStringList &names)
{
    if (gather())
        m_items[list] += names;
    else
        list->addItems(names);
}

void PendingUpdates::clear(QListWidget *list)
{
    m_items.remove(list);   // rows not shown yet go with the rest
    list->clear();
}

void PendingUpdates::setText(QLabel *label, const QString &text)
{
    if (gather())
        m_texts[label] = text;
    else
        label->setText(text);
}

void PendingUpdates::flush()
{
    m_timer.stop();
    const auto items = std::exchange(m_items, {});
    for (auto it = items.cbegin(); it != items.cend(); ++it)
        it.key()->addItems(it.value());
    const auto texts = std::exchange(m_texts, {});
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        it.key()->setText(it.value());
}
