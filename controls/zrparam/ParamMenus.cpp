#include "ParamMenus.h"

#include "CZRPARAMApp.h"
#include "ParamCommands.h"
#include "ParamEditor.h"
#include "ParamList.h"
#include "ParamTexts.h"
#include "ParamTree.h"
#include "ParamWindow.h"

#include <zrparam/AccessRules.h>

#include <QContextMenuEvent>
#include <QMenu>

using plat::qt::CommandUpdate;
using zrparam::AccessRules;
using zrparam::ItemId;

ParamMenus::ParamMenus(ParamWindow& w, CZRPARAMApp& module) : m_window(w), m_module(module)
{
    // The rules look at the selected row (item), else at the one the menu was opened on.
    auto rowNode = [this](int row) -> const zrparam::CZRParamClass* {
        const ListRow* r = m_window.list().rows().row(row);
        return r ? DataAccess(m_module).node(r->node) : nullptr;
    };
    auto itemNode = [this](ItemId item) { return DataAccess(m_module).node(m_window.tree().nodeRef(item)); };
    auto listRow = [this] {
        const int selected = m_window.list().selectedRow();
        return selected >= 0 ? selected : m_window.contextRow();
    };
    auto treeItem = [this] {
        const ItemId selected = m_window.tree().selectedId();
        return selected ? selected : m_window.contextItem();
    };
    auto connected = [this] { return m_window.host().fireIsConnected(); };
    zrparam::EditAccess& access = m_window.access();

    m_table.add(ID_EDIT_VALUE, [this] { m_window.editor().editCommand(); }, [this, &access, rowNode](CommandUpdate& u) {
        const int row = m_window.list().selectedRow();
        u.Enable(AccessRules::EditEnabled(access, rowNode(row), row >= 0));
    });
    m_table.add(ID_SET_DEFAULT, [this] { m_window.commands().setToDefault(); }, [&access, rowNode, listRow](CommandUpdate& u) {
        u.Enable(AccessRules::SetToDefaultEnabled(access, rowNode(listRow())));
    });
    m_table.add(ID_REFRESH_ITEMS, [this] { m_window.commands().refreshItems(); },
                [&access, rowNode, listRow, connected](CommandUpdate& u) {
                    const int row = listRow();
                    u.Enable(AccessRules::RefreshItemsEnabled(access, rowNode(row), row >= 0, connected));
                });
    m_table.add(ID_SET_GROUP_DEFAULT, [this] { m_window.commands().setGroupToDefault(); },
                [this, &access, itemNode](CommandUpdate& u) {
                    const ItemId item = m_window.tree().selectedId();
                    u.Enable(AccessRules::SetGroupToDefaultEnabled(access, itemNode(item), item != 0));
                });
    m_table.add(ID_REFRESH_GROUP, [this] { m_window.commands().refreshGroup(); },
                [&access, itemNode, treeItem, connected](CommandUpdate& u) {
                    const ItemId item = treeItem();
                    u.Enable(AccessRules::RefreshGroupEnabled(access, itemNode(item), item != 0, connected));
                });
    m_table.add(ID_COMMAND_HELP, [this] { m_window.commandHelp(); });
}

void ParamMenus::show(int menu, const QPoint& globalPos)
{
    QMenu popup(&m_window);
    popup.setObjectName(QString::number(menu));
    for (plat::UINT id : ParamTexts::menuItems(menu)) {
        if (id == 0) {
            popup.addSeparator();
            continue;
        }
        QAction* action = popup.addAction(ParamTexts::menuText(id, m_module.language()));
        m_table.bind(id, action);
    }
    m_table.trackPopupMenu(popup, globalPos);
}

void ParamMenus::treeContextMenu(QContextMenuEvent& event)
{
    ParamTree& tree = m_window.tree();
    m_window.editor().hide();
    tree.setFocus(Qt::PopupFocusReason);
    QTreeWidgetItem* item = nullptr;
    QPoint at;
    if (event.reason() == QContextMenuEvent::Keyboard) {
        item = tree.currentItem();
        if (!item)
            return;
        const QRect r = tree.visualItemRect(item);
        at = tree.viewport()->mapToGlobal(QPoint(r.left() + tree.width() / 3, r.top()));
    } else {
        // Only on an item: it becomes the selected one.
        item = tree.itemAt(tree.viewport()->mapFromGlobal(event.globalPos()));
        if (!item)
            return;
        tree.setCurrentItem(item);
        at = event.globalPos();
    }
    const ItemId id = tree.idOf(item);
    if (!DataAccess(m_module).node(tree.nodeRef(id)))
        return;
    m_window.setContext(-1, id);
    show(IDR_TREE_MENU, at);
}

void ParamMenus::listContextMenu(QContextMenuEvent& event)
{
    ParamList& list = m_window.list();
    m_window.editor().hide();
    int row = -1;
    QPoint at;
    if (event.reason() == QContextMenuEvent::Keyboard) {
        row = list.focusedRow();
        const QRect r = list.rowRect(row);
        if (!r.isValid())
            return;
        at = list.viewport()->mapToGlobal(QPoint(r.left() + list.width() / 3, r.top()));
    } else {
        const QModelIndex index = list.indexAt(list.viewport()->mapFromGlobal(event.globalPos()));
        if (!index.isValid())
            return;
        row = index.row();
        at = event.globalPos();
    }
    const ListRow* r = list.rows().row(row);
    if (!r || !DataAccess(m_module).node(r->node))
        return;
    m_window.setContext(row, 0);
    show(IDR_LIST_MENU, at);
}
