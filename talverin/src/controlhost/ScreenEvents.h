// Which events of which control each screen takes: the screens' event sink maps as data. A screen
// builds its map from its table, binding each entry to its handler; an entry for a range of ids
// hands the handler the firing control's id first.
#pragma once

#include "controlhost/EventSinkMap.h"

#include <functional>
#include <span>

namespace talverin {

struct EventSubscription {
    int firstId;
    int lastId;
    comp::DISPID eventId;
    bool range; // one entry for all ids (the control id comes first), else one per id
};

// CViewParam and CCommandWnd: the parameter editor 1234.
std::span<const EventSubscription> ViewParamEvents();
std::span<const EventSubscription> CommandWndEvents();
// CViewIO: the pin rows 2901-2950.
std::span<const EventSubscription> ViewIOEvents();
// CViewOscillo: the scope 1003 and its sliders.
std::span<const EventSubscription> ViewOscilloEvents();
// CViewTerminal and CTerminalDlg: the terminal box 1005.
std::span<const EventSubscription> ViewTerminalEvents();
std::span<const EventSubscription> TerminalDlgEvents();

// One handler for every entry: it learns the entry, the control id and the arguments (for a range
// entry the arguments start with the control id, as the map hands them).
using SubscriptionHandler =
    std::function<void(const EventSubscription& entry, int controlId, std::span<const comp::Variant> args)>;
EventSinkMap MakeEventSinkMap(std::span<const EventSubscription> table, SubscriptionHandler handler);

} // namespace talverin
