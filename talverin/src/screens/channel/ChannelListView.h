// List 1230 of the channel editor: a table of fixed rows with grid lines, whole-row and multi-row
// selection and no sorting. It never edits (the view places its own editor over a cell); it tells
// the view of clicks by cell, of its context menu, and of dragged data, which the view decides on.
#pragma once

#include <QTableView>

#include <functional>

namespace talverin {

class ChannelListView : public QTableView {
    Q_OBJECT

public:
    explicit ChannelListView(QWidget* parent = nullptr);

    // Dragged data over the list (list coordinates): whether the copy effect is offered, and the
    // drop itself.
    std::function<bool(const QMimeData*, const QPoint&)> acceptDrag;
    std::function<void(const QMimeData*)> drop;

    // The first row shown.
    int topRow() const;

signals:
    void cellPressed(int row, int column, bool doubleClick);
    void contextMenuAt(const QPoint& globalPos, bool fromKeyboard);
    void focusEntered();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

} // namespace talverin
