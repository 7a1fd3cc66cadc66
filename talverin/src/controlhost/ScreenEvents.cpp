#include "controlhost/ScreenEvents.h"

#include <controls/ZRCN2Members.h>
#include <controls/ZROSCILLOMembers.h>
#include <controls/ZRPARAMMembers.h>
#include <controls/ZRSLIDERMembers.h>
#include <controls/ZRTERMEDMembers.h>

namespace talverin {

namespace {

namespace p = ctl::zrparam;
namespace io = ctl::zrcn2;
namespace sl = ctl::zrslider;
namespace te = ctl::zrtermed;

constexpr EventSubscription kParam[] = {
    {1234, 1234, p::OnParamChange, false}, {1234, 1234, p::QueryUpdate, false},
    {1234, 1234, p::CtrlHelp, false},      {1234, 1234, p::ItemSelect, false},
    {1234, 1234, p::SetStrChange, false},  {1234, 1234, p::IsConnected, false},
};

constexpr EventSubscription kIO[] = {
    {2901, 2950, io::RButtonDown, true}, {2901, 2950, io::ABGCClick, true}, {2901, 2950, io::Change, true},
    {2901, 2950, io::CtrlHelp, true},    {2901, 2950, io::ShowToolBars, true},
};

constexpr EventSubscription kOscillo[] = {
    {1003, 1003, ctl::zroscillo::Notify, false},
    {1126, 1126, sl::OnChanging, false}, {1126, 1126, sl::OnSliderDblClk, false},
    {1127, 1127, sl::OnChanging, false}, {1127, 1127, sl::OnSliderDblClk, false},
    {1128, 1128, sl::OnChanging, false}, {1128, 1128, sl::OnSliderDblClk, false}, {1128, 1128, sl::OnChanged, false},
    {1129, 1129, sl::OnChanging, false}, {1129, 1129, sl::OnSliderDblClk, false}, {1129, 1129, sl::OnChanged, false},
    {1033, 1033, sl::OnChanging, false}, {1033, 1033, sl::OnChanged, false},
    {1036, 1036, sl::OnChanging, false}, {1036, 1036, sl::OnChanged, false},
    {1038, 1038, sl::OnChanging, false}, {1038, 1038, sl::OnChanged, false},
    {1021, 1024, sl::OnChanging, true},
};

constexpr EventSubscription kTerminal[] = {
    {1005, 1005, te::KeyEnter, false},
    {1005, 1005, te::OnChar, false},
};

} // namespace

std::span<const EventSubscription> ViewParamEvents() { return kParam; }
std::span<const EventSubscription> CommandWndEvents() { return kParam; }
std::span<const EventSubscription> ViewIOEvents() { return kIO; }
std::span<const EventSubscription> ViewOscilloEvents() { return kOscillo; }
std::span<const EventSubscription> ViewTerminalEvents() { return kTerminal; }
std::span<const EventSubscription> TerminalDlgEvents() { return kTerminal; }

EventSinkMap MakeEventSinkMap(std::span<const EventSubscription> table, SubscriptionHandler handler)
{
    EventSinkMap map;
    for (const EventSubscription& e : table) {
        if (e.range) {
            map.onRange(e.firstId, e.lastId, e.eventId, [handler, e](std::span<const comp::Variant> args) {
                handler(e, args.empty() ? 0 : args[0].toI4(), args);
            });
        } else {
            for (int id = e.firstId; id <= e.lastId; ++id)
                map.on(id, e.eventId, [handler, e, id](std::span<const comp::Variant> args) { handler(e, id, args); });
        }
    }
    return map;
}

} // namespace talverin
