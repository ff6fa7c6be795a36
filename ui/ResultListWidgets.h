#pragma once
#include <QListWidget>

// A profile list: extended selection; a press marks it as the source of the next drag, and a drag
// carries the positions of the selected entries ("0|3|7"), not the names.
class ProfileListWidget : public QListWidget
{
    Q_OBJECT

public:
    ProfileListWidget(int listNumber, QWidget *parent);
    // The positions of the selected entries in ascending order, joined by "|".
    QString SelectedPositions() const;

signals:
    void pressed(int listNumber);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QListWidgetItem *> &items) const override;

private:
    int m_listNumber;
};

// The Saved Domains list: takes drops of plain text.
class SavedListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit SavedListWidget(QWidget *parent);

signals:
    // fromThisProgram is false for text dragged in from another program.
    void textDropped(const QString &text, bool fromThisProgram);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
