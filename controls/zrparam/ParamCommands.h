// What changes the host's records or asks the host to: the commit of a row or tree item with its
// events and tree marks, Space and double click, the preset steps, set to default and refresh for
// rows and groups, the host's SetDataChange and UpdateTreeIcon.
#pragma once

#include <zrparam/ItemTree.h>

#include <QString>

class ParamWindow;

class ParamCommands {
public:
    explicit ParamCommands(ParamWindow& window) : m_window(window) {}

    // CommitEdit: item is a list row (isRow) or a tree item. With the editor open on that row the
    // typed text is committed (unless takeTyped is false), else the record's value is shown again.
    // Then the tree marks, and OnParamChange (fire, valid) or ItemSelect (invalid). 0 without a
    // node; kRefused when a typed number outside the range was refused with the range box (the
    // record, the marks and the host are left as they were).
    static constexpr int kRefused = 2;
    int commit(std::intptr_t item, bool fire, bool isRow, bool takeTyped = true);
    // Space (or a double click) on a row.
    void stepRow(int row, bool doubleClick);
    // WM_PRESET_STEP: the editor's value stepped by a popup button, then committed.
    void presetStep(int button, const void* node);

    void setToDefault();
    void setGroupToDefault();
    void refreshItems();
    void refreshGroup();

    int SetDataChange(const void* node);
    void UpdateTreeIcon(zrparam::ItemId item);

private:
    int commitLocked(std::intptr_t item, bool fire, bool isRow, bool takeTyped, QString& refusal);

    void setValueCell(int row, const std::string& text);
    std::vector<zrparam::ItemId> subtree(zrparam::ItemId item) const;

    ParamWindow& m_window;
};
