#include "ui/ResultListWidgets.h"

#include <QDropEvent>
#include <QMimeData>

ProfileListWidget::ProfileListWidget(int listNumber, QWidget *parent)
    : QListWidget(parent)
    , m_listNumber(listNumber)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
}

QString ProfileListWidget::SelectedPositions() const
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

QStringList ProfileListWidget::mimeTypes() const
{
    return {QStringLiteral("text/plain")};
}

QMimeData *ProfileListWidget::mimeData(const QList<QListWidgetItem *> &) const
{
    auto *data = new QMimeData;
    data->setText(SelectedPositions());
    return data;
}

SavedListWidget::SavedListWidget(QWidget *parent)
    : QListWidget(parent)
{
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
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
    emit textDropped(event->mimeData()->text(), event->source() != nullptr);
}
