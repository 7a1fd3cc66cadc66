#include "CZRPARAMCtrl.h"

#include <controls/ZRPARAMMembers.h>

namespace {

using namespace ctl::zrparam;

constexpr ctl::PropertySpec kProperties[] = {
    {ShowStyle, true, 64}, // help pane shown, tree beside the list
    {hWndTreeView, false, 0},
    {hWndListView, false, 0},
    {strHelpFolder, false, 0, ""},
};

} // namespace

CZRPARAMCtrl::CZRPARAMCtrl(ctl::ControlModule& module) : SkeletonControl(module, kClass, kProperties) {}
