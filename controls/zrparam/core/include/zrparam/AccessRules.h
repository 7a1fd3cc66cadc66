// What the user may do with a row or a tree item: the read-only modes with their editable
// command types, the enabling of the context menus' commands, and what Space and a double click
// on a row do.
#pragma once

#include <model/ZRParamClass.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zrparam {

using model::CZRParamClass;

// SetReadOnly: 0 normal; any other value restricted to the editable types; this one also turns
// off double click and the refresh commands.
inline constexpr std::uint32_t kFullyReadOnly = 0x80000000u;

struct EditAccess {
    std::uint32_t mode = 0;
    std::vector<std::string> types; // AddEnableCmdType; emptied by every SetReadOnly

    bool fullyReadOnly() const { return mode == kFullyReadOnly; }
};

enum class RowAction { None, QueryUpdate, Step, Edit };

class AccessRules {
public:
    using Connected = std::function<bool()>;

    // Mode 0: editable. Restricted: a type contained in the node's letters or in its parent's.
    static bool IsEditableType(const EditAccess& access, const CZRParamClass& node);

    // The five update rules of the menus. `node` is that of the selected row (item) or, without
    // one, of the row (item) the menu was opened on; `hasRow` / `hasItem` whether there is such a
    // row (item) at all. Connected asks the host (IsConnected) and is called only where it decides.
    static bool EditEnabled(const EditAccess& access, const CZRParamClass* node, bool rowSelected);
    static bool SetToDefaultEnabled(const EditAccess& access, const CZRParamClass* node);
    static bool RefreshItemsEnabled(const EditAccess& access, const CZRParamClass* node, bool hasRow,
                                    const Connected& connected);
    static bool SetGroupToDefaultEnabled(const EditAccess& access, const CZRParamClass* node, bool hasItem);
    static bool RefreshGroupEnabled(const EditAccess& access, const CZRParamClass* node, bool hasItem,
                                    const Connected& connected);

    // Space on the selected row, a double click on a row.
    static RowAction SpaceAction(const EditAccess& access, const CZRParamClass& node);
    static RowAction DoubleClickAction(const EditAccess& access, const CZRParamClass& node);
    // F2: the Edit command for a writable row with a range that is not an action command.
    static bool F2Edits(const CZRParamClass& node);
};

} // namespace zrparam
