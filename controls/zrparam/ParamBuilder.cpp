#include "ParamBuilder.h"

#include "CZRPARAMApp.h"
#include "ParamEditor.h"
#include "ParamList.h"
#include "ParamTree.h"
#include "ParamTexts.h"
#include "ParamWindow.h"

#include <zrparam/ImageRoles.h>

#include <QHeaderView>

using zrparam::ItemId;
using zrparam::NodeRef;

ParamBuilder::ParamBuilder(ParamWindow& window, CZRPARAMApp& module) : m_window(window), m_module(module)
{
    // Every column is as wide as its title and a little more.
    const plat::LANGID language = m_module.language();
    const QFontMetrics metrics(m_window.list().font());
    const int pad = metrics.horizontalAdvance(ParamTexts::widthPad(language));
    for (int table = 1; table <= 2; ++table) {
        const QStringList titles = ParamTexts::columnTitles(table, language);
        for (int i = 0; i < titles.size(); ++i)
            m_columnTables[static_cast<std::size_t>(table)].push_back(
                ListColumn{titles[i], 0, metrics.horizontalAdvance(titles[i]) + pad, i});
    }
}

int ParamBuilder::LoadFile(const std::string& fileName, const std::string& section)
{
    ParamTree& tree = m_window.tree();
    ParamList& list = m_window.list();
    m_loading = true;
    {
        PaintGuard guard(m_module);
        m_shownGroup = 0;
        const bool rebuild = fileName.empty() && section.empty();
        tree.setEnabled(true);
        list.setEnabled(true);
        m_window.editor().hide();
        m_window.dropNodeReferences();
        list.rows().clearRows();
        tree.clearItems();
        if (rebuild) {
            m_module.AttachSharedBlock();
            DataAccess data(m_module);
            if (const zrparam::NodeList* list = data.list()) {
                const zrparam::CZRParamClass* previous = nullptr;
                ItemId previousItem = 0;
                for (std::size_t i = 0; i < list->size(); ++i) {
                    zrparam::CZRParamClass* node = (*list)[i].get();
                    if (!node)
                        continue;
                    ItemId parent = 0;
                    if (node->m_parent && node->m_parent == previous)
                        parent = previousItem;
                    else if (node->m_parent)
                        parent = tree.findNode(node->m_parent, node->m_parent->m_treeItem);
                    const ItemId item = tree.insert(QString::fromStdString(node->GetLabel()), parent,
                                                       NodeRef{node, i}, node);
                    if (auto images = zrparam::ImagesByLetters(node->m_attributes))
                        tree.SetImages(item, *images);
                    node->m_treeItem = static_cast<std::uintptr_t>(item);
                    previous = node;
                    previousItem = item;
                }
            }
        }
    }
    m_loading = false;
    m_window.update();
    return 0;
}

void ParamBuilder::InitControl()
{
    ParamTree& tree = m_window.tree();
    ParamList& list = m_window.list();
    PaintGuard guard(m_module);
    m_window.editor().hide();
    m_window.dropNodeReferences();
    list.rows().clearRows();
    tree.clearItems();
    m_window.update();
}

void ParamBuilder::insertModeColumns()
{
    ParamList& list = m_window.list();
    ParamListModel& rows = list.rows();
    rows.clearRows();
    rows.clearColumns();
    const auto& table = m_columnTables[static_cast<std::size_t>(m_mode)];
    for (std::size_t i = 0; i < table.size(); ++i) {
        rows.insertColumn(static_cast<int>(i), table[i]);
        list.header()->resizeSection(static_cast<int>(i), table[i].width);
    }
    // The list's room for its values depends on these columns.
    m_window.OnShowStyleChanged();
}

