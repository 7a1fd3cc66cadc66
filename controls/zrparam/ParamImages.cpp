#include "ParamImages.h"

#include <QPainter>
#include <QPolygon>

#include <array>
#include <map>

namespace {

using zrparam::ImageRole;

void folder(QPainter& p, bool open, bool marked)
{
    p.setPen(QColor(128, 96, 0));
    p.setBrush(QColor(240, 200, 64));
    p.drawRect(1, 4, 13, 10);
    p.drawRect(1, 2, 5, 2);
    if (open) {
        p.setBrush(QColor(255, 232, 128));
        p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 14), QPoint(1, 14)}));
    }
    if (marked) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 0, 0));
        p.drawEllipse(9, 8, 6, 6);
    }
}

void arrow(QPainter& p, bool right, const QColor& colour)
{
    p.setPen(colour.darker());
    p.setBrush(colour);
    const QPolygon towardsRight({QPoint(2, 6), QPoint(8, 6), QPoint(8, 2), QPoint(14, 8), QPoint(8, 14),
                                 QPoint(8, 10), QPoint(2, 10)});
    if (right) {
        p.drawPolygon(towardsRight);
        return;
    }
    QPolygon mirrored;
    for (const QPoint& pt : towardsRight)
        mirrored << QPoint(16 - pt.x(), pt.y());
    p.drawPolygon(mirrored);
}

void page(QPainter& p, const QColor& fill, const QColor& mark)
{
    p.setPen(QColor(64, 64, 64));
    p.setBrush(fill);
    p.drawRect(3, 1, 10, 14);
    p.setPen(mark);
    for (int y = 4; y <= 12; y += 3)
        p.drawLine(5, y, 11, y);
}

QPixmap draw(ImageRole role)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    switch (role) {
    case ImageRole::Group: folder(p, false, false); break;
    case ImageRole::GroupSelected: folder(p, true, false); break;
    case ImageRole::ReadWrite: page(p, Qt::white, QColor(0, 0, 160)); break;
    case ImageRole::Changed:
        page(p, QColor(224, 224, 255), QColor(0, 0, 128));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 0, 0));
        p.drawEllipse(8, 8, 7, 7);
        break;
    case ImageRole::GroupChanged: folder(p, false, true); break;
    case ImageRole::GroupChangedSelected: folder(p, true, true); break;
    case ImageRole::Output: arrow(p, true, QColor(0, 160, 0)); break;
    case ImageRole::Input: arrow(p, false, QColor(0, 96, 200)); break;
    case ImageRole::ReadOnly: page(p, QColor(224, 224, 224), QColor(128, 128, 128)); break;
    case ImageRole::WriteOnly:
        p.setPen(QColor(96, 48, 0));
        p.setBrush(QColor(255, 160, 64));
        p.drawPolygon(QPolygon({QPoint(2, 14), QPoint(3, 10), QPoint(12, 1), QPoint(15, 4), QPoint(6, 13)}));
        break;
    }
    return pm;
}

} // namespace

const QPixmap& ParamImages::picture(ImageRole role)
{
    // Kept until the process ends: pictures must not outlive the application in static destructors.
    static const auto* pictures = [] {
        auto* all = new std::array<QPixmap, zrparam::kImageRoleCount>;
        for (int i = 0; i < zrparam::kImageRoleCount; ++i)
            (*all)[static_cast<std::size_t>(i)] = draw(static_cast<ImageRole>(i));
        return all;
    }();
    return (*pictures)[static_cast<std::size_t>(role)];
}

QIcon ParamImages::icon(zrparam::ImagePair pair)
{
    static auto* icons = new std::map<std::pair<int, int>, QIcon>;
    const auto key = std::make_pair(static_cast<int>(pair.normal), static_cast<int>(pair.selected));
    auto it = icons->find(key);
    if (it == icons->end()) {
        QIcon icon;
        icon.addPixmap(picture(pair.normal), QIcon::Normal);
        icon.addPixmap(picture(pair.selected), QIcon::Selected);
        it = icons->emplace(key, icon).first;
    }
    return it->second;
}
