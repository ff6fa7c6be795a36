#pragma once
#include <QWidget>

class QLabel;
class QTableWidget;
class ResultLists;

// The names about to drop that the runs of this session found, soonest release first: their state
// and estimated release, as Dropping.txt holds them. It follows the runs while it is open; a
// double-click shows a name's record.
class DroppingWindow : public QWidget
{
    Q_OBJECT

public:
    DroppingWindow(const ResultLists &results, QWidget *parent = nullptr);

    QTableWidget *table() const { return m_table; }

signals:
    void showRecord(const QString &name);

private:
    void add(const QString &name, const QString &state, const QString &release);
    void showCount();

    const ResultLists &m_results;
    QLabel *m_caption = nullptr;
    QTableWidget *m_table = nullptr;
};
