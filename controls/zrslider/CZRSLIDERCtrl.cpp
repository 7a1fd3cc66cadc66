#include "CZRSLIDERCtrl.h"

#include "CZRSLIDERApp.h"
#include "SliderPainter.h"
#include "SliderWidget.h"

#include <controls/ZRSLIDERMembers.h>
#include <zrslider/SliderLayout.h>

#include <platform/qt/colors.h>
#include <platform/qt/keyboard_hook.h>
#include <platform/qt/virtual_keys.h>

#include <QPainter>
#include <QRegion>

#include <cstring>

namespace {

using namespace ctl::zrslider;
using comp::Result;
using comp::Variant;

constexpr ctl::PropertySpec kProperties[] = {
    {ViewMode, true, 0},
    {Arrow, true, 32},
    {BorderStyle, true, 1},
    {RangeBar, true, 0},
    {BackColor, false, static_cast<std::int32_t>(0x8000000Fu)}, // system colour: button face
};

Result i4(std::int64_t v)
{
    return Result::of(Variant::fromI4(static_cast<std::int32_t>(v)));
}

std::int32_t low32(std::int64_t v)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

// The caller's 64-bit variable (it need not be aligned).
std::int64_t read64(const Variant& v)
{
    std::int64_t out;
    std::memcpy(&out, v.toUnknown(), sizeof out);
    return out;
}

void write64(const Variant& v, std::int64_t value)
{
    std::memcpy(v.toUnknown(), &value, sizeof value);
}

} // namespace

CZRSLIDERCtrl::CZRSLIDERCtrl(ctl::ControlModule& module) : SkeletonControl(module, kClass, kProperties)
{
    // The thumbs are rectangles until the persisted properties are loaded or reset.
    m_model.setSink([this](const zrslider::SliderEvent& e) { onModelEvent(e); });
}

CZRSLIDERCtrl::~CZRSLIDERCtrl()
{
    // The window calls back into this object: it goes first.
    delete widget();
}

QWidget* CZRSLIDERCtrl::makeWidget(QWidget* parent)
{
    auto* w = new SliderWidget(*this, parent);
    m_model.setClientSize(w->width(), w->height());
    return w;
}

void CZRSLIDERCtrl::takeProperties()
{
    m_model.setVertical(propertyI4(ViewMode) != 0);
    m_model.setArrow(propertyI4(Arrow));
}

void CZRSLIDERCtrl::propertiesChanged()
{
    takeProperties();
    updateRegion();
}

void CZRSLIDERCtrl::propertyChanged(comp::DISPID id)
{
    takeProperties();
    switch (id) {
    case ViewMode:
    case BorderStyle:
    case RangeBar:
        updateRegion();
        repaint();
        break;
    default: invalidate(); break; // Arrow (the outline follows at the next paint), BackColor
    }
}

void CZRSLIDERCtrl::updateRegion()
{
    QWidget* w = widget();
    if (!w)
        return;
    auto polygon = zrslider::RegionPolygon(w->width(), w->height(), m_model.vertical(), m_model.arrow());
    if (m_regionSet && polygon == m_region)
        return;
    m_region = polygon;
    m_regionSet = true;
    if (polygon)
        w->setMask(QRegion(*polygon, Qt::WindingFill));
    else
        w->clearMask();
}

void CZRSLIDERCtrl::repaint()
{
    if (QWidget* w = widget())
        w->repaint();
}

void CZRSLIDERCtrl::invalidate()
{
    invalidateControl();
}

QRect CZRSLIDERCtrl::filterGeometry(const QRect& requested, const QRect& current)
{
    return m_model.captured() || m_lockPosition != 0 ? current : requested;
}

void CZRSLIDERCtrl::paint(QWidget& window)
{
    m_model.setClientSize(window.width(), window.height());
    m_model.refreshPixels();
    updateRegion();
    SliderLook look;
    look.backColor = plat::ResolveColorRef(static_cast<std::uint32_t>(propertyI4(BackColor)));
    look.rangeBar = propertyI4(RangeBar) != 0;
    look.border = property(BorderStyle).toI2() != 0;
    look.rangeShown = m_rangeShown;
    look.rangeFirst = m_rangeFirst;
    look.rangeSecond = m_rangeSecond;
    const auto& app = static_cast<const CZRSLIDERApp&>(module());
    look.japanese = app.languageId() == plat::LANG_JAPANESE;
    look.fontName = app.textFontName();
    QPainter p(&window);
    PaintSlider(p, m_model, look);
}

