#include "ParamCommands.h"

#include "CZRPARAMApp.h"
#include "ParamEditor.h"
#include "ParamList.h"
#include "ParamTexts.h"
#include "ParamTree.h"
#include "ParamWindow.h"

#include <platform/message_box.h>
#include <platform/qt/window_timers.h>
#include <zrparam/AccessRules.h>
#include <zrparam/CommitRules.h>
#include <zrparam/StepRules.h>
#include <zrparam/TreeMarks.h>

using zrparam::CZRParamClass;
using zrparam::ItemId;
using zrparam::NodeRef;

namespace {

bool has(const std::string& letters, char c)
{
    return letters.find(c) != std::string::npos;
}

} // namespace

void ParamCommands::setValueCell(int row, const std::string& text)
{
    ParamList& list = m_window.list();
    if (list.rows().setSubItem(row, m_window.valueSubItem(), QString::fromStdString(text)))
        list.repaintRow(row);
}

int ParamCommands::commit(std::intptr_t item, bool fire, bool isRow, bool takeTyped)
{
    QString refusal;
    const int result = commitLocked(item, fire, isRow, takeTyped, refusal);
    // The box comes after the data lock is given back.
    if (result == kRefused) {
        const plat::LANGID language = m_window.module().language();
        plat::MessageBox(m_window.hwnd(), refusal.toStdString(), ParamTexts::rangeErrorCaption(language).toStdString(),
                         plat::MB_OK | plat::MB_ICONWARNING);
    }
    return result;
}

int ParamCommands::commitLocked(std::intptr_t item, bool fire, bool isRow, bool takeTyped, QString& refusal)
{
    ParamList& list = m_window.list();
    ParamTree& tree = m_window.tree();
    ParamHost& host = m_window.host();
    NodeRef ref;
    if (isRow) {
        const ListRow* row = list.rows().row(static_cast<int>(item));
        if (!row)
            return 0;
        ref = row->node;
    } else {
        ref = tree.nodeRef(item);
    }
    DataAccess data;
    CZRParamClass* node = data.node(ref);
    if (!node || !node->m_record)
        return 0;
    const int row = isRow ? static_cast<int>(item) : list.rowOfNode(node);
    bool invalid = false;
    ParamEditor& editor = m_window.editor();
    if (takeTyped && isRow && editor.isOpen() && item == editor.editedRow()) {
        const std::string typed = zrparam::CommitRules::TakeTyped(editor.typedText());
        const zrparam::TypedCommit result = zrparam::CommitRules::CommitTyped(*node->m_record, typed);
        setValueCell(row, result.cellText);
        if (result.outOfRange) {
            refusal = ParamTexts::rangeErrorText(QString::fromStdString(node->m_record->m_name), result.minimum,
                                                 result.maximum, node->m_record->m_decimals,
                                                 m_window.module().language());
            return kRefused;
        }
        if (result.textValue) {
            host.fireSetStrChange(node->m_record->m_name, typed, 0, node->m_record);
        } else if (!result.valid) {
            invalid = true;
        } else if (result.statusChanged) {
            host.fireItemSelect(isRow, 0, 1, node);
        }
        // The host may have replaced its lists in an event.
        if (!(node = data.node(ref)))
            return 1;
    } else {
        setValueCell(row, zrparam::CommitRules::CommitStored(*node->m_record));
    }
    if (!has(node->m_attributes, 'W'))
        return 1;
    zrparam::TreeMarks::AfterCommit(tree, node->m_record->m_name);
    if (fire && !invalid)
        host.fireOnParamChange(node);
    if (invalid)
        host.fireItemSelect(isRow, 0, 1, node);
    return 1;
}

void ParamCommands::stepRow(int row, bool doubleClick)
{
    ParamList& list = m_window.list();
    const ListRow* listRow = list.rows().row(row);
    if (!listRow)
        return;
    const NodeRef ref = listRow->node;
    DataAccess data;
    CZRParamClass* node = data.node(ref);
    if (!node)
        return;
    const zrparam::RowAction action = doubleClick ? zrparam::AccessRules::DoubleClickAction(m_window.access(), *node)
                                                  : zrparam::AccessRules::SpaceAction(m_window.access(), *node);
    switch (action) {
    case zrparam::RowAction::QueryUpdate:
        m_window.host().fireQueryUpdate(node);
        return;
    case zrparam::RowAction::Edit:
        m_window.commandTable().execute(ID_EDIT_VALUE);
        return;
    case zrparam::RowAction::Step: {
        const zrparam::StepResult step = zrparam::StepRules::StepToNextValue(*node->m_record);
        if (step.textChosen)
            m_window.host().fireSetStrChange(node->m_record->m_name, step.text, step.index, node->m_record);
        if (step.stepped)
            commit(row, true, true, false);
        return;
    }
    case zrparam::RowAction::None: return;
    }
}

void ParamCommands::presetStep(int button, const void* nodeAddress)
{
    ParamList& list = m_window.list();
    ParamEditor& editor = m_window.editor();
    std::string text;
    {
        DataAccess data;
        const NodeRef ref = m_window.resolver().Find(data.list(), nodeAddress);
        CZRParamClass* node = data.node(ref);
        if (!node || !node->m_record || button < 0 || button >= zrparam::kPresetButtons)
            return;
        const zrparam::PresetResult result =
            zrparam::StepRules::PresetStep(*node->m_record, button, editor.typedText());
        if (!result.changed)
            return;
        node->m_record->m_alternative = result.alternative;
        text = result.text;
    }
    const int row = list.selectedRow();
    if (row < 0)
        return;
    editor.setText(QString::fromStdString(text));
    commit(row, true, true);
    list.repaintRow(row);
}

