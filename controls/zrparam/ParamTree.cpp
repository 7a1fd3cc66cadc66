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
    if (parent != 0 && parent != TVI_ROOT) {
        parentItem = itemOf(parent);
        if (!parentItem)
            return 0;
    }
    auto* item = new QTreeWidgetItem(QStringList(text));
    const ItemId id = m_nextId++;
    item->setData(0, kIdRole, QVariant::fromValue<qlonglong>(id));
    const int index = parentItem ? parentItem->childCount() : topLevelItemCount();
    m_items.emplace(id, Entry{item, node, itemData, index});
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
    clear();
}

const ParamTree::Entry* ParamTree::entry(ItemId id) const
{
    auto it = m_items.find(id);
    return it == m_items.end() ? nullptr : &it->second;
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
    case TVGN_ROOT: return idOf(topLevelItem(0));
    case TVGN_CHILD: return (id == 0 || id == TVI_ROOT) ? idOf(topLevelItem(0)) : FirstChild(id);
    case TVGN_NEXT: return NextSibling(id);
    case TVGN_PARENT: return Parent(id);
    case TVGN_PREVIOUS: {
        const Entry* e = entry(id);
        if (!e || e->index < 1)
            return 0;
        QTreeWidgetItem* parent = e->item->parent();
        return idOf(parent ? parent->child(e->index - 1) : topLevelItem(e->index - 1));
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
    if (id == 0)
        return idOf(topLevelItem(0));
    QTreeWidgetItem* item = itemOf(id);
    return item && item->childCount() ? idOf(item->child(0)) : 0;
}

ItemId ParamTree::NextSibling(ItemId id) const
{
    const Entry* e = entry(id);
    if (!e)
        return 0;
    if (QTreeWidgetItem* parent = e->item->parent())
        return idOf(parent->child(e->index + 1));
    return idOf(topLevelItem(e->index + 1));
}

ItemId ParamTree::Parent(ItemId id) const
{
    QTreeWidgetItem* item = itemOf(id);
    return item ? idOf(item->parent()) : 0;
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
