#include "ParamList.h"

#include "ParamWindow.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

ParamList::ParamList(ParamWindow& owner, QWidget* parent) : QTreeView(parent), m_owner(owner), m_model(this)
{
    setObjectName(QStringLiteral("1001"));
    setModel(&m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setFrameShape(QFrame::Box);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
}

int ParamList::selectedRow() const
{
    const std::vector<int> all = selectedRows();
    return all.empty() ? -1 : all.front();
}

int ParamList::focusedRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

bool ParamList::isSelected(int row) const
{
    return row >= 0 && row < m_model.rows() && selectionModel()->isRowSelected(row, {});
}

std::vector<int> ParamList::selectedRows() const
{
    std::vector<int> out;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int r = range.top(); r <= range.bottom(); ++r)
            out.push_back(r);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

void ParamList::selectOnly(int row)
{
    if (row < 0 || row >= m_model.rows())
        return;
    selectionModel()->setCurrentIndex(m_model.index(row, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int ParamList::rowOfNode(const void* node) const
{
    return node ? m_model.rowOfData(node) : -1;
}

int ParamList::nextItem(int row, int flags) const
{
    const int count = m_model.rows();
    auto matches = [&](int r) {
        if ((flags & LVNI_FOCUSED) && r != focusedRow())
            return false;
        if ((flags & LVNI_SELECTED) && !isSelected(r))
            return false;
        return true;
    };
    if (flags & (LVNI_TOLEFT | LVNI_TORIGHT))
        return -1; // the rows form one column
    if (flags & LVNI_ABOVE) {
        for (int r = std::min(row, count) - 1; r >= 0; --r) {
            if (matches(r))
                return r;
        }
        return -1;
    }
    for (int r = row < 0 ? 0 : row + 1; r < count; ++r) {
        if (matches(r))
            return r;
    }
    return -1;
}

int ParamList::rowHeight() const
{
    if (m_model.rows() > 0) {
        const int h = sizeHintForRow(0);
        if (h > 0)
            return h;
    }
    return fontMetrics().height() + 4;
}

int ParamList::rowsPerPage() const
{
    return std::max(1, viewport()->height() / std::max(1, rowHeight()));
}

QRect ParamList::rowRect(int row) const
{
    const QRect first = visualRect(m_model.index(row, 0));
    if (!first.isValid())
        return {};
    return QRect(0, first.top(), viewport()->width(), first.height());
}

void ParamList::repaintRow(int row)
{
    const QRect r = rowRect(row);
    if (r.isValid())
        viewport()->update(r);
}

void ParamList::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    m_owner.drawListRow(*painter, option.rect, index.row());
}

void ParamList::keyPressEvent(QKeyEvent* event)
{
    if (m_owner.listKey(*event))
        return;
    QTreeView::keyPressEvent(event);
}

void ParamList::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        m_owner.listDoubleClick(index.row());
}

void ParamList::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    m_owner.listFocusIn();
}

void ParamList::contextMenuEvent(QContextMenuEvent* event)
{
    m_owner.listContextMenu(*event);
}

void ParamList::startDrag(Qt::DropActions)
{
    const ListRow* row = m_model.row(focusedRow());
    m_owner.startDrag(row ? row->node : zrparam::NodeRef{});
}

void ParamList::scrollContentsBy(int dx, int dy)
{
    QTreeView::scrollContentsBy(dx, dy);
    m_owner.listScrolled();
}

void ParamList::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QTreeView::selectionChanged(selected, deselected);
    m_owner.listSelectionChanged(selected, deselected);
}