void ParamCommands::setToDefault()
{
    ParamList& list = m_window.list();
    const int row = list.selectedRow() >= 0 ? list.selectedRow() : m_window.contextRow();
    const ListRow* listRow = list.rows().row(row);
    if (!listRow)
        return;
    bool changed = false;
    {
        DataAccess data;
        CZRParamClass* node = data.node(listRow->node);
        if (!node || !node->m_record || node->m_record->m_name.empty())
            return;
        zrparam::CZRParamData& r = *node->m_record;
        if (r.m_currentValue != r.m_defaultValue) {
            r.m_currentValue = r.m_defaultValue;
            changed = true;
        } else if (r.IsTextValued() && r.m_currentText != r.m_defaultText) {
            r.m_currentText = r.m_defaultText;
            changed = true;
        }
    }
    if (changed)
        commit(row, true, true, false);
    m_window.update();
}

std::vector<ItemId> ParamCommands::subtree(ItemId item) const
{
    std::vector<ItemId> items;
    if (!item)
        return items;
    items.push_back(item);
    const ParamTree& tree = m_window.tree();
    if (ItemId child = tree.FirstChild(item))
        zrparam::ForEachItem(tree, child, [&](ItemId id) { items.push_back(id); });
    return items;
}

void ParamCommands::setGroupToDefault()
{
    // Every item is reset and its cell shown first; then the tree marks are counted once for all
    // of them, and the host hears of each in tree order. A commit per item would walk the whole
    // tree and count the whole group again for each.
    ParamTree& tree = m_window.tree();
    ParamList& list = m_window.list();
    std::vector<NodeRef> written;
    std::vector<std::string> names;
    DataAccess data;
    for (ItemId item : subtree(tree.selectedId())) {
        const NodeRef ref = tree.nodeRef(item);
        CZRParamClass* node = data.node(ref);
        if (!node || !node->m_record || node->m_record->m_name.empty()
            || node->m_record->m_currentValue == node->m_record->m_defaultValue)
            continue;
        node->m_record->m_currentValue = node->m_record->m_defaultValue;
        setValueCell(list.rowOfNode(node), zrparam::CommitRules::CommitStored(*node->m_record));
        if (!has(node->m_attributes, 'W'))
            continue;
        names.push_back(node->m_record->m_name);
        written.push_back(ref);
    }
    zrparam::TreeMarks::AfterCommits(tree, std::vector<std::string_view>(names.begin(), names.end()));
    for (const NodeRef& ref : written) {
        // The host may have replaced its lists in an event.
        if (CZRParamClass* node = data.node(ref))
            m_window.host().fireOnParamChange(node);
    }
    m_window.update();
}

void ParamCommands::refreshItems()
{
    ParamList& list = m_window.list();
    std::vector<NodeRef> nodes;
    for (int row : list.selectedRows()) {
        if (const ListRow* r = list.rows().row(row))
            nodes.push_back(r->node);
    }
    for (const NodeRef& ref : nodes) {
        DataAccess data;
        if (CZRParamClass* node = data.node(ref))
            m_window.host().fireQueryUpdate(node);
    }
}

void ParamCommands::refreshGroup()
{
    ParamTree& tree = m_window.tree();
    std::vector<NodeRef> nodes;
    for (ItemId item : subtree(tree.selectedId()))
        nodes.push_back(tree.nodeRef(item));
    for (const NodeRef& ref : nodes) {
        DataAccess data;
        CZRParamClass* node = data.node(ref);
        if (node && node->m_record && !node->m_record->m_name.empty() && has(node->m_attributes, 'R'))
            m_window.host().fireQueryUpdate(node);
    }
    m_window.update();
}

int ParamCommands::SetDataChange(const void* nodeAddress)
{
    ParamList& list = m_window.list();
    ParamEditor& editor = m_window.editor();
    if (!nodeAddress) {
        const int row = list.selectedRow();
        if (!editor.isOpen() || row < 0)
            return -1;
        commit(row, true, true);
        editor.hide();
        list.repaintRow(row);
        return row;
    }
    int row = -1;
    ItemId item = 0;
    {
        DataAccess data;
        const NodeRef ref = m_window.resolver().Find(data.list(), nodeAddress);
        CZRParamClass* node = data.node(ref);
        if (!node)
            return -1;
        row = list.rowOfNode(node);
        if (row < 0 && node->m_record) {
            const QString name = QString::fromStdString(node->m_record->m_name);
            for (int r = 0; r < list.rows().rows() && row < 0; ++r) {
                if (list.rows().subItem(r, 0) == name)
                    row = r;
            }
        }
        if (row < 0)
            item = m_window.tree().findNode(node, node->m_treeItem);
    }
    // The host reports its own change: the row shows the record, the typed text is not taken and
    // no event is fired.
    if (row >= 0) {
        commit(row, false, true, false);
        list.repaintRow(row);
        return row;
    }
    if (item)
        commit(item, false, false, false);
    return -1;
}

void ParamCommands::UpdateTreeIcon(ItemId item)
{
    ParamTree& tree = m_window.tree();
    if (item == TVI_ROOT)
        item = 0;
    if (item && !tree.itemOf(item))
        return;
    DataAccess data;
    zrparam::TreeMarks::Recount(tree, item);
    if (m_window.mode() != 1)
        return;
    ParamList& list = m_window.list();
    for (int r = 0; r < list.rows().rows(); ++r) {
        if (const CZRParamClass* node = data.node(list.rows().row(r)->node))
            list.rows().setSubItem(r, m_window.valueSubItem(), QString::fromStdString(node->GetValueText()));
    }
}