void ParamBuilder::fillFromTree()
{
    ParamTree& tree = m_window.tree();
    ParamList& list = m_window.list();
    if (m_loading || list.testAttribute(Qt::WA_ForceDisabled))
        return;
    m_window.editor().hide();
    QTreeWidgetItem* selected = tree.currentItem();
    if (!selected)
        return;
    QTreeWidgetItem* group = selected->childCount() ? selected : selected->parent();
    if (!group || !group->childCount()) {
        // An item outside every group: the list shows nothing.
        list.rows().clearRows();
        m_shownGroup = 0;
        return;
    }
    const ItemId groupId = tree.idOf(group);
    if (groupId == m_shownGroup)
        return;
    ParamListModel& rows = list.rows();
    m_shownGroup = groupId;
    DataAccess data(m_module);
    int mode = 1;
    if (const zrparam::CZRParamClass* g = data.node(tree.nodeRef(groupId)))
        mode = g->m_attributes.starts_with('#') ? 2 : 1;
    if (mode != m_mode || rows.columns().empty()) {
        m_mode = mode;
        insertModeColumns();
    }
    rows.fill([&](std::vector<ListRow>& out) {
        for (ItemId child : tree.children(groupId)) {
            const NodeRef ref = tree.nodeRef(child);
            const zrparam::CZRParamClass* node = data.node(ref);
            if (!node || !node->m_record || node->m_record->m_name.empty())
                continue;
            ListRow& row = out.emplace_back();
            row.node = ref;
            row.data = node;
            row.cells[0] = QString::fromStdString(node->m_record->m_name);
            row.cells[1] = QString::fromStdString(node->CopyDisplayText());
            const QString label = QString::fromStdString(node->m_label.empty() ? node->m_record->m_label : node->m_label);
            if (mode == 1) {
                row.cells[2] = QString::fromStdString(node->CopyValueText());
                row.cells[3] = QString::fromStdString(node->m_record->m_unit);
                row.cells[4] = label;
            } else {
                row.cells[2] = label;
            }
        }
    });
}

ItemId ParamBuilder::InsertItem(const std::string& text, ItemId parent, const void* data)
{
    ParamTree& tree = m_window.tree();
    DataAccess access(m_module);
    const NodeRef ref = m_window.resolver().Find(access.list(), data);
    const ItemId item = tree.insert(QString::fromStdString(text), parent, ref, data);
    if (const zrparam::CZRParamClass* node = access.node(ref)) {
        if (auto images = zrparam::ImagesByLetters(node->m_attributes))
            tree.SetImages(item, *images);
    }
    return item;
}

int ParamBuilder::ListInsertItem(int row, const std::string& text, int image, const void* data)
{
    ParamList& list = m_window.list();
    if (row < 0)
        return -1;
    ListRow r;
    r.cells[0] = QString::fromStdString(text);
    r.data = data;
    r.image = image;
    {
        DataAccess access(m_module);
        r.node = m_window.resolver().Find(access.list(), data);
    }
    return list.rows().insertRow(row, std::move(r));
}

void ParamBuilder::ListDeleteAllItems()
{
    ParamList& list = m_window.list();
    m_window.editor().hide();
    m_window.clearContext();
    list.rows().clearRows();
}

int ParamBuilder::ListInsertColumn(int column, const std::string& title, int format, int width, int subItem)
{
    ParamList& list = m_window.list();
    if (column < 0 || column >= kListSubItems)
        return -1;
    auto& table = m_columnTables[static_cast<std::size_t>(m_mode)];
    if (static_cast<int>(table.size()) <= column)
        table.resize(static_cast<std::size_t>(column) + 1, ListColumn{QString(), 0, 0, column});
    ListColumn& entry = table[static_cast<std::size_t>(column)];
    if (!title.empty())
        entry.title = QString::fromStdString(title);
    if (format >= 0)
        entry.format = format;
    if (width >= 0)
        entry.width = width;
    if (subItem >= 0)
        entry.subItem = std::min(subItem, kListSubItems - 1);
    const int index = list.rows().insertColumn(column, entry);
    list.header()->resizeSection(index, entry.width);
    return index;
}

bool ParamBuilder::ListDeleteColumn(int column)
{
    ParamList& list = m_window.list();
    return list.rows().removeColumn(column);
}
