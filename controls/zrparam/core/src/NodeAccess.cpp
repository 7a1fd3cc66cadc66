#include "zrparam/NodeAccess.h"

namespace zrparam {

CZRParamClass* NodeResolver::Resolve(const NodeList* list, const NodeRef& ref)
{
    if (!list || !ref.node || ref.index >= list->size())
        return nullptr;
    CZRParamClass* live = (*list)[ref.index].get();
    return live == ref.node ? live : nullptr;
}

NodeRef NodeResolver::Find(const NodeList* list, const void* node)
{
    if (!list || !node)
        return {};
    auto hit = [&]() -> NodeRef {
        auto it = m_index.find(node);
        if (it == m_index.end())
            return {};
        NodeRef ref{static_cast<const CZRParamClass*>(node), it->second};
        return Resolve(list, ref) ? ref : NodeRef{};
    };
    if (NodeRef ref = hit())
        return ref;
    // The list changed since the index was made (or the address is not a node of it).
    m_index.clear();
    m_index.reserve(list->size());
    for (std::size_t i = 0; i < list->size(); ++i)
        m_index.emplace((*list)[i].get(), i);
    return hit();
}

} // namespace zrparam
