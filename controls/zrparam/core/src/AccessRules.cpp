#include "zrparam/AccessRules.h"

#include <model/ZRParamData.h>

namespace zrparam {

namespace {

bool has(std::string_view letters, char c)
{
    return letters.find(c) != std::string_view::npos;
}

bool hasTypeOf(const EditAccess& access, std::string_view letters)
{
    for (const std::string& type : access.types) {
        if (letters.find(type) != std::string_view::npos)
            return true;
    }
    return false;
}

bool writableWithRange(const CZRParamClass& node)
{
    return has(node.m_attributes, 'W') && node.m_record && !node.m_record->m_range.empty();
}

bool writeOnlyCommand(const CZRParamClass& node)
{
    return node.m_record && node.m_record->IsWriteOnlyCommand();
}

} // namespace

bool AccessRules::IsEditableType(const EditAccess& access, const CZRParamClass& node)
{
    if (access.mode == 0)
        return true;
    if (hasTypeOf(access, node.m_attributes))
        return true;
    return node.m_parent && hasTypeOf(access, node.m_parent->m_attributes);
}

bool AccessRules::EditEnabled(const EditAccess& access, const CZRParamClass* node, bool rowSelected)
{
    if (!rowSelected)
        return true;
    if (!node)
        return false;
    if (access.mode != 0 && !hasTypeOf(access, node->m_attributes))
        return false;
    return writableWithRange(*node);
}

bool AccessRules::SetToDefaultEnabled(const EditAccess& access, const CZRParamClass* node)
{
    return access.mode == 0 && node && node->m_record && has(node->m_attributes, 'R')
           && has(node->m_attributes, 'W');
}

bool AccessRules::RefreshItemsEnabled(const EditAccess& access, const CZRParamClass* node, bool hasRow,
                                      const Connected& connected)
{
    if (access.fullyReadOnly())
        return false;
    if (!hasRow)
        return connected();
    if (!node || !node->m_record)
        return false;
    const std::string& letters = node->m_attributes;
    if (!has(letters, 'R') || letters.find_first_of("IO#") != std::string::npos)
        return false;
    return connected();
}

bool AccessRules::SetGroupToDefaultEnabled(const EditAccess& access, const CZRParamClass* node, bool hasItem)
{
    if (access.mode != 0)
        return false;
    if (!hasItem)
        return true;
    return node && has(node->m_attributes, 'W') && has(node->m_attributes, 'R');
}

bool AccessRules::RefreshGroupEnabled(const EditAccess& access, const CZRParamClass* node, bool hasItem,
                                      const Connected& connected)
{
    if (access.fullyReadOnly())
        return false;
    if (!hasItem)
        return connected();
    if (!node || !node->m_record)
        return false;
    const std::string& letters = node->m_attributes;
    if (letters.find_first_of("IO#") != std::string::npos || (has(letters, 'W') && !has(letters, 'R')))
        return false;
    return connected();
}

RowAction AccessRules::SpaceAction(const EditAccess& access, const CZRParamClass& node)
{
    if (!node.m_record || !has(node.m_attributes, 'W'))
        return RowAction::None;
    if (writeOnlyCommand(node))
        return RowAction::QueryUpdate;
    if (IsEditableType(access, node) && node.m_record->m_stepKeys != 0)
        return RowAction::Step;
    return RowAction::None;
}

RowAction AccessRules::DoubleClickAction(const EditAccess& access, const CZRParamClass& node)
{
    if (access.fullyReadOnly() || !node.m_record || !has(node.m_attributes, 'W'))
        return RowAction::None;
    if (writeOnlyCommand(node))
        return RowAction::QueryUpdate;
    if (!IsEditableType(access, node))
        return RowAction::None;
    const model::CZRParamData& record = *node.m_record;
    if (record.m_stepMode == 0 && has(node.m_attributes, 'R') && record.m_stepKeys != 0)
        return RowAction::Step;
    return RowAction::Edit;
}

bool AccessRules::F2Edits(const CZRParamClass& node)
{
    return !writeOnlyCommand(node) && writableWithRange(node);
}

} // namespace zrparam
