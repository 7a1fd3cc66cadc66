// The group tree as the editor's rules see it: items by id, their structure, their nodes and
// their pictures. The control's tree widget implements it; the rules stay free of widgets.
#pragma once

#include "zrparam/ImageRoles.h"
#include "zrparam/NodeAccess.h"

#include <cstdint>
#include <string>

namespace zrparam {

// A tree item handle; 0 is none.
using ItemId = std::intptr_t;

class ItemTree {
public:
    virtual ~ItemTree() = default;
    // item 0: the first root item.
    virtual ItemId FirstChild(ItemId item) const = 0;
    virtual ItemId NextSibling(ItemId item) const = 0;
    // 0 for a root item.
    virtual ItemId Parent(ItemId item) const = 0;
    // The item's live node (null for none); the caller holds the data mutex.
    virtual CZRParamClass* Node(ItemId item) const = 0;
    virtual std::string Text(ItemId item) const = 0;
    virtual ImagePair Images(ItemId item) const = 0;
    virtual void SetImages(ItemId item, ImagePair images) = 0;
};

// Calls fn(item) for `first`, every item below it, then each following sibling and everything
// below it, depth first in tree order.
template <typename Fn>
void ForEachItem(const ItemTree& tree, ItemId first, Fn&& fn)
{
    for (ItemId item = first; item; item = tree.NextSibling(item)) {
        fn(item);
        if (ItemId child = tree.FirstChild(item))
            ForEachItem(tree, child, fn);
    }
}

} // namespace zrparam
