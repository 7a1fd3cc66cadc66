// One node of the parameter tree that the parameter editor control shows. A node either borrows a
// record of the [Parameter] list or owns a record made from its own definition line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace model {

class CZRParamData;

class CZRParamClass {
public:
    static constexpr int kType = 2;

    CZRParamClass() = default;
    // Deletes the record unless it is borrowed.
    ~CZRParamClass();

    CZRParamClass(const CZRParamClass&) = delete;
    CZRParamClass& operator=(const CZRParamClass&) = delete;

    // Makes an own record from a definition line and takes its letters.
    void SetFromText(std::string_view definitionLine);
    // Points the node at `record`; a borrowed record is never deleted by the node. An own record
    // held before is deleted.
    void SetRecord(CZRParamData* record, bool borrowed);

    // Those of the record; empty without one.
    std::string GetValueText() const;
    std::string GetDisplayText() const;
    // The record's decimals (0 without a record); its number format is CZRParamData::FormatValue.
    int GetDecimals() const;

    // "NAME" + value text + CR. False (and an empty text) when the node has no record.
    bool GetWriteCommand(std::string& out) const;
    // "?NAME\r" when the record's letters hold 'R', else "NAME\r". False without a record.
    bool GetReadCommand(std::string& out) const;

    // An I/O item of the tree: its letters hold 'I' or 'O'.
    bool IsIoItem() const
    {
        return m_attributes.find('I') != std::string::npos || m_attributes.find('O') != std::string::npos;
    }

    // ---- What the parameter editor control shows of a node (empty texts without a record) ----
    // The value cell: the record's value text.
    std::string CopyValueText() const;
    // The "Range" cell: the record's display text (its default value).
    std::string CopyDisplayText() const;
    // The tree label: "NAME:label" with the node's label, else with the record's; the label alone
    // for a record without a command name (a group).
    std::string GetLabel() const;
    // The record's definition line.
    std::string GetExportText() const;
    // The record's definition line with the node's letters and, when it has one, the node's label:
    // what a drag out of the editor carries.
    std::string GetDragText() const;

    int m_type = kType;
    std::uint32_t m_commandHandle = 0;  // id of the last command queued for this node
    std::string m_attributes;           // letters of the node's definition line
    std::string m_label;                // label of a line that borrows a [Parameter] record
    CZRParamData* m_record = nullptr;
    int m_borrowed = 0;                 // 1: the record belongs to the [Parameter] list
    std::uintptr_t m_treeItem = 0;      // the control's tree item, kept by the control
    CZRParamClass* m_parent = nullptr;  // null at the top level
};

} // namespace model
