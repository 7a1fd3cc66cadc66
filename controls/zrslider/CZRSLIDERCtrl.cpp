#include "CZRSLIDERCtrl.h"

#include <controls/ZRSLIDERMembers.h>

namespace {

using namespace ctl::zrslider;

constexpr ctl::PropertySpec kProperties[] = {
    {ViewMode, true, 0},
    {Arrow, true, 32},
    {BorderStyle, true, 1},
    {RangeBar, true, 0},
    {BackColor, false, static_cast<std::int32_t>(0x8000000Fu)}, // system colour: button face
};

} // namespace

CZRSLIDERCtrl::CZRSLIDERCtrl(ctl::ControlModule& module) : SkeletonControl(module, kClass, kProperties) {}
