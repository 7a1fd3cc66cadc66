// A bar button its owner draws, the way an owner-drawn dialog button is drawn on a draw-item
// request: the button's paint event hands the painter, the cell and the item's state (selected
// while held down, disabled) to the owner's draw function. It follows the command action it is
// given (enabled state, trigger), so the frame's command table enables it.
#pragma once

#include <platform/qt/colors.h>
#include <platform/qt/flat_cell.h>

#include <QSize>
#include <QToolButton>

#include <functional>

namespace talverin {

class OwnerDrawButton : public QToolButton {
public:
    using Draw = std::function<void(OwnerDrawButton& button, const plat::qt::DrawItemInfo& item)>;

    // id: the control id (also the object name); size: the cell in pixels.
    OwnerDrawButton(int id, const QSize& size, Draw draw, QWidget* parent = nullptr);

    int id() const { return m_id; }
    // The item state DrawFlatCell heeds: ODS_SELECTED while held down, ODS_DISABLED when disabled.
    unsigned itemState() const;

    QSize sizeHint() const override { return m_size; }
    QSize minimumSizeHint() const override { return m_size; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_id;
    QSize m_size;
    Draw m_draw;
};

// The cell styles the bars share. Raised: the button face, white top and left, the dark line
// 0x000010 bottom and right. Pressed: the fill, the dark line top and left, white bottom and
// right, the text 3 pixels in.
inline constexpr plat::COLORREF kCellDarkLine = 0x000010;
inline constexpr plat::COLORREF kCellWhite = 0xFFFFFF;
QColor ButtonFaceColor();
void DrawRaisedCell(const QString& text, const plat::qt::DrawItemInfo& item);
void DrawPressedCell(const QString& text, const plat::qt::DrawItemInfo& item, const QColor& fill);

} // namespace talverin
