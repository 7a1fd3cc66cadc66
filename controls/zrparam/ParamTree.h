// The group tree (child 1000): a QTreeWidget whose items the host and the rules reach by handle.
// Handles are ids of the control's own table, so a handle the control never gave out, or one of
// a deleted item, finds nothing. Each item keeps the reference of its node and its two pictures.
#pragma once

#include <zrparam/ItemTree.h>

#include <QTreeWidget>

#include <unordered_map>

class ParamWindow;

// Win32 tree-view names for the host's handles and relations.
inline constexpr zrparam::ItemId TVI_ROOT = -0x10000;
inline constexpr zrparam::ItemId TVI_FIRST = -0x0FFFF;
inline constexpr zrparam::ItemId TVI_LAST = -0x0FFFE;
enum TreeRelation : int {
    TVGN_ROOT = 0, TVGN_NEXT = 1, TVGN_PREVIOUS = 2, TVGN_PARENT = 3, TVGN_CHILD = 4, TVGN_FIRSTVISIBLE = 5,
    TVGN_NEXTVISIBLE = 6, TVGN_PREVIOUSVISIBLE = 7, TVGN_DROPHILITE = 8, TVGN_CARET = 9, TVGN_LASTVISIBLE = 10,
};

class ParamTree : public QTreeWidget, public zrparam::ItemTree {
public:
    ParamTree(ParamWindow& owner, QWidget* parent);

    // Appends an item as the last child of parent (0 or TVI_ROOT: the root level); 0 when the
    // parent is not an item of this tree.
    zrparam::ItemId insert(const QString& text, zrparam::ItemId parent, zrparam::NodeRef node,
                           const void* itemData);
    // Deletes every item and forgets every handle.
    void clearItems();

    QTreeWidgetItem* itemOf(zrparam::ItemId id) const;
    zrparam::ItemId idOf(const QTreeWidgetItem* item) const;
    zrparam::NodeRef nodeRef(zrparam::ItemId id) const;
    // The address the item was given as its data (0 for none), whether or not it is a live node.
    const void* itemData(zrparam::ItemId id) const;
    // The item a node address belongs to: its stored handle when that is still its item, else a
    // search; 0 when none.
    zrparam::ItemId findNode(const void* node, std::uintptr_t storedHandle) const;
    zrparam::ItemId selectedId() const;
    // The item's children in order (the root items for 0).
    const std::vector<zrparam::ItemId>& children(zrparam::ItemId id) const;
    // GetNextItem with a TVGN_ relation.
    zrparam::ItemId nextItem(int relation, zrparam::ItemId item) const;

    // ItemTree
    zrparam::ItemId FirstChild(zrparam::ItemId item) const override;
    zrparam::ItemId NextSibling(zrparam::ItemId item) const override;
    zrparam::ItemId Parent(zrparam::ItemId item) const override;
    zrparam::CZRParamClass* Node(zrparam::ItemId item) const override;
    std::string Text(zrparam::ItemId item) const override;
    zrparam::ImagePair Images(zrparam::ItemId item) const override;
    void SetImages(zrparam::ItemId item, zrparam::ImagePair images) override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions supported) override;

private:
    // Items are only ever appended and all deleted at once, so an item's place among its
    // siblings never changes: kept here, it makes the walks linear.
    struct Entry {
        QTreeWidgetItem* item;
        zrparam::NodeRef node;
        const void* data;
        int index;
        zrparam::ItemId parent;
        std::vector<zrparam::ItemId> children;
    };
    const Entry* entry(zrparam::ItemId id) const;
    const std::vector<zrparam::ItemId>& siblingsOf(const Entry& e) const;

    ParamWindow& m_owner;
    std::unordered_map<zrparam::ItemId, Entry> m_items;
    std::vector<zrparam::ItemId> m_roots;
    zrparam::ItemId m_nextId = 1;
};
