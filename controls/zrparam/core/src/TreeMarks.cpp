#include "zrparam/TreeMarks.h"

#include <algorithm>
#include <functional>
#include <unordered_map>
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

void TreeMarks::RecountGroup(ItemTree& tree, ItemId group)
{
    int marked = 0;
    for (ItemId child = tree.FirstChild(group); child; child = tree.NextSibling(child))
        marked += IsMarked(tree, child) ? 1 : 0;
    if (CZRParamClass* node = tree.Node(group); takesMarks(node))
        setGroup(tree, group, *node, marked);
}

void TreeMarks::RecountAncestors(ItemTree& tree, ItemId item)
{
    for (ItemId group = tree.Parent(item); group; group = tree.Parent(group))
        RecountGroup(tree, group);
}

void TreeMarks::AfterCommit(ItemTree& tree, std::string_view commandName)
{
    AfterCommits(tree, {commandName});
}

void TreeMarks::AfterCommits(ItemTree& tree, const std::vector<std::string_view>& commandNames)
{
    // How often each name was committed: every commit raises the first changed record's counter.
    std::unordered_map<std::string_view, int> commits;
    for (const std::string_view name : commandNames) {
        if (!name.empty())
            ++commits[name];
    }
    if (commits.empty())
        return;
    std::unordered_map<std::string_view, std::vector<ItemId>> visited;
    ForEachItem(tree, tree.FirstChild(0), [&](ItemId item) {
        const CZRParamClass* node = tree.Node(item);
        if (!node || !node->m_record)
            return;
        if (const auto found = commits.find(node->m_record->m_name); found != commits.end())
            visited[found->first].push_back(item);
    });
    for (const auto& [name, items] : visited) {
        const int raise = commits[name];
        bool counted = false;
        for (ItemId item : items) {
            CZRParamClass* node = tree.Node(item);
            if (IsIOItem(node->m_attributes))
                continue;
            CZRParamData& record = *node->m_record;
            if (record.IsChanged()) {
                tree.SetImages(item, kChangedImages);
                if (!counted)
                    record.m_treeUseCount = (record.m_treeUseCount > 0 ? record.m_treeUseCount : 0) + raise;
                counted = true;
            } else {
                if (auto images = ImagesByLetters(node->m_attributes))
                    tree.SetImages(item, *images);
                record.m_treeUseCount = 0;
            }
        }
    }
    // Every group above a visited item, counted once, the deepest first: a group's mark follows
    // from its children's.
    std::unordered_map<ItemId, int> depthOf;
    for (const auto& [name, items] : visited) {
        for (ItemId item : items) {
            std::vector<ItemId> chain;
            for (ItemId group = tree.Parent(item); group && !depthOf.count(group); group = tree.Parent(group))
                chain.push_back(group);
            // The first group already known (or none) lies above the chain.
            const ItemId above = chain.empty() ? 0 : tree.Parent(chain.back());
            int depth = above ? depthOf[above] + 1 : 0;
            for (auto group = chain.rbegin(); group != chain.rend(); ++group)
                depthOf[*group] = depth++;
        }
    }
    std::vector<std::pair<int, ItemId>> groups;
    groups.reserve(depthOf.size());
    for (const auto& [group, depth] : depthOf)
        groups.emplace_back(depth, group);
    std::sort(groups.begin(), groups.end(), std::greater<>());
    for (const auto& [depth, group] : groups)
        RecountGroup(tree, group);
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
