#include "component/member_info.h"

namespace comp {

const char* invokeKindName(InvokeKind kind)
{
    switch (kind) {
    case InvokeKind::Method: return "method";
    case InvokeKind::PropertyGet: return "property get";
    case InvokeKind::PropertyPut: return "property put";
    }
    return "?";
}

const MemberInfo* ClassInfo::findMember(DISPID id) const
{
    for (const MemberInfo& m : members)
        if (m.id == id)
            return &m;
    return nullptr;
}

const MemberInfo* ClassInfo::findMember(std::string_view memberName) const
{
    for (const MemberInfo& m : members)
        if (m.name == memberName)
            return &m;
    return nullptr;
}

const EventInfo* ClassInfo::findEvent(DISPID id) const
{
    for (const EventInfo& e : events)
        if (e.id == id)
            return &e;
    return nullptr;
}

} // namespace comp
