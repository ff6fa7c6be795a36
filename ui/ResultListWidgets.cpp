#include "ui/ResultListWidgets.h"

#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

ProfileListWidget::ProfileListWidget(int listNumber, QWidget *parent)
    : QListWidget(parent)
    , m_listNumber(listNumber)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // One line of text a row: every row's size is the first's, so that a list of thousands is not
    // measured row by row each time it grows.
    setUniformItemSizes(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

QString ProfileListWidget::selectedPositions() const
{
    QStringList positions;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->isSelected())
            positions << QString::number(row);
    }
    return positions.join('|');
}

void ProfileListWidget::mousePressEvent(QMouseEvent *event)
{
    emit pressed(m_listNumber);
    QListWidget::mousePressEvent(event);
}

QString ProfileListWidget::positionsFormat()
{
    return QStringLiteral("application/x-tamarind-positions");
}

QStringList ProfileListWidget::mimeTypes() const
{
    return {QStringLiteral("text/plain"), positionsFormat()};
}

QMimeData *ProfileListWidget::mimeData(const QList<QListWidgetItem *> &) const
{
    auto *payload = new QMimeData;
    payload->setText(selectedPositions());
    payload->setData(positionsFormat(), QByteArray::number(m_listNumber));
    return payload;
}

// A move (Shift-drag) would take the rows out of the list box but not out of the stored list.
void ProfileListWidget::startDrag(Qt::DropActions)
{
    QListWidget::startDrag(Qt::CopyAction);
}

RegisteredListWidget::RegisteredListWidget(QWidget *parent)
    : QListWidget(parent)
{ }

void RegisteredListWidget::mousePressEvent(QMouseEvent *event)
{
    m_told = event->button() != Qt::LeftButton || !itemAt(event->position().toPoint());
    QListWidget::mousePressEvent(event);
}

// Only a drag that leaves the list is meant for another one; inside it the button selects.
void RegisteredListWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_told && (event->buttons() & Qt::LeftButton) && !viewport()->rect().contains(event->position().toPoint())) {
        m_told = true;
        emit dragRefused();
    }
    QListWidget::mouseMoveEvent(event);
}

SavedListWidget::SavedListWidget(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    viewport()->setAcceptDrops(true);
}

void SavedListWidget::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
}

void SavedListWidget::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
}

void SavedListWidget::dropEvent(QDropEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
    // Text dragged from a text box or from another program has no positions of a profile list.
    const bool fromProfileList = event->mimeData()->hasFormat(ProfileListWidget::positionsFormat());
    emit textDropped(event->mimeData()->text(), fromProfileList);
}
