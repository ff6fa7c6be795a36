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

namespace {

void mark(QListWidget *list, const QString &name, const QString &toolTip)
{
    for (int row = list->count() - 1; row >= 0; --row) {
        if (QListWidgetItem *item = list->item(row); item->text() == name) {
            item->setToolTip(toolTip);
            item->setForeground(QColor(0xb3, 0x4d, 0x00));
            return;
        }
    }
}

}   // namespace

void PendingUpdates::markItem(QListWidget *list, const QString &name, const QString &toolTip)
{
    if (gather())
        m_marks[list].append({name, toolTip});
    else
        mark(list, name, toolTip);
}

void PendingUpdates::clear(QListWidget *list)
{
    m_items.remove(list);   // rows not shown yet go with the rest
    m_marks.remove(list);
    list->clear();
}

namespace {

// A caption or status panel cut short by a narrow window still shows its whole text as a tool tip.
void showText(QLabel *label, const QString &text)
{
    label->setText(text);
    label->setToolTip(text);
}

}   // namespace

void PendingUpdates::setText(QLabel *label, const QString &text)
{
    if (gather())
        m_texts[label] = text;
    else
        showText(label, text);
}

void PendingUpdates::flush()
{
    m_timer.stop();
    const auto items = std::exchange(m_items, {});
    for (auto it = items.cbegin(); it != items.cend(); ++it)
        it.key()->addItems(it.value());
    const auto marks = std::exchange(m_marks, {});
    for (auto it = marks.cbegin(); it != marks.cend(); ++it) {
        for (const auto &[name, toolTip] : it.value())
            mark(it.key(), name, toolTip);
    }
    const auto texts = std::exchange(m_texts, {});
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        showText(it.key(), it.value());
}
