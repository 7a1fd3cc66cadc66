// The parameter editor's window: the group tree, the parameter list and the help pane with their
// layout and splitters, the building of tree and list from the host's nodes, the row drawing, the
// context menus, command help, drag-out, F1 and the focus between the panes. Editing (the value
// editor, commits, steps, refresh, set to default) lives in ParamEditor and ParamCommands.
#pragma once

#include "ParamHost.h"

#include <platform/qt/command_table.h>
#include <platform/timers.h>
#include <platform/qt/window_bridge.h>
#include <zrparam/AccessRules.h>
#include <zrparam/ItemTree.h>
#include <zrparam/PaneLayout.h>

#include <QWidget>

#include <array>
#include <memory>

class CZRPARAMApp;
class HelpPane;
class ParamBuilder;
class ParamCommands;
class ParamMenus;
class ParamEditor;
class ParamList;
class ParamTree;
struct ListColumn;
class QItemSelection;
class QContextMenuEvent;
class QKeyEvent;

inline constexpr plat::UINT WM_PARAM_REFRESH = plat::WM_USER + 2;

enum ParamTimer : plat::UINT_PTR {
    kTimerShowPopup = 1000,   // the preset popup 200 ms after the editor opened
    kTimerOpenEditor = 1001,  // the editor on the selected row, 1 ms
    kTimerCloseButton = 1002, // the help pane's close button, 100 ms after a help page
    kTimerCommandHelp = 1004, // command help again once the help pane is shown
};

class ParamWindow : public QWidget {
public:
    ParamWindow(ParamHost& host, zrparam::EditAccess& access, QWidget* parent);
    ~ParamWindow() override;

    ParamHost& host() { return m_host; }
    zrparam::EditAccess& access() { return m_access; }
    ParamTree& tree() { return *m_tree; }
    ParamList& list() { return *m_list; }
    HelpPane& help() { return *m_help; }
    ParamEditor& editor() { return *m_editor; }
    ParamCommands& commands() { return *m_commands; }
    plat::qt::CommandTable& commandTable();
    ParamBuilder& builder() { return *m_builder; }
    CZRPARAMApp& module() { return m_module; }
    plat::HWND hwnd() const { return m_bridge ? m_bridge->hwnd() : nullptr; }
    plat::HWND treeHandle() const { return m_treeBridge ? m_treeBridge->hwnd() : nullptr; }
    plat::HWND listHandle() const { return m_listBridge ? m_listBridge->hwnd() : nullptr; }

    // 1: the five-column parameter layout; 2: the short layout of a '#' group.
    int mode() const;
    // The column the value editor covers and a commit writes.
    int valueColumn() const { return mode() == 1 ? 2 : 1; }
    int valueSubItem() const;
    bool loading() const;
    // The list row or tree item the last context menu or list selection refers to (one of them).
    int contextRow() const { return m_contextRow; }
    zrparam::ItemId contextItem() const { return m_contextItem; }
    void setContext(int row, zrparam::ItemId item)
    {
        m_contextRow = row;
        m_contextItem = item;
    }
    void clearContext() { setContext(-1, 0); }
    // Every reference to a host node goes: rows' editor, popup, context, shown group.
    void dropNodeReferences();
    // Node addresses the host hands over, checked against its list.
    zrparam::NodeResolver& resolver() { return m_resolver; }

    // Dispatch members.
    void OnShowStyleChanged();
    bool ListGetItemPosition(int row, std::int32_t* x, std::int32_t* y) const;
    void CtrlSize(std::int32_t* treeWidth, std::int32_t* listHeight, std::int32_t* helpHeight, bool set);
    bool SetNextFocus(int direction);
    zrparam::ItemId ShowTreeItem(const std::string& path);
    long ExportData(char* buffer, long size, zrparam::ItemId item);
    void RefreshPanes(int bits);
    void HelpNavigate(const std::string& url);
    void HelpSetHtml(const std::string& html);
    void TermWindow();

    // From the panes.
    void drawListRow(QPainter& painter, const QRect& rect, int row);
    bool listKey(QKeyEvent& event);
    void listDoubleClick(int row);
    void listFocusIn();
    void listScrolled();
    void listSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void listContextMenu(QContextMenuEvent& event);
    void treeContextMenu(QContextMenuEvent& event);
    void startDrag(zrparam::NodeRef node);
    // Command help for the context row or tree item.
    void commandHelp();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    plat::LRESULT onMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);
    zrparam::Panes currentPanes() const;
    void applyPanes(const zrparam::Panes& panes);
    void relayout();
    int listWidthForValues() const;
    void placeCloseButton();
    void closeHelp();
    int focusedPaneId() const;
    int showStyle() const { return m_host.showStyle(); }
    bool helpShown() const { return zrparam::PaneLayout::HelpShown(showStyle()); }

    ParamHost& m_host;
    zrparam::EditAccess& m_access;
    CZRPARAMApp& m_module;
    ParamTree* m_tree;
    ParamList* m_list;
    HelpPane* m_help;
    std::unique_ptr<ParamEditor> m_editor;
    std::unique_ptr<ParamCommands> m_commands;
    std::unique_ptr<ParamBuilder> m_builder;
    std::unique_ptr<ParamMenus> m_menus;
    std::unique_ptr<plat::qt::WindowBridge> m_bridge;
    std::unique_ptr<plat::qt::WindowBridge> m_treeBridge;
    std::unique_ptr<plat::qt::WindowBridge> m_listBridge;
    zrparam::NodeResolver m_resolver;

    int m_contextRow = -1;
    zrparam::ItemId m_contextItem = 0;
    zrparam::SplitterDrag m_drag = zrparam::kNoDrag;
    bool m_ready = false; // every part made
    bool m_painted = false;
    bool m_laidOut = false;
    bool m_repaintWanted = false;
};
