#include "ParamRowDelegate.h"

#include <platform/qt/colors.h>

#include <QFontMetrics>
#include <QPainter>

namespace {

QColor sys(int index)
{
    return plat::ColorFromColorRef(plat::GetSysColor(index));
}

QColor rgb(int r, int g, int b)
{
    return QColor(r, g, b);
}

} // namespace

bool ParamRowDelegate::isErrorStatus(int status)
{
    const auto s = static_cast<unsigned>(status);
    return (s & 0x40000000u) != 0 || s == 0x20000003u || s == 0x20000004u || s == 0x2000000bu;
}

QColor ParamRowDelegate::background(const RowLook& look)
{
    if (look.selected)
        return sys(plat::COLOR_HIGHLIGHT);
    if (isErrorStatus(look.status))
        return rgb(255, 224, 224);
    if (look.changed)
        return rgb(224, 224, 255);
    return sys(plat::COLOR_WINDOW);
}

QColor ParamRowDelegate::textColour(const RowLook& look)
{
    if (look.changed && (look.selected || look.focused))
        return rgb(0, 255, 255);
    if (look.changed && !look.selected && !look.focused)
        return rgb(0, 0, 128);
    if (look.selected)
        return Qt::white;
    if (look.focused)
        return look.status != 0 ? rgb(255, 0, 0) : sys(plat::COLOR_BTNTEXT);
    return look.writable ? Qt::black : rgb(96, 96, 96);
}

void ParamRowDelegate::paintRow(QPainter& painter, const QRect& rowRect, const std::vector<RowCell>& cells,
                                int mode, const RowLook& look, const QFont& font)
{
    painter.save();
    painter.fillRect(rowRect, background(look));
    if (look.focused) {
        painter.setPen(QPen(sys(plat::COLOR_WINDOWTEXT), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rowRect.adjusted(0, 0, -1, -1));
    }
    // Grid lines between the cells and under the row.
    painter.setPen(sys(plat::COLOR_3DFACE));
    painter.drawLine(rowRect.bottomLeft(), rowRect.bottomRight());
    for (const RowCell& cell : cells)
        painter.drawLine(cell.rect.topRight(), cell.rect.bottomRight());

    QFont textFont = font;
    if (look.changed)
        textFont.setWeight(QFont::Bold);
    painter.setFont(textFont);
    painter.setPen(textColour(look));
    const QFontMetrics metrics(textFont);
    const int last = static_cast<int>(cells.size()) - 1;
    for (int c = 0; c <= last; ++c) {
        const QRect r = cells[static_cast<std::size_t>(c)].rect.intersected(rowRect).adjusted(1, 1, -1, -1);
        if (r.width() <= 0)
            continue;
        const QString& text = cells[static_cast<std::size_t>(c)].text;
        QString shown;
        int align = Qt::AlignVCenter;
        if (c == 0 || c == last || (mode == 1 && c == 3)) {
            shown = QStringLiteral(" ") + text;
            align |= Qt::AlignLeft;
        } else if (c == 1) {
            if (look.stepMode != 0) {
                shown = text + QStringLiteral(" ");
                align |= Qt::AlignRight;
            } else {
                shown = text;
                align |= Qt::AlignHCenter;
            }
        } else if (mode == 1 && c == 2) {
            shown = text + QStringLiteral(" ");
            align |= Qt::AlignRight;
        } else {
            shown = QStringLiteral(" ") + text;
            align |= Qt::AlignLeft;
        }
        painter.save();
        painter.setClipRect(r);
        painter.drawText(r, align | Qt::TextSingleLine, metrics.elidedText(shown, Qt::ElideRight, r.width()));
        painter.restore();
    }
    painter.restore();
}
