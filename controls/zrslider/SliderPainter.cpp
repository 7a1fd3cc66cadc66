#include "SliderPainter.h"

#include <zrslider/SliderLayout.h>

#include <platform/qt/colors.h>
#include <platform/qt/fonts.h>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <vector>

namespace {

using zrslider::ThumbShape;

QColor color(std::uint32_t colorRef)
{
    return plat::ColorFromColorRef(colorRef);
}

QPen pen(std::uint32_t colorRef)
{
    QPen p(color(colorRef));
    p.setWidth(0); // one pixel, whatever the transformation
    return p;
}

// The two arrows beside the English distance text.
void drawArrow(QPainter& p, const QRect& box, bool left, const QColor& c)
{
    p.save();
    p.setPen(QPen(c, 0));
    p.setBrush(c);
    const int y = box.center().y();
    const int head = box.height() / 3;
    p.drawLine(box.left() + 1, y, box.right() - 1, y);
    const int tip = left ? box.left() + 1 : box.right() - 1;
    const int back = left ? tip + head : tip - head;
    p.drawPolygon(QPolygon() << QPoint(tip, y) << QPoint(back, y - head) << QPoint(back, y + head));
    p.restore();
}

void drawRangeText(QPainter& p, const zrslider::SliderModel& model, const SliderLook& look, const ThumbShape& first,
                   const ThumbShape& second, std::int64_t v1, std::int64_t v2)
{
    const int h = model.height();
    const QRect box = zrslider::RangeTextRect(first, second, h, model.halfSize());
    const QString number = QString::fromStdString(zrslider::RangeDistanceText(v1, v2));
    const QFont font = plat::qt::MakeFont(look.fontName, std::max(1, look.japanese ? h - 2 : h), 400, true, false,
                                          look.japanese ? plat::LANG_JAPANESE : plat::LANG_ENGLISH_US);
    p.setFont(font);
    p.setPen(Qt::black);
    if (look.japanese) {
        p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, QStringLiteral("\u2190 %1 \u2192").arg(number));
        return;
    }
    p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, number);
    const int textWidth = QFontMetrics(font).horizontalAdvance(number);
    const int icon = std::min(16, h);
    const int top = (h - icon) / 2;
    const int centre = box.center().x();
    drawArrow(p, QRect(centre - 2 * textWidth, top, icon, icon), true, Qt::black);
    drawArrow(p, QRect(centre + textWidth, top, icon, icon), false, Qt::black);
}

} // namespace

void PaintSlider(QPainter& p, zrslider::SliderModel& model, const SliderLook& look)
{
    const int w = model.width();
    const int h = model.height();
    const int half = model.halfSize();
    const bool vertical = model.vertical();
    const zrslider::Shades shades = zrslider::ShadesOf(look.backColor);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, w, h), color(look.backColor));

    if (look.rangeBar) {
        const zrslider::Groove g = zrslider::GrooveOf(w, h, vertical, half);
        p.setPen(pen(shades.dark));
        p.drawLine(g.a, g.b);
        p.drawLine(g.b, g.c);
        p.setPen(pen(shades.light));
        p.drawLine(g.c, g.d);
        p.drawLine(g.d, g.a);
    }

    std::vector<ThumbShape> shapes;
    shapes.reserve(model.cursors().size());
    for (const auto& c : model.cursors())
        shapes.push_back(zrslider::LayoutThumb(model, *c));
    const ThumbShape* first = nullptr;
    const ThumbShape* second = nullptr;
    std::int64_t v1 = 0, v2 = 0;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const auto& c = *model.cursors()[i];
        if (c.id() == static_cast<std::uint16_t>(look.rangeFirst & 0xFFFF) && !first) {
            first = &shapes[i];
            v1 = c.value;
        }
        if (c.id() == static_cast<std::uint16_t>(look.rangeSecond & 0xFFFF) && !second) {
            second = &shapes[i];
            v2 = c.value;
        }
    }
    const bool range = look.rangeShown && first && second && !vertical;
    if (range)
        p.fillRect(zrslider::RangeFill(*first, *second, h), color(shades.dark));

    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const auto& c = *model.cursors()[i];
        if (c.hidden())
            continue;
        const bool grey = c.locked() || !model.enabled();
        p.setPen(pen(grey ? 0x808080u : shades.darkest));
        p.setBrush(color(grey ? shades.grey : c.color));
        if (shapes[i].rectangle)
            p.drawRect(shapes[i].rect.adjusted(0, 0, -1, -1));
        else
            p.drawPolygon(shapes[i].triangle);
    }
    p.setBrush(Qt::NoBrush);

    if (look.border) {
        p.setPen(pen(shades.darkest));
        p.drawPolyline(QPolygon() << QPoint(0, h) << QPoint(0, 0) << QPoint(w, 0) << QPoint(w, h) << QPoint(0, h));
    }
    if (range)
        drawRangeText(p, model, look, *first, *second, v1, v2);
}
