#include "component/property_bag.h"

#include <strings.h>

namespace comp {

namespace {

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

} // namespace

PropertyBag::PropertyBag(std::initializer_list<Entry> entries)
{
    for (const Entry& e : entries)
        set(e.first, e.second);
}

void PropertyBag::set(std::string_view name, Variant value)
{
    for (Entry& e : m_entries) {
        if (sameName(e.first, name)) {
            e.second = std::move(value);
            return;
        }
    }
    m_entries.emplace_back(std::string(name), std::move(value));
}

const Variant* PropertyBag::find(std::string_view name) const
{
    for (const Entry& e : m_entries)
        if (sameName(e.first, name))
            return &e.second;
    return nullptr;
}

} // namespace comp
