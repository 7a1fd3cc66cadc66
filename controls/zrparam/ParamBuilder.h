// Builds the group tree from the host's nodes (LoadFile) and the list from the selected group
// (the rows of its parameters in the five- or three-column layout), and carries out the host's
// own tree and list calls (InsertItem, ListInsertItem, ListInsertColumn ...). Keeps the column
// tables of the two layouts and which group the list shows.
#pragma once

#include "ParamListModel.h"

#include <zrparam/ItemTree.h>

#include <array>
#include <string>
#include <vector>

class CZRPARAMApp;
class ParamWindow;

class ParamBuilder {
public:
    ParamBuilder(ParamWindow& window, CZRPARAMApp& module);

    // 1: the parameter layout; 2: the short layout of a group whose letters begin with '#'.
    int mode() const { return m_mode; }
    bool loading() const { return m_loading; }
    void forgetGroup() { m_shownGroup = 0; }

    int LoadFile(const std::string& fileName, const std::string& section);
    void InitControl();
    // The current layout's columns in place of every column (and row).
    void insertModeColumns();
    // The tree's selection changed: the list shows the selected group's parameters.
    void fillFromTree();

    zrparam::ItemId InsertItem(const std::string& text, zrparam::ItemId parent, const void* data);
    int ListInsertItem(int row, const std::string& text, int image, const void* data);
    void ListDeleteAllItems();
    int ListInsertColumn(int column, const std::string& title, int format, int width, int subItem);
    bool ListDeleteColumn(int column);

private:
    ParamWindow& m_window;
    CZRPARAMApp& m_module;
    // Column tables by mode (table 0 is never filled), up to eight columns each.
    std::array<std::vector<ListColumn>, 3> m_columnTables;
    int m_mode = 1;
    zrparam::ItemId m_shownGroup = 0;
    bool m_loading = false;
};
