#include "CZRCN2Ctrl.h"

#include "PinRowWidget.h"

#include <controls/HelpInfo.h>
#include <controls/ZRCN2Members.h>
#include <zrcn2/PinRowLayout.h>

#include <cstring>

namespace {

using namespace ctl::zrcn2;
using comp::Variant;
using Box = zrcn2::PinRowModel::Box;

// In persistence order, which is not the dispatch order (BorderStyle comes before
// NumberBackColor): saved rows depend on it.
constexpr ctl::PropertySpec kProperties[] = {
    {ViewMode, true, 1},
    {Number, true, 99},
    {Setten, true, 0, ""},
    {Data, true, 0, ""},
    {Name, true, 0, ""},
    {BorderStyle, true, 0},
    {NumberBackColor, true, 0xF0F0F0},
    {BackColor, true, static_cast<std::int32_t>(0x8000000Fu)}, // system colour: button face
    {BorderColor, true, 0},
    {NumberTextColor, true, 0},
    {SettenBackColor, true, 0xE0E0E0},
    {SettenTextColor, true, 0},
    {NameBackColor, true, 0xFFFFFF},
    {DataBackColor, true, 0xFFFFFF},
    {NameTextColor, true, 0},
    {DataTextColor, true, 0},
};

// The size of the zeroed buffer ABGCClick hands the host for the new setting.
constexpr std::size_t kSettingBufferSize = 64;

// Change codes.
constexpr std::int32_t kChangeSetting = 1;
constexpr std::int32_t kChangeNameTyped = 2;
constexpr std::int32_t kChangeDataTyped = 3;
constexpr std::int32_t kChangeNameLeft = 66;
constexpr std::int32_t kChangeDataLeft = 67;
constexpr std::int32_t kChangeDeactivatedChanged = 255;
constexpr std::int32_t kChangeDeactivated = 0;

} // namespace

CZRCN2Ctrl::CZRCN2Ctrl(ctl::ControlModule& module) : SkeletonControl(module, kClass, kProperties)
{
    propertiesChanged();
}

CZRCN2Ctrl::~CZRCN2Ctrl() = default;

QRect CZRCN2Ctrl::filterGeometry(const QRect& requested, const QRect&)
{
    QRect r = requested;
    r.setHeight(zrcn2::CutRowHeight(requested.height()));
    return r;
}

plat::COLORREF CZRCN2Ctrl::color(comp::DISPID id) const
{
    return static_cast<plat::COLORREF>(property(id).toI4());
}

int CZRCN2Ctrl::borderStyle() const
{
    return property(BorderStyle).toI2();
}

void CZRCN2Ctrl::fire(comp::DISPID eventId, std::initializer_list<Variant> args)
{
    fireEvent(eventId, args);
}

void CZRCN2Ctrl::storeProperties()
{
    setProperty(Number, Variant::fromI4(m_model.number()));
    setProperty(Setten, Variant::fromString(m_model.setten()));
    setProperty(Name, Variant::fromString(m_model.name()));
    setProperty(Data, Variant::fromString(m_model.data()));
}

QWidget* CZRCN2Ctrl::makeWidget(QWidget* parent)
{
    m_row = new PinRowWidget(*this, parent);
    return m_row;
}

void CZRCN2Ctrl::propertiesChanged()
{
    m_model.setViewMode(property(ViewMode).toI4());
    m_model.setNumber(property(Number).toI4());
    m_model.setSetten(property(Setten).toString());
    m_model.setName(property(Name).toString());
    m_model.setData(property(Data).toString());
    m_model.refreshModified();
    if (m_row)
        m_row->refreshAll();
}

void CZRCN2Ctrl::propertyChanged(comp::DISPID id)
{
    switch (id) {
    case ViewMode:
        m_model.setViewMode(property(ViewMode).toI4());
        if (m_row)
            m_row->applyViewMode();
        break;
    case Number:
        m_model.setNumber(property(Number).toI4());
        break;
    case Setten:
        m_model.setSetten(property(Setten).toString());
        m_model.refreshModified();
        if (m_row)
            m_row->updateButton();
        break;
    case Data:
    case Name: {
        const bool name = id == Name;
        const std::string text = property(id).toString();
        if (name)
            m_model.setName(text);
        else
            m_model.setData(text);
        if (m_row)
            m_row->showBoxText(name ? Box::Name : Box::Data);
        m_model.refreshModified();
        break;
    }
    case NameBackColor:
    case NameTextColor:
        if (m_row)
            m_row->applyBoxColors(Box::Name);
        break;
    case DataBackColor:
    case DataTextColor:
        if (m_row && m_model.fullRow())
            m_row->applyBoxColors(Box::Data);
        break;
    case SettenBackColor:
    case SettenTextColor:
        if (m_row)
            m_row->updateButton();
        break;
    default:
        break;
    }
    invalidateControl();
}

