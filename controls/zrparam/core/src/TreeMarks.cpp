#include "zrparam/TreeMarks.h"

#include <vector>

namespace zrparam {

namespace {

bool isParameter(const CZRParamClass& node)
{
    return node.m_record && !node.m_record->m_name.empty();
}

// Items without a record are passed over; input and output items keep their pictures.
bool takesMarks(const CZRParamClass* node)
{
    return node && node->m_record && !IsIOItem(node->m_attributes);
}

void setGroup(ItemTree& tree, ItemId item, CZRParamClass& node, int markedChildren)
{
    node.m_record->m_treeUseCount = markedChildren;
    tree.SetImages(item, GroupImages(markedChildren > 0));
}

} // namespace

bool TreeMarks::IsMarked(const ItemTree& tree, ItemId item)
{
    const CZRParamClass* node = tree.Node(item);
    if (!takesMarks(node))
        return false;
    if (isParameter(*node))
        return node->m_record->m_treeUseCount > 0;
    return tree.Images(item).normal == ImageRole::GroupChanged;
}

void TreeMarks::RecountAncestors(ItemTree& tree, ItemId item)
{
    for (ItemId group = tree.Parent(item); group; group = tree.Parent(group)) {
        int marked = 0;
        for (ItemId child = tree.FirstChild(group); child; child = tree.NextSibling(child))
            marked += IsMarked(tree, child) ? 1 : 0;
        if (CZRParamClass* node = tree.Node(group); takesMarks(node))
            setGroup(tree, group, *node, marked);
    }
}

void TreeMarks::AfterCommit(ItemTree& tree, std::string_view commandName)
{
    if (commandName.empty())
        return;
    std::vector<ItemId> visited;
    ForEachItem(tree, tree.FirstChild(0), [&](ItemId item) {
        const CZRParamClass* node = tree.Node(item);
        if (node && node->m_record && node->m_record->m_name == commandName)
            visited.push_back(item);
    });
    bool counted = false;
    for (ItemId item : visited) {
        CZRParamClass* node = tree.Node(item);
        if (IsIOItem(node->m_attributes))
            continue;
        CZRParamData& record = *node->m_record;
        if (record.IsChanged()) {
            tree.SetImages(item, kChangedImages);
            if (!counted)
                record.m_treeUseCount = (record.m_treeUseCount > 0 ? record.m_treeUseCount : 0) + 1;
            counted = true;
        } else {
            if (auto images = ImagesByLetters(node->m_attributes))
                tree.SetImages(item, *images);
            record.m_treeUseCount = 0;
        }
    }
    for (ItemId item : visited)
        RecountAncestors(tree, item);
}

bool TreeMarks::RecountBelow(ItemTree& tree, ItemId item)
{
    int marked = 0;
    for (ItemId child = tree.FirstChild(item); child; child = tree.NextSibling(child))
        marked += RecountBelow(tree, child) ? 1 : 0;
    CZRParamClass* node = tree.Node(item);
    if (!takesMarks(node))
        return false;
    if (isParameter(*node)) {
        const bool changed = node->m_record->m_treeUseCount > 0;
        if (changed)
            tree.SetImages(item, kChangedImages);
        else if (auto images = ImagesByLetters(node->m_attributes))
            tree.SetImages(item, *images);
        return changed;
    }
    setGroup(tree, item, *node, marked);
    return marked > 0;
}

void TreeMarks::Recount(ItemTree& tree, ItemId first)
{
    if (!first)
        first = tree.FirstChild(0);
    if (!first)
        return;
    for (ItemId item = first; item; item = tree.NextSibling(item))
        RecountBelow(tree, item);
    RecountAncestors(tree, first);
}

} // namespace zrparam
