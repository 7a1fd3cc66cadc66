#include "frame/OwnerDrawButton.h"

#include <QPainter>

namespace talverin {

OwnerDrawButton::OwnerDrawButton(int id, const QSize& size, Draw draw, QWidget* parent)
    : QToolButton(parent), m_id(id), m_size(size), m_draw(std::move(draw))
{
    setObjectName(QString::number(id));
    setFixedSize(size);
    setFocusPolicy(Qt::NoFocus);
}

unsigned OwnerDrawButton::itemState() const
{
    unsigned state = 0;
    if (isDown())
        state |= plat::qt::ODS_SELECTED;
    if (!isEnabled())
        state |= plat::qt::ODS_DISABLED;
    return state;
}

void OwnerDrawButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The owner draws on a plain device context: button text, not the widget's palette.
    painter.setPen(plat::ColorFromColorRef(plat::SystemColorRef(plat::COLOR_BTNTEXT)));
    if (m_draw)
        m_draw(*this, {&painter, rect(), itemState()});
}

QColor ButtonFaceColor()
{
    return plat::ColorFromColorRef(plat::SystemColorRef(plat::COLOR_BTNFACE));
}

void DrawRaisedCell(const QString& text, const plat::qt::DrawItemInfo& item)
{
    plat::qt::DrawFlatCell(text, item, 0, ButtonFaceColor(), plat::ColorFromColorRef(kCellWhite),
                           plat::ColorFromColorRef(kCellDarkLine), true);
}

void DrawPressedCell(const QString& text, const plat::qt::DrawItemInfo& item, const QColor& fill)
{
    plat::qt::DrawFlatCell(text, item, 3, fill, plat::ColorFromColorRef(kCellDarkLine),
                           plat::ColorFromColorRef(kCellWhite), true);
}

} // namespace talverin
