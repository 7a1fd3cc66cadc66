// Routes the events of a form's controls to the screen's handlers by (control id, event id). An
// entry for one control hands the handler the event's arguments; an entry for a range of ids
// hands it the firing control's id (I4) first, then the event's arguments.
#pragma once

#include <component/member_info.h>
#include <component/variant.h>

#include <functional>
#include <span>
#include <vector>

namespace talverin {

class EventSinkMap {
public:
    using Handler = std::function<void(std::span<const comp::Variant> args)>;

    // ON_EVENT: one control.
    EventSinkMap& on(int controlId, comp::DISPID eventId, Handler handler);
    // ON_EVENT_RANGE: controls first..last; args[0] is the control id.
    EventSinkMap& onRange(int firstId, int lastId, comp::DISPID eventId, Handler handler);

    // Calls the first matching entry; false when no entry takes the event.
    bool dispatch(int controlId, comp::DISPID eventId, std::span<const comp::Variant> args) const;
    bool handles(int controlId, comp::DISPID eventId) const;

private:
    struct Entry {
        int first;
        int last;
        comp::DISPID eventId;
        bool range;
        Handler handler;
    };
    const Entry* findEntry(int controlId, comp::DISPID eventId) const;
    std::vector<Entry> m_entries;
};

} // namespace talverin
