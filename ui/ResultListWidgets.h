#pragma once
#include <QListWidget>

// A profile list: extended selection; a press marks it as the source of the next drag, and a drag
// carries the positions of the selected entries ("0|3|7"), not the names. A drag always copies:
// the rows stay in the list whatever the target does.
class ProfileListWidget : public QListWidget
{
    Q_OBJECT

public:
    ProfileListWidget(int listNumber, QWidget *parent);
    // The positions of the selected entries in ascending order, joined by "|".
    QString selectedPositions() const;
    // The format that marks a drag as one out of a profile list.
    static QString positionsFormat();

signals:
    void pressed(int listNumber);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    int m_listNumber;
};

// The Registered list: its names are not dragged (a drop on Saved Domains takes names of the
// profile lists only). A drag out of it is told, once a press, rather than doing nothing.
class RegisteredListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit RegisteredListWidget(QWidget *parent);

signals:
    void dragRefused();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    bool m_told = true;   // until a press on a name
};

// The Saved Domains list: takes drops of plain text.
class SavedListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit SavedListWidget(QWidget *parent);

signals:
    // fromProfileList is true only for a drag out of one of the profile lists.
    void textDropped(const QString &text, bool fromProfileList);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
