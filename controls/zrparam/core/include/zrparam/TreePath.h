// ShowTreeItem's search: a path of labels separated by '\' (the last label cut at its first ':'),
// each label the beginning of an item's text at its level, from the root level down.
#pragma once

#include "zrparam/ItemTree.h"

#include <string_view>
#include <vector>

namespace zrparam {

class TreePath {
public:
    // Only the first 127 characters of an item's text are compared.
    static constexpr std::size_t kComparedLength = 127;

    // The item the whole path leads to, or 0 when a label is not found or the path is empty.
    // `found` (optional) receives the item of each label, in order, to be opened.
    static ItemId Find(const ItemTree& tree, std::string_view path, std::vector<ItemId>* found = nullptr);
};

} // namespace zrparam
