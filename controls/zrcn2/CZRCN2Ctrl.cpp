#include "CZRCN2Ctrl.h"

#include <controls/ZRCN2Members.h>

namespace {

using namespace ctl::zrcn2;

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

} // namespace

CZRCN2Ctrl::CZRCN2Ctrl(ctl::ControlModule& module) : SkeletonControl(module, kClass, kProperties) {}
