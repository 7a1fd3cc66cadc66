#include "screens/channel/ChannelListView.h"

#include <QContextMenuEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>

namespace talverin {

ChannelListView::ChannelListView(QWidget* parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setShowGrid(true);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

int ChannelListView::topRow() const
{
    const int row = rowAt(0);
    return row < 0 ? 0 : row;
}

void ChannelListView::mousePressEvent(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton)
        emit cellPressed(index.row(), index.column(), false);
}

void ChannelListView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && event->button() == Qt::LeftButton)
        emit cellPressed(index.row(), index.column(), true);
}

void ChannelListView::contextMenuEvent(QContextMenuEvent* event)
{
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    emit contextMenuAt(keyboard ? mapToGlobal(QPoint(0, 0)) : event->globalPos(), keyboard);
    event->accept();
}

void ChannelListView::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    emit focusEntered();
}

void ChannelListView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void ChannelListView::dragMoveEvent(QDragMoveEvent* event)
{
    const QPoint pos = viewport()->mapTo(this, event->position().toPoint());
    if (acceptDrag && acceptDrag(event->mimeData(), pos)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void ChannelListView::dropEvent(QDropEvent* event)
{
    const QPoint pos = viewport()->mapTo(this, event->position().toPoint());
    if (!acceptDrag || !acceptDrag(event->mimeData(), pos)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (drop)
        drop(event->mimeData());
}

} // namespace talverin