void CZRSLIDERCtrl::resized(const QSize& size)
{
    m_model.setClientSize(size.width(), size.height());
    if (size.width() != 0 && size.height() != 0) {
        m_model.clearExplicitPositions();
        updateRegion();
        if (QWidget* w = widget())
            w->update();
    }
}

void CZRSLIDERCtrl::press(const QPoint& at)
{
    if (m_model.press(at.x(), at.y())) {
        if (QWidget* w = widget())
            w->grabKeyboard(); // Escape reaches the slider even when it has no focus
    }
    invalidate();
}

void CZRSLIDERCtrl::move(const QPoint& at)
{
    if (!m_model.dragging())
        return;
    // Escape held down while the mouse moves ends the drag too (a press of it does at once).
    if (plat::qt::GetAsyncKeyState(plat::qt::VK_ESCAPE) < 0 && escape())
        return;
    m_model.move(at.x(), at.y());
    repaint();
}

void CZRSLIDERCtrl::release(const QPoint& at)
{
    const bool captured = m_model.captured();
    m_model.release(at.x(), at.y());
    if (captured) {
        if (QWidget* w = widget())
            w->releaseKeyboard();
        invalidate();
    }
}

bool CZRSLIDERCtrl::doubleClick(const QPoint& at, int flags)
{
    return m_model.doubleClick(at.x(), at.y(), flags);
}

bool CZRSLIDERCtrl::escape()
{
    if (!m_model.escape())
        return false;
    repaint();
    return true;
}

void CZRSLIDERCtrl::onModelEvent(const zrslider::SliderEvent& e)
{
    const auto id = Variant::fromI4(static_cast<std::int32_t>(e.idWord));
    if (e.kind == zrslider::EventKind::DoubleClick) {
        fireEvent(OnSliderDblClk, {id, Variant::fromI4(e.flags), Variant::fromI4(e.x), Variant::fromI4(e.y)});
        return;
    }
    const bool changing = e.kind == zrslider::EventKind::Changing;
    if (m_eventType == 0) {
        fireEvent(changing ? OnChanging : OnChanged, {id, Variant::fromI4(low32(e.value))});
    } else if (m_eventType == 1) {
        std::int64_t value = e.value; // valid for the duration of the event
        fireEvent(changing ? OnChangingI64 : OnChangedI64, {id, Variant::fromUnknown(&value)});
    }
}

Result CZRSLIDERCtrl::setValue(const Variant& id, std::int64_t value, std::optional<std::int32_t> pixel,
                               bool previousResult)
{
    zrslider::CursorRecord* c = m_model.find(id.toI4());
    if (!c)
        return i4(-1);
    const std::int32_t previous = low32(c->value);
    c->twoArgument = pixel ? 1 : 0;
    m_model.placeByValue(*c, value);
    c->explicitPosition = 0;
    if (pixel)
        c->pixel = *pixel;
    invalidate();
    return i4(previousResult ? previous : 0);
}

Result CZRSLIDERCtrl::changeRange(const Variant& id, std::int64_t minimum, std::int64_t maximum, std::int64_t value,
                                  std::optional<std::int32_t> pixel)
{
    zrslider::CursorRecord* c = m_model.find(id.toI4());
    if (!c)
        return i4(0);
    c->twoArgument = 0;
    m_model.changeRange(*c, minimum, maximum, value);
    if (pixel) {
        c->twoArgument = 1;
        c->pixel = *pixel;
    }
    repaint();
    return i4(1);
}

