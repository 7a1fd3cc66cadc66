// Draws the channel editor's rows as the list's owner draw did: the selection in the highlight
// colours while the list or its editor has the focus (button face otherwise), rejected lines and
// empty commands above the last row light red, ">" on the focused row, and the cell in the edit
// column of the focused row light grey. Colours are the system colours of plat::GetSysColor.
#pragma once

#include <QColor>
#include <QStyledItemDelegate>

#include <functional>

namespace talverin {

struct RowPaint {
    QColor background;
    QColor text;
    bool marker = false;   // ">" in column 0
    QColor editCell;       // fill of the edit column's cell; invalid: none
};

struct RowPaintState {
    bool selected = false;
    bool focusInside = false; // the list or the cell editor has the focus
    bool rejected = false;
    bool lastRow = false;
    bool commandEmpty = false;
    bool focusedRow = false;  // the row with the focus state (the current row)
};

RowPaint ChooseRowPaint(const RowPaintState& state);

inline constexpr QRgb kRejectedRowColor = qRgb(255, 223, 223);
inline constexpr QRgb kEditCellColor = qRgb(223, 223, 223);

class ChannelRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // What the view knows and the model does not.
    struct ViewState {
        std::function<bool()> focusInside;
        std::function<int()> currentRow;
        std::function<int()> editColumn;
    };

    explicit ChannelRowDelegate(ViewState state, QObject* parent = nullptr);

    // The paint of a cell of the model's row as it is now.
    RowPaint paintFor(const QModelIndex& index, bool selected) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // No Qt item editors: the view places its own.
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const override { return nullptr; }

private:
    ViewState m_state;
};

} // namespace talverin
