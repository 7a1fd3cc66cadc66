#include "platform/qt/flat_cell.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

namespace plat::qt {

void DrawFlatCell(const QString& text, const DrawItemInfo& item, int inset, const QColor& fill,
                  const QColor& topLeft, const QColor& bottomRight, bool grey)
{
    QPainter* painter = item.painter;
    if (!painter || !item.rect.isValid())
        return;
    const QRect& r = item.rect;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setBackgroundMode(Qt::TransparentMode);
    painter->fillRect(r, fill);

    const bool greyed = grey && (item.state & (ODS_DISABLED | ODS_GRAYED));
    const QColor textColour = greyed ? QApplication::palette().color(QPalette::Disabled, QPalette::ButtonText)
                                     : painter->pen().color();
    painter->setPen(textColour);
    // Text that does not fit is cut at the cell, never drawn over its neighbours.
    const QRect textRect = r.translated(inset, inset);
    painter->setClipRect(textRect & r, Qt::IntersectClip);
    painter->drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text);
    painter->setClipping(false);

    painter->setPen(QPen(topLeft, 0));
    painter->drawLine(r.left(), r.bottom(), r.left(), r.top());
    painter->drawLine(r.left(), r.top(), r.right(), r.top());
    painter->setPen(QPen(bottomRight, 0));
    painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter->drawLine(r.right(), r.bottom(), r.left(), r.bottom());
    painter->restore();
}

} // namespace plat::qt