Result CZRSLIDERCtrl::callMethod(const comp::MemberInfo& member, std::span<const Variant> args)
{
    auto arg = [&](std::size_t i) { return args[i].toI4(); };
    auto cursor = [&]() { return m_model.find(arg(0)); };
    auto nullAmong = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i <= to; ++i)
            if (!args[i].toUnknown())
                return true;
        return false;
    };
    switch (member.id) {
    case AddCursor:
        m_model.addCursor(static_cast<std::uint32_t>(arg(0)), arg(1), arg(2), arg(3), static_cast<std::uint32_t>(arg(4)));
        invalidate();
        return i4(0);
    case GetValue: return i4(cursor() ? low32(cursor()->value) : -1);
    case ShowCursor: {
        const std::uint32_t word = m_model.showCursor(arg(0), arg(1));
        if (cursor())
            invalidate();
        return i4(static_cast<std::int32_t>(word));
    }
    case SetValue: return setValue(args[0], arg(1), std::nullopt, true);
    case LockPosition: {
        const std::int32_t previous = m_lockPosition;
        m_lockPosition = args[0].toBool() ? 1 : 0;
        return i4(previous);
    }
    case ShowRange:
        m_rangeShown = args[0].toBool();
        m_rangeFirst = arg(1);
        m_rangeSecond = arg(2);
        return i4(0);
    case ChangeRange: return changeRange(args[0], arg(1), arg(2), arg(3), std::nullopt);
    case GetCursorData: return Result::of(Variant::fromUnknown(cursor()));
    case GetCursorSize: return i4(m_model.halfSize());
    case GetGraphPos: return i4(cursor() ? cursor()->pixel : 0);
    case Enabled:
        m_model.setEnabled(args[0].toBool());
        if (QWidget* w = widget())
            w->setEnabled(args[0].toBool());
        repaint();
        return i4(0);
    case GetRangeValue: {
        zrslider::CursorRecord* c = cursor();
        if (!c || !args[1].toPtrI4() || !args[2].toPtrI4())
            return i4(0);
        *args[1].toPtrI4() = low32(c->minimum);
        *args[2].toPtrI4() = low32(c->maximum);
        return i4(arg(0));
    }
    case SetOffset:
    case SetZoom:
        if (zrslider::CursorRecord* c = cursor()) {
            (member.id == SetOffset ? c->offset : c->zoom) = arg(1);
            repaint();
        }
        return i4(0);
    case GetOffset: return i4(cursor() ? cursor()->offset : 0);
    case SetGraphPos: {
        zrslider::CursorRecord* c = m_model.find(args[0].toI2());
        if (!c)
            return i4(0);
        const std::int32_t previous = c->pixel;
        c->pixel = arg(1);
        c->explicitPosition = 1;
        repaint();
        return i4(previous);
    }
    case ChangeRange2: return changeRange(args[0], arg(1), arg(2), arg(3), arg(4));
    case SetValue2: return setValue(args[0], arg(1), arg(2), true);
    case ChangeRangeI64:
        if (nullAmong(1, 3))
            return i4(0);
        return changeRange(args[0], read64(args[1]), read64(args[2]), read64(args[3]), std::nullopt);
    case GetRangeValueI64: {
        zrslider::CursorRecord* c = cursor();
        if (!c || nullAmong(1, 2))
            return i4(0);
        write64(args[1], c->minimum);
        write64(args[2], c->maximum);
        return i4(arg(0));
    }
    case SetValueI64:
        if (nullAmong(1, 1))
            return i4(-1);
        return setValue(args[0], read64(args[1]), std::nullopt, false);
    case GetValueI64: {
        zrslider::CursorRecord* c = cursor();
        if (!c)
            return i4(-1);
        if (args[1].toUnknown())
            write64(args[1], c->value);
        return i4(low32(c->value));
    }
    case ChangeRange2I64:
        if (nullAmong(1, 3))
            return i4(0);
        return changeRange(args[0], read64(args[1]), read64(args[2]), read64(args[3]), arg(4));
    case SetValue2I64:
        if (nullAmong(1, 1))
            return i4(-1);
        return setValue(args[0], read64(args[1]), arg(2), true);
    case EventType: m_eventType = arg(0); return Result::of({});
    default: return SkeletonControl::callMethod(member, args);
    }
}
