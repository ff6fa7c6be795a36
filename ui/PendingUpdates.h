#pragma once
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

class QLabel;
class QListWidget;

// What a run changes in the window: list rows, captions and status texts. While `batching` says so
// (a run goes on) they are gathered and shown together a few dozen times a second, the screen's
// pace, so that thousands of verdicts a second do not each lay the window out again; otherwise
// they are shown at once. The files are written by the engine, name by name, whatever this shows.
class PendingUpdates : public QObject
{
    Q_OBJECT

public:
    static constexpr int IntervalMs = 40;

    PendingUpdates(std::function<bool()> batching, QObject *parent = nullptr);

    void addItems(QListWidget *list, const QStringList &names);
    void clear(QListWidget *list);
    // Marks the row of that name, added last, with a tool tip and a colour of its own.
    void markItem(QListWidget *list, const QString &name, const QString &toolTip);
    void setText(QLabel *label, const QString &text);
    // Shows everything gathered.
    void flush();

private:
    bool gather();

    std::function<bool()> m_batching;
    QHash<QListWidget *, QStringList> m_items;
    QHash<QLabel *, QString> m_texts;
    QHash<QListWidget *, QList<std::pair<QString, QString>>> m_marks;
    QTimer m_timer;
};
