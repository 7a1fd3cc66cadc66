// Records a control's events as (event id, arguments); a 64-bit value passed by address is
// copied out while the event fires.
#pragma once

#include <component/control.h>

#include <cstring>
#include <vector>

struct RecordedEvent {
    comp::DISPID id;
    std::vector<comp::Variant> args;
    std::int64_t value64 = 0;
};

class EventRecorder : public comp::EventSink {
public:
    void onEvent(comp::Control&, comp::DISPID eventId, std::span<const comp::Variant> args) override
    {
        RecordedEvent e{eventId, {args.begin(), args.end()}};
        for (const auto& a : args)
            if (a.type() == comp::VarType::Unknown && a.toUnknown())
                std::memcpy(&e.value64, a.toUnknown(), sizeof e.value64);
        events.push_back(std::move(e));
    }
    std::vector<RecordedEvent> events;
};