comp::Result CZRCN2Ctrl::callMethod(const comp::MemberInfo& member, std::span<const Variant> args)
{
    switch (member.id) {
    case Export:
        return comp::Result::of(Variant::fromI4(exportLine(args[0].toUnknown(), args[1].toI4(), args[2].toBool())));
    case Import:
        m_model.importLine(args[0].toString(), args[1].toBool());
        storeProperties();
        if (m_row)
            m_row->refreshTexts();
        return comp::Result::of(Variant::fromI4(0));
    case SetModifyFlg:
        setModifyFlg(args[0].toBool());
        return comp::Result::of(Variant::fromI4(0));
    case GetModifyFlg:
        return comp::Result::of(Variant::fromBool(m_model.refreshModified()));
    case SetData: {
        bool repaint = false;
        if (m_model.setAll(args[0].toString(), args[1].toString(), args[2].toString(),
                           static_cast<std::uint32_t>(args[3].toI4()), args[4].toBool(), &repaint)) {
            storeProperties();
            if (m_row) {
                m_row->refreshTexts();
                m_row->setBoxesModified(args[4].toBool());
                if (repaint)
                    m_row->startRepaintTimer();
            }
        }
        return comp::Result::of(Variant::fromI4(0));
    }
    case SetStatus:
        m_model.setStatus(static_cast<std::uint32_t>(args[0].toI4()));
        invalidateControl();
        if (m_row)
            m_row->startRepaintTimer();
        return {};
    case DisableControl:
        m_disabledParts = static_cast<plat::DWORD>(args[0].toI4());
        if (m_row)
            m_row->applyDisabledParts();
        invalidateControl();
        return comp::Result::of(Variant::fromI4(0));
    case GetState:
        return comp::Result::of(Variant::fromI4(static_cast<std::int32_t>(m_model.status())));
    default:
        return SkeletonControl::callMethod(member, args);
    }
}

std::int32_t CZRCN2Ctrl::exportLine(void* buffer, std::int32_t size, bool withNumbers)
{
    const std::string line = m_model.exportLine(withNumbers);
    // The buffer must take the terminating zero too; a missing buffer takes nothing.
    if (!buffer || size <= 0 || line.size() >= static_cast<std::size_t>(size))
        return zrcn2::kExportBufferTooSmall;
    std::memcpy(buffer, line.c_str(), line.size() + 1);
    return 0;
}

void CZRCN2Ctrl::setModifyFlg(bool modify)
{
    const bool differed = m_model.setModifyFlg(modify);
    storeProperties();
    if (m_row) {
        m_row->setBoxesModified(modify);
        if (differed)
            m_row->startRepaintTimer();
    }
}

void CZRCN2Ctrl::buttonClicked()
{
    char setting[kSettingBufferSize] = {};
    std::int32_t accept = 1;
    const QPointer<PinRowWidget> row = m_row;
    fire(ABGCClick, {Variant::fromString(m_model.setten()), Variant::fromUnknown(setting),
                     Variant::fromPtrBool(&accept)});
    if (!accept)
        return;
    // A host that wrote no terminator does not make us read past its buffer.
    m_model.setSetten(std::string_view(setting, strnlen(setting, kSettingBufferSize - 1)));
    m_model.refreshModified();
    storeProperties();
    if (row) {
        row->updateButton();
        row->update();
    }
    fire(Change, {Variant::fromI4(kChangeSetting)});
}

void CZRCN2Ctrl::boxTyped(Box box)
{
    invalidateControl();
    fire(Change, {Variant::fromI4(box == Box::Name ? kChangeNameTyped : kChangeDataTyped)});
}

void CZRCN2Ctrl::boxLeft(Box box)
{
    if (!m_model.leaveBox(box))
        return;
    storeProperties();
    fire(Change, {Variant::fromI4(box == Box::Name ? kChangeNameLeft : kChangeDataLeft)});
}

void CZRCN2Ctrl::activated()
{
    fire(ShowToolBars, {Variant::fromI4(0)});
}

void CZRCN2Ctrl::deactivated()
{
    const bool changed = m_model.deactivate();
    storeProperties();
    invalidateControl();
    fire(Change, {Variant::fromI4(changed ? kChangeDeactivatedChanged : kChangeDeactivated)});
}

void CZRCN2Ctrl::contextMenuRequested(int childId, plat::HWND child)
{
    fire(RButtonDown, {Variant::fromI4(childId), Variant::fromIntPtr(reinterpret_cast<std::intptr_t>(child)),
                       Variant::fromI4(0)});
}

bool CZRCN2Ctrl::helpRequested(ctl::HelpInfo& info)
{
    std::int32_t handled = 0;
    fire(CtrlHelp, {Variant::fromUnknown(&info), Variant::fromPtrBool(&handled)});
    return handled != 0;
}
