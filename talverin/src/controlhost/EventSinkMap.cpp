#include "controlhost/EventSinkMap.h"

namespace talverin {

EventSinkMap& EventSinkMap::on(int controlId, comp::DISPID eventId, Handler handler)
{
    m_entries.push_back({controlId, controlId, eventId, false, std::move(handler)});
    return *this;
}

EventSinkMap& EventSinkMap::onRange(int firstId, int lastId, comp::DISPID eventId, Handler handler)
{
    m_entries.push_back({firstId, lastId, eventId, true, std::move(handler)});
    return *this;
}

const EventSinkMap::Entry* EventSinkMap::findEntry(int controlId, comp::DISPID eventId) const
{
    for (const Entry& e : m_entries)
        if (e.eventId == eventId && controlId >= e.first && controlId <= e.last && e.handler)
            return &e;
    return nullptr;
}

bool EventSinkMap::handles(int controlId, comp::DISPID eventId) const
{
    return findEntry(controlId, eventId) != nullptr;
}

bool EventSinkMap::dispatch(int controlId, comp::DISPID eventId, std::span<const comp::Variant> args) const
{
    const Entry* e = findEntry(controlId, eventId);
    if (!e)
        return false;
    // A copy runs: the handler may close the form that owns this map.
    const auto handler = e->handler;
    if (!e->range) {
        handler(args);
        return true;
    }
    std::vector<comp::Variant> withId;
    withId.reserve(args.size() + 1);
    withId.push_back(comp::Variant::fromI4(controlId));
    withId.insert(withId.end(), args.begin(), args.end());
    handler(withId);
    return true;
}

} // namespace talverin
