#include "CZRTERMEDCtrl.h"

#include <controls/ZRTERMEDMembers.h>

#include <QWidget>

namespace {

using namespace ctl::zrtermed;

constexpr ctl::PropertySpec kProperties[] = {
    {LocalEcho, false, 0},
    {EnterOnCharEnabled, false, 0},
    {ReadOnly, false, 0},
};

} // namespace

CZRTERMEDCtrl::CZRTERMEDCtrl(ctl::ControlModule& module) : SkeletonControl(module, kClass, kProperties) {}

comp::Result CZRTERMEDCtrl::callMethod(const comp::MemberInfo& member, std::span<const comp::Variant> args)
{
    if (member.id == Refresh) {
        // Repaint now, not at the next idle moment.
        if (QWidget* w = widget())
            w->repaint();
        return {};
    }
    return SkeletonControl::callMethod(member, args);
}
