#include "screens/channel/ChannelRowDelegate.h"

#include "screens/channel/ChannelRowModel.h"

#include <platform/qt/colors.h>

#include <QPainter>

namespace talverin {

namespace {

QColor sys(int index) { return plat::ColorFromColorRef(plat::GetSysColor(index)); }

} // namespace

RowPaint ChooseRowPaint(const RowPaintState& state)
{
    RowPaint paint;
    if (state.selected && state.focusInside) {
        paint.background = sys(plat::COLOR_HIGHLIGHT);
        paint.text = sys(plat::COLOR_HIGHLIGHTTEXT);
    } else if (state.selected) {
        paint.background = sys(plat::COLOR_BTNFACE);
        paint.text = sys(plat::COLOR_BTNTEXT);
    } else if (state.rejected || (!state.lastRow && state.commandEmpty)) {
        paint.background = QColor::fromRgb(kRejectedRowColor);
        paint.text = sys(plat::COLOR_WINDOWTEXT);
    } else {
        paint.background = sys(plat::COLOR_WINDOW);
        paint.text = sys(plat::COLOR_WINDOWTEXT);
    }
    paint.marker = state.focusedRow && state.focusInside;
    if (state.focusedRow)
        paint.editCell = QColor::fromRgb(kEditCellColor);
    return paint;
}

ChannelRowDelegate::ChannelRowDelegate(ViewState state, QObject* parent)
    : QStyledItemDelegate(parent), m_state(std::move(state))
{
}

RowPaint ChannelRowDelegate::paintFor(const QModelIndex& index, bool selected) const
{
    const QAbstractItemModel* model = index.model();
    RowPaintState s;
    s.selected = selected;
    s.focusInside = m_state.focusInside && m_state.focusInside();
    s.rejected = index.siblingAtColumn(0).data(ChannelRowModel::RejectedRole).toInt() != 0;
    s.lastRow = model && index.row() == model->rowCount() - 1;
    s.commandEmpty = index.siblingAtColumn(kColumnCommand).data().toString().isEmpty();
    s.focusedRow = m_state.currentRow && index.row() == m_state.currentRow();
    return ChooseRowPaint(s);
}

void ChannelRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const RowPaint p = paintFor(index, option.state & QStyle::State_Selected);
    const int column = index.column();
    const bool editCell = p.editCell.isValid() && m_state.editColumn && column == m_state.editColumn();
    painter->save();
    painter->fillRect(option.rect, editCell ? p.editCell : p.background);
    painter->setPen(p.text);
    painter->setFont(option.font);
    painter->setClipRect(option.rect);
    if (column == kColumnMarker) {
        if (p.marker)
            painter->drawText(option.rect, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral(">"));
    } else {
        // Left-aligned columns keep one leading blank.
        const QString text = QLatin1Char(' ') + index.data().toString();
        painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
    painter->restore();
}

} // namespace talverin
