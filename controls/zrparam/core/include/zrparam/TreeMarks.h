// The change marks of the group tree. A parameter item shows the changed picture while its
// record's tree use counter is above 0 (the commit sets it from the record's change test; the
// data store clears it on every load, reset and reply). A group shows the group-with-changes
// picture exactly while some parameter below it, at any depth, is marked, and keeps the number of
// its marked children in its counter. Input and output items keep their pictures and never count.
// A commit and a full recount (UpdateTreeIcon) so always give the same marks.
#pragma once

#include "zrparam/ItemTree.h"

#include <string_view>
#include <vector>

namespace zrparam {

class TreeMarks {
public:
    // After a commit of the record named `commandName`: every item whose record has that name is
    // marked by the change test (the first such item raises the record's counter, an unchanged
    // record's counter becomes 0), then the groups above each are counted again. The caller holds
    // the data mutex.
    static void AfterCommit(ItemTree& tree, std::string_view commandName);
    // The same after commits of many records at once (a group reset), in one walk over the tree
    // and one recount of each group above them: the marks that AfterCommit would leave after each
    // of the names in turn.
    static void AfterCommits(ItemTree& tree, const std::vector<std::string_view>& commandNames);
    // The full recount from `first` (0: the first root item) over its following siblings and
    // everything below them, and the groups above them. The caller holds the data mutex.
    static void Recount(ItemTree& tree, ItemId first);

private:
    static bool IsMarked(const ItemTree& tree, ItemId item);
    static void RecountAncestors(ItemTree& tree, ItemId item);
    static void RecountGroup(ItemTree& tree, ItemId group);
    static bool RecountBelow(ItemTree& tree, ItemId item);
};

} // namespace zrparam
