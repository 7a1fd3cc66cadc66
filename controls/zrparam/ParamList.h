// The parameter list (child 1001): a flat view of uniform rows over ParamListModel, every row
// drawn whole by ParamRowDelegate. Keys, clicks, focus, scrolling and selection changes go to
// the window, which applies the editor's rules.
#pragma once

#include "ParamListModel.h"

#include <QTreeView>

class ParamWindow;

// Win32 list-view flags for the host's next-item query.
enum ListNextFlag : int {
    LVNI_ALL = 0x0, LVNI_FOCUSED = 0x1, LVNI_SELECTED = 0x2, LVNI_ABOVE = 0x100, LVNI_BELOW = 0x200,
    LVNI_TOLEFT = 0x400, LVNI_TORIGHT = 0x800,
};

class ParamList : public QTreeView {
public:
    ParamList(ParamWindow& owner, QWidget* parent);

    ParamListModel& rows() { return m_model; }
    const ParamListModel& rows() const { return m_model; }

    // The first selected row, -1 when none; the focused (current) row, -1 when none.
    int selectedRow() const;
    int focusedRow() const;
    bool isSelected(int row) const;
    std::vector<int> selectedRows() const;
    // Makes row the only selected row and the current one.
    void selectOnly(int row);
    // The row whose data is the node address, else -1.
    int rowOfNode(const void* node) const;
    // ListGetNextItem.
    int nextItem(int row, int flags) const;
    // Rows that fit in the view, at least 1.
    int rowsPerPage() const;
    int rowHeight() const;
    // The row's rectangle in the view's (viewport's) coordinates.
    QRect rowRect(int row) const;
    void repaintRow(int row);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supported) override;
    void scrollContentsBy(int dx, int dy) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    ParamWindow& m_owner;
    ParamListModel m_model;
};
