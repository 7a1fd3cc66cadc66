#include "SettenButton.h"

#include "CZRCN2Ctrl.h"
#include "RowPainting.h"

#include <controls/ZRCN2Members.h>

#include <platform/qt/colors.h>
#include <platform/qt/fonts.h>

#include <QPainter>

SettenButton::SettenButton(CZRCN2Ctrl& ctrl, QWidget* parent) : QAbstractButton(parent), m_ctrl(ctrl)
{
    setFocusPolicy(Qt::StrongFocus);
}

void SettenButton::setBadgeSize(int size)
{
    if (size == m_badgeSize)
        return;
    m_badgeSize = size;
    setFont(plat::qt::MakeFont(QStringLiteral("Century Gothic"), std::max(1, size)));
    update();
}

void SettenButton::paintEvent(QPaintEvent*)
{
    using namespace ctl::zrcn2;
    QPainter p(this);
    const plat::COLORREF back = plat::ResolveColorRef(m_ctrl.color(SettenBackColor));
    const QRect r = rect();
    p.fillRect(r, plat::ColorFromColorRef(back));
    DrawSunkenFrame(p, r, back);
    const plat::COLORREF text = isEnabled() ? m_ctrl.color(SettenTextColor) : plat::SystemColorRef(plat::COLOR_GRAYTEXT);
    p.setPen(plat::ColorFromColorRef(text));
    p.setFont(font());
    p.drawText(r, Qt::AlignCenter, QString::fromStdString(m_ctrl.model().setten()));
    if (hasFocus())
        DrawFocusRect(p, r.adjusted(2, 2, -2, -2));
}
