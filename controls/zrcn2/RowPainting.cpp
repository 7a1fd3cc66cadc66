#include "RowPainting.h"

#include "CZRCN2Ctrl.h"

#include <controls/ZRCN2Members.h>
#include <zrcn2/PinRowColors.h>

#include <platform/qt/colors.h>
#include <platform/qt/fonts.h>

#include <QPainter>

using namespace ctl::zrcn2;

void DrawSunkenFrame(QPainter& p, const QRect& r, plat::COLORREF colour)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const zrcn2::SunkenShades shades = zrcn2::SunkenFrameShades(colour);
    const QColor dark = plat::ColorFromColorRef(shades.dark);
    const QColor light = plat::ColorFromColorRef(shades.light);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), dark);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), dark);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), light);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), light);
}

void DrawFocusRect(QPainter& p, const QRect& r)
{
    if (r.width() <= 1 || r.height() <= 1)
        return;
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.restore();
}

RowFonts MakeRowFonts(const zrcn2::PinRowLayout& layout)
{
    const QString face = QStringLiteral("MS Gothic");
    return {plat::qt::MakeFont(face, std::max(1, layout.editFontHeight), 400, false, true),
            plat::qt::MakeFont(face, std::max(1, layout.numberFontHeight), 400, false, true)};
}

void PaintRow(QPainter& p, const QSize& size, const CZRCN2Ctrl& ctrl, const zrcn2::PinRowLayout& layout,
              const RowFonts& fonts, bool badgePressed)
{
    const auto& model = ctrl.model();
    const plat::COLORREF back = plat::ResolveColorRef(ctrl.color(BackColor));
    p.fillRect(QRect(QPoint(0, 0), size), plat::ColorFromColorRef(back));
    if (ctrl.borderStyle() == 1) {
        p.setPen(plat::ColorFromColorRef(ctrl.color(BorderColor)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(QPoint(0, 0), size).adjusted(0, 0, -1, -1));
    }

    // The badge: a filled circle with the pin number, darker rim below it.
    const zrcn2::ColorRef fill = zrcn2::BadgeColor(plat::ResolveColorRef(ctrl.color(NumberBackColor)),
                                                   model.status(), model.changed(), badgePressed);
    const QRect ellipse = zrcn2::BadgeEllipse(layout, badgePressed);
    if (ellipse.width() > 0 && ellipse.height() > 0) {
        p.setRenderHint(QPainter::Antialiasing, false);
        if (!badgePressed) {
            p.setPen(Qt::NoPen);
            p.setBrush(plat::ColorFromColorRef(zrcn2::SunkenFrameShades(fill).dark));
            p.drawEllipse(ellipse.translated(zrcn2::kBadgeInset, zrcn2::kBadgeInset));
        }
        p.setPen(Qt::NoPen);
        p.setBrush(plat::ColorFromColorRef(fill));
        p.drawEllipse(ellipse);
        p.setFont(fonts.number);
        p.setPen(plat::ColorFromColorRef(zrcn2::NumberColor(model.status())));
        p.drawText(ellipse, Qt::AlignCenter, QString::number(model.number()));
    }

    if (model.fullRow()) {
        DrawSunkenFrame(p, layout.nameBox, back);
        DrawSunkenFrame(p, layout.dataBox, back);
        return;
    }
    // A badge-only row shows its function text in one frame.
    const QRect frame = layout.nameOnly;
    if (frame.width() <= 2 || frame.height() <= 2)
        return;
    p.fillRect(frame.adjusted(1, 1, -1, -1), plat::ColorFromColorRef(plat::ResolveColorRef(ctrl.color(NameBackColor))));
    DrawSunkenFrame(p, frame, back);
    p.setFont(fonts.edit);
    p.setPen(plat::ColorFromColorRef(ctrl.color(NameTextColor)));
    p.drawText(frame, Qt::AlignCenter, QString::fromStdString(model.name()));
}
