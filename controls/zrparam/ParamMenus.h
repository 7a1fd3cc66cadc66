// The two context menus (214 on a list row, 215 on a tree item) on the kit's command table: the
// commands with their update rules, the menus built in the control's language and shown through
// the popup-menu seam, and where each opens.
#pragma once

#include <platform/qt/command_table.h>

class CZRPARAMApp;
class ParamWindow;
class QContextMenuEvent;
class QPoint;

class ParamMenus {
public:
    ParamMenus(ParamWindow& window, CZRPARAMApp& module);

    plat::qt::CommandTable& table() { return m_table; }

    void treeContextMenu(QContextMenuEvent& event);
    void listContextMenu(QContextMenuEvent& event);

private:
    void show(int menu, const QPoint& globalPos);

    ParamWindow& m_window;
    CZRPARAMApp& m_module;
    plat::qt::CommandTable m_table;
};
