// Where a control's events go: the host installs one sink per control.
#pragma once

#include "component/member_info.h"
#include "component/variant.h"

#include <span>

namespace comp {

class Control;

class EventSink {
public:
    virtual ~EventSink() = default;
    // Called on the control's thread while the event fires. Pointer arguments are the control's
    // own addresses, valid only during the call.
    virtual void onEvent(Control& source, DISPID eventId, std::span<const Variant> args) = 0;
};

} // namespace comp
