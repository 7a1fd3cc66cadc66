#include "ParamTree.h"

#include "CZRPARAMApp.h"
#include "ParamImages.h"
#include "ParamWindow.h"

#include <QContextMenuEvent>

namespace {

constexpr int kIdRole = Qt::UserRole;

} // namespace

using zrparam::ImagePair;
using zrparam::ImageRole;
using zrparam::ItemId;
using zrparam::NodeRef;

ParamTree::ParamTree(ParamWindow& owner, QWidget* parent) : QTreeWidget(parent), m_owner(owner)
{
    setObjectName(QStringLiteral("1000"));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setIconSize(QSize(16, 16));
    setFrameShape(QFrame::Box);
}

ItemId ParamTree::insert(const QString& text, ItemId parent, NodeRef node, const void* itemData)
{
    QTreeWidgetItem* parentItem = nullptr;
    if (parent == TVI_ROOT)
        parent = 0;
    if (parent != 0) {
        parentItem = itemOf(parent);
        if (!parentItem)
            return 0;
    }
    auto* item = new QTreeWidgetItem(QStringList(text));
    const ItemId id = m_nextId++;
    item->setData(0, kIdRole, QVariant::fromValue<qlonglong>(id));
    std::vector<ItemId>& siblings = parent ? m_items.at(parent).children : m_roots;
    m_items.emplace(id, Entry{item, node, itemData, static_cast<int>(siblings.size()), parent, {}});
    siblings.push_back(id);
    SetImages(id, zrparam::GroupImages(false));
    if (parentItem)
        parentItem->addChild(item);
    else
        addTopLevelItem(item);
    return id;
}

void ParamTree::clearItems()
{
    m_items.clear();
    m_roots.clear();
    clear();
}

const ParamTree::Entry* ParamTree::entry(ItemId id) const
{
    auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : &it->second;
}

const std::vector<ItemId>& ParamTree::siblingsOf(const Entry& e) const
{
    return e.parent ? m_items.at(e.parent).children : m_roots;
}

const std::vector<ItemId>& ParamTree::children(ItemId id) const
{
    static const std::vector<ItemId> none;
    if (id == 0)
        return m_roots;
    const Entry* e = entry(id);
    return e ? e->children : none;
}

QTreeWidgetItem* ParamTree::itemOf(ItemId id) const
{
    const Entry* e = entry(id);
    return e ? e->item : nullptr;
}

ItemId ParamTree::idOf(const QTreeWidgetItem* item) const
{
    return item ? static_cast<ItemId>(item->data(0, kIdRole).toLongLong()) : 0;
}

NodeRef ParamTree::nodeRef(ItemId id) const
{
    auto it = m_items.find(id);
    return it == m_items.end() ? NodeRef{} : it->second.node;
}

const void* ParamTree::itemData(ItemId id) const
{
    auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : it->second.data;
}

ItemId ParamTree::findNode(const void* node, std::uintptr_t storedHandle) const
{
    if (!node)
        return 0;
    const ItemId stored = static_cast<ItemId>(storedHandle);
    if (nodeRef(stored).node == node)
        return stored;
    for (const auto& [id, entry] : m_items) {
        if (entry.node.node == node)
            return id;
    }
    return 0;
}

ItemId ParamTree::selectedId() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? 0 : idOf(selected.first());
}

ItemId ParamTree::nextItem(int relation, ItemId id) const
{
    QTreeWidgetItem* item = itemOf(id);
    switch (relation) {
    case TVGN_ROOT: return FirstChild(0);
    case TVGN_CHILD: return FirstChild(id == TVI_ROOT ? 0 : id);
    case TVGN_NEXT: return NextSibling(id);
    case TVGN_PARENT: return Parent(id);
    case TVGN_PREVIOUS: {
        const Entry* e = entry(id);
        return e && e->index >= 1 ? siblingsOf(*e)[static_cast<std::size_t>(e->index - 1)] : 0;
    }
    case TVGN_FIRSTVISIBLE: return idOf(itemAt(0, 0));
    case TVGN_NEXTVISIBLE: return item ? idOf(itemBelow(item)) : 0;
    case TVGN_PREVIOUSVISIBLE: return item ? idOf(itemAbove(item)) : 0;
    case TVGN_CARET: return idOf(currentItem());
    case TVGN_LASTVISIBLE: {
        QTreeWidgetItem* last = topLevelItemCount() ? topLevelItem(topLevelItemCount() - 1) : nullptr;
        while (last && last->isExpanded() && last->childCount())
            last = last->child(last->childCount() - 1);
        return idOf(last);
    }
    default: return 0; // no drop target, no other relation
    }
}

ItemId ParamTree::FirstChild(ItemId id) const
{
    const std::vector<ItemId>& list = children(id);
    return list.empty() ? 0 : list.front();
}

ItemId ParamTree::NextSibling(ItemId id) const
{
    const Entry* e = entry(id);
    if (!e)
        return 0;
    const std::vector<ItemId>& siblings = siblingsOf(*e);
    const auto next = static_cast<std::size_t>(e->index) + 1;
    return next < siblings.size() ? siblings[next] : 0;
}

ItemId ParamTree::Parent(ItemId id) const
{
    const Entry* e = entry(id);
    return e ? e->parent : 0;
}

zrparam::CZRParamClass* ParamTree::Node(ItemId id) const
{
    return zrparam::NodeResolver::Resolve(paramModule().nodeList(), nodeRef(id));
}

std::string ParamTree::Text(ItemId id) const
{
    QTreeWidgetItem* item = itemOf(id);
    return item ? item->text(0).toStdString() : std::string();
}

ImagePair ParamTree::Images(ItemId id) const
{
    QTreeWidgetItem* item = itemOf(id);
    if (!item)
        return {};
    return {static_cast<ImageRole>(item->data(0, zrparam::kNormalImageDataRole).toInt()),
            static_cast<ImageRole>(item->data(0, zrparam::kSelectedImageDataRole).toInt())};
}

void ParamTree::SetImages(ItemId id, ImagePair images)
{
    QTreeWidgetItem* item = itemOf(id);
    if (!item || (item->data(0, zrparam::kNormalImageDataRole).isValid() && Images(id) == images))
        return;
    item->setData(0, zrparam::kNormalImageDataRole, static_cast<int>(images.normal));
    item->setData(0, zrparam::kSelectedImageDataRole, static_cast<int>(images.selected));
    item->setIcon(0, ParamImages::icon(images));
}

void ParamTree::contextMenuEvent(QContextMenuEvent* event)
{
    m_owner.treeContextMenu(*event);
}

void ParamTree::startDrag(Qt::DropActions)
{
    m_owner.startDrag(nodeRef(selectedId()));
}
