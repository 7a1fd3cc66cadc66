#include "CZROSCILLOCtrl.h"

#include <controls/ZROSCILLOMembers.h>

namespace {

using namespace ctl::zroscillo;

constexpr ctl::PropertySpec kProperties[] = {
    {ChannelCount, true, 4},
    {BackColor, false, 0x400000},
    {GraphColorNormalLine, false, 0x404040},
    {BitmapWidth, false, 0},
    {ZoomHorz, false, 100},
    {ZoomLineColor, false, 0x402020},
};

} // namespace

CZROSCILLOCtrl::CZROSCILLOCtrl(ctl::ControlModule& module) : SkeletonControl(module, kClass, kProperties) {}
