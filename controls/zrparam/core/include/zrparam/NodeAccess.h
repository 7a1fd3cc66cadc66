// How the parameter editor keeps hold of the host's tree nodes. The control owns none of them: it
// keeps a node's address together with the place the node had in the host's list, and before it
// touches a node it checks, under the data mutex, that the list still holds that node at that
// place. A host that closed or reloaded its lists so leaves the control with references that
// resolve to nothing, never to freed memory.
#pragma once

#include <model/DataFile.h>

#include <cstddef>
#include <unordered_map>

namespace zrparam {

using NodeList = model::CDataFile::ParamTreeList;
using model::CZRParamClass;
using model::CZRParamData;

struct NodeRef {
    const CZRParamClass* node = nullptr;
    std::size_t index = 0;

    explicit operator bool() const { return node != nullptr; }
    friend bool operator==(const NodeRef&, const NodeRef&) = default;
};

class NodeResolver {
public:
    // The live node behind ref; null when there is no list, or it no longer holds the node there.
    static CZRParamClass* Resolve(const NodeList* list, const NodeRef& ref);
    // The reference for an address the host handed over; empty when the list does not hold it.
    NodeRef Find(const NodeList* list, const void* node);

private:
    std::unordered_map<const void*, std::size_t> m_index;
};

} // namespace zrparam
