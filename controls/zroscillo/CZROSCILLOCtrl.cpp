#include "CZROSCILLOCtrl.h"

#include "CZROSCILLOApp.h"
#include "ScopeWidget.h"

#include <controls/ZROSCILLOMembers.h>

#include <model/SharedData.h>

#include <QPainter>

#include <algorithm>
#include <limits>

namespace {

using namespace ctl::zroscillo;
using comp::Result;
using comp::Variant;

constexpr ctl::PropertySpec kProperties[] = {
    {ChannelCount, true, 4},
    {BackColor, false, 0x400000},
    {GraphColorNormalLine, false, 0x404040},
    {BitmapWidth, false, 0},
    {ZoomHorz, false, 100},
    {ZoomLineColor, false, 0x402020},
};

// The rows under the oscilloscope mutex, held for the channel loop only.
class SharedSamples : public zroscillo::SampleSource {
public:
    void withRows(const std::function<void(std::span<const model::CaptureSample>)>& draw) override
    {
        model::SharedLock lock(&oscilloModule().oscilloMutex());
        draw(oscilloModule().sampleRows());
    }
};

std::int32_t saturate(std::int64_t v)
{
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

Result i4(std::int64_t v)
{
    return Result::of(Variant::fromI4(saturate(v)));
}

} // namespace

CZROSCILLOCtrl::CZROSCILLOCtrl(ctl::ControlModule& module) : SkeletonControl(module, kClass, kProperties) {}

CZROSCILLOCtrl::~CZROSCILLOCtrl()
{
    // The window calls back into this object: it goes first.
    delete widget();
}

QWidget* CZROSCILLOCtrl::makeWidget(QWidget* parent)
{
    if (propertyI4(ChannelCount) == 0)
        return nullptr;
    oscilloModule().attachSharedBlock();
    return new ScopeWidget(*this, parent);
}

int CZROSCILLOCtrl::clientWidth() const
{
    return widget() ? widget()->width() : 0;
}

void CZROSCILLOCtrl::setBitmapWidth(std::int64_t width)
{
    m_scope.bitmapWidth = width;
    setProperty(BitmapWidth, Variant::fromI4(saturate(width)));
}

void CZROSCILLOCtrl::repaint()
{
    if (!m_lockPaint)
        repaintAlways();
}

void CZROSCILLOCtrl::repaintAlways()
{
    if (QWidget* w = widget())
        w->repaint();
}

QRect CZROSCILLOCtrl::filterGeometry(const QRect& requested, const QRect& current)
{
    return zroscillo::ScopeModel::filterGeometry(requested, current, m_lockPosition);
}

void CZROSCILLOCtrl::propertyChanged(comp::DISPID id)
{
    switch (id) {
    case BackColor:
    case GraphColorNormalLine: repaintAlways(); break;
    case ZoomLineColor:
        m_scope.zoomLineDotted = false;
        repaintAlways();
        break;
    case BitmapWidth: m_scope.bitmapWidth = propertyI4(BitmapWidth); break;
    case ZoomHorz: m_scope.zoomHorz = propertyI4(ZoomHorz); break;
    default: break;
    }
}

void CZROSCILLOCtrl::paint(QWidget& window)
{
    if (m_lockPaint)
        return;
    m_scope.backColor = static_cast<std::uint32_t>(propertyI4(BackColor));
    m_scope.gridColor = static_cast<std::uint32_t>(propertyI4(GraphColorNormalLine));
    m_scope.zoomLineColor = static_cast<std::uint32_t>(propertyI4(ZoomLineColor));
    m_scope.channelCount = propertyI4(ChannelCount);
    setBitmapWidth(zroscillo::ScopeModel::zoomedWidth(window.width(), m_scope.zoomHorz));
    bool ok = true;
    if (window.width() > 20 && window.height() > 20) {
        if (m_face.size() != window.size())
            m_face = QImage(window.size(), QImage::Format_RGB32);
        if (m_face.isNull()) {
            ok = false;
        } else {
            SharedSamples rows;
            ok = m_scope.drawFace(m_face, window.width(), window.height(), rows);
            QPainter(&window).drawImage(0, 0, m_face);
        }
    }
    fireEvent(Notify, {Variant::fromI4(ok ? 0 : 8)});
}

void CZROSCILLOCtrl::resized(const QSize& size)
{
    if (size.width() != 0 && size.height() != 0) {
        m_scope.invalidateTraces();
        if (QWidget* w = widget())
            w->update();
    }
}

Result CZROSCILLOCtrl::callMethod(const comp::MemberInfo& member, std::span<const Variant> args)
{
    using zroscillo::ScopeModel;
    auto arg = [&](std::size_t i) { return args[i].toI4(); };
    switch (member.id) {
    case SetScopeMode:
        m_scope.setScopeMode(arg(1), clientWidth());
        setBitmapWidth(m_scope.bitmapWidth);
        repaint();
        return i4(0);
    case SetChannelData:
        if (ScopeModel::validChannel(args[0].toI2())) {
            auto& ch = m_scope.channels[static_cast<std::size_t>(args[0].toI2())];
            ch.scale = args[1].toR4();
            ch.zeroPosition = arg(2);
            ch.color = static_cast<std::uint32_t>(arg(3));
        }
        return i4(0);
    case ShowChannel:
        if (ScopeModel::validChannel(args[0].toI2())) {
            m_scope.channels[static_cast<std::size_t>(args[0].toI2())].visible = args[1].toBool();
            repaintAlways();
        }
        return Result::of({});
    case AddGuideLine:
        if (ScopeModel::validGuide(arg(0))) {
            m_scope.addGuideLine(arg(0), args[1].toBool(), static_cast<std::uint32_t>(arg(2)), arg(3), args[4].toBool());
            repaintAlways();
        }
        return i4(0);
    case LockPosition: m_lockPosition = args[0].toBool(); return i4(0);
    case ScrollPosition:
        m_scope.scrollX = arg(0);
        m_scope.scrollY = arg(1);
        repaint();
        return i4(0);
    case SetZoom:
    case MoveChannelPos: {
        const std::int64_t n = member.id == SetZoom ? arg(0) : args[0].toI2();
        if (ScopeModel::validChannel(n)) {
            auto& ch = m_scope.channels[static_cast<std::size_t>(n)];
            if (member.id == SetZoom)
                ch.scale = args[1].toR4();
            else
                ch.zeroPosition = arg(2);
            ch.cacheValid = false;
            repaint();
        }
        return i4(0);
    }
    case GetScopeHPosition: return i4(static_cast<std::int64_t>(arg(0)) + m_scope.scrollX);
    case GetScopeVPosition: return i4(static_cast<std::int64_t>(arg(0)) + m_scope.scrollY);
    case SetHorzZoom:
        m_scope.zoomHorz = arg(0);
        setProperty(ZoomHorz, Variant::fromI4(arg(0)));
        setBitmapWidth(ScopeModel::zoomedWidth(clientWidth(), arg(0)));
        m_scope.invalidateTraces(1, 4);
        repaint();
        return i4(m_scope.bitmapWidth);
    case UpdateOscilloData:
        if (args[0].toUnknown())
            return i4(0); // the rows never come this way
        if (arg(1) < 0) {
            m_scope.invalidateTraces();
            invalidateControl();
            return i4(0);
        }
        m_scope.lastRecordTime = arg(2);
        m_scope.samplesPerScreen = arg(3);
        m_scope.setScopeMode(arg(2), clientWidth());
        setBitmapWidth(m_scope.bitmapWidth);
        repaint();
        return i4(0);
    case SetGuidLine: {
        if (!ScopeModel::validGuide(arg(0)) || !m_scope.guides[static_cast<std::size_t>(arg(0))])
            return i4(0);
        auto& g = *m_scope.guides[static_cast<std::size_t>(arg(0))];
        g.position = arg(1);
        g.shown = args[2].toBool();
        repaint();
        return i4(1);
    }
    case SaveBitmapFile: {
        SharedSamples rows;
        const std::int64_t size = m_scope.saveBitmapFile(args[0].toString(), arg(1), arg(2),
                                                         static_cast<std::uintptr_t>(args[3].toIntPtr()),
                                                         widget() ? widget()->height() : 0, rows);
        m_lockPaint = false;
        repaintAlways();
        return i4(size);
    }
    case LockPaint: m_lockPaint = args[0].toBool(); return Result::of(Variant::fromBool(true));
    case Redraw:
        if (QWidget* w = widget()) {
            w->update();
            if (args[0].toBool())
                w->repaint();
        }
        return Result::of({});
    case DrawMode: m_scope.drawMode = arg(0); return i4(m_scope.drawMode);
    default: return SkeletonControl::callMethod(member, args);
    }
}
