// A control's persisted properties: named values in the order the control wrote them. A bag a
// control saves starts with "_Version"; a screen's initial data for a control item is a bag too.
#pragma once

#include "component/variant.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace comp {

class PropertyBag {
public:
    using Entry = std::pair<std::string, Variant>;

    PropertyBag() = default;
    PropertyBag(std::initializer_list<Entry> entries);

    // Replaces a value of the same name (names compare without ASCII case) or appends.
    void set(std::string_view name, Variant value);
    const Variant* find(std::string_view name) const;
    bool contains(std::string_view name) const { return find(name) != nullptr; }
    const std::vector<Entry>& entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }
    void clear() { m_entries.clear(); }

private:
    std::vector<Entry> m_entries;
};

} // namespace comp
