#include "ParamListModel.h"

#include <algorithm>

int ParamListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows();
}

int ParamListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ParamListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return cell(index.row(), index.column());
}

QVariant ParamListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(m_columns.size()))
        return {};
    const ListColumn& c = m_columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return c.title;
    if (role == Qt::TextAlignmentRole)
        return int(c.format == 1 ? Qt::AlignRight : c.format == 2 ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter;
    return {};
}

Qt::ItemFlags ParamListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled : Qt::NoItemFlags;
}

const ListRow* ParamListModel::row(int index) const
{
    return index >= 0 && index < rows() ? &m_rows[static_cast<std::size_t>(index)] : nullptr;
}

QString ParamListModel::subItem(int r, int sub) const
{
    const ListRow* lr = row(r);
    return lr && sub >= 0 && sub < kListSubItems ? lr->cells[static_cast<std::size_t>(sub)] : QString();
}

QString ParamListModel::cell(int r, int column) const
{
    if (column < 0 || column >= static_cast<int>(m_columns.size()))
        return {};
    return subItem(r, m_columns[static_cast<std::size_t>(column)].subItem);
}

int ParamListModel::rowOfData(const void* data) const
{
    if (!m_rowOfDataValid) {
        m_rowOfData.clear();
        m_rowOfData.reserve(m_rows.size());
        for (std::size_t r = 0; r < m_rows.size(); ++r)
            m_rowOfData.try_emplace(m_rows[r].data, static_cast<int>(r));
        m_rowOfDataValid = true;
    }
    const auto found = m_rowOfData.find(data);
    return found == m_rowOfData.end() ? -1 : found->second;
}

int ParamListModel::insertRow(int index, ListRow row)
{
    index = std::clamp(index, 0, rows());
    m_rowOfDataValid = false;
    beginInsertRows({}, index, index);
    m_rows.insert(m_rows.begin() + index, std::move(row));
    endInsertRows();
    return index;
}

void ParamListModel::fill(const std::function<void(std::vector<ListRow>&)>& make)
{
    beginResetModel();
    m_rowOfDataValid = false;
    m_rows.clear();
    make(m_rows);
    endResetModel();
}

void ParamListModel::clearRows()
{
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rowOfDataValid = false;
    m_rows.clear();
    endResetModel();
}

bool ParamListModel::setSubItem(int r, int sub, const QString& text)
{
    if (r < 0 || r >= rows() || sub < 0 || sub >= kListSubItems)
        return false;
    QString& cellText = m_rows[static_cast<std::size_t>(r)].cells[static_cast<std::size_t>(sub)];
    if (cellText == text)
        return true;
    cellText = text;
    for (int c = 0; c < static_cast<int>(m_columns.size()); ++c) {
        if (m_columns[static_cast<std::size_t>(c)].subItem == sub)
            emit dataChanged(index(r, c), index(r, c));
    }
    return true;
}

void ParamListModel::dropNodes()
{
    for (ListRow& r : m_rows)
        r.node = {};
}

int ParamListModel::insertColumn(int index, const ListColumn& column)
{
    index = std::clamp(index, 0, static_cast<int>(m_columns.size()));
    beginInsertColumns({}, index, index);
    m_columns.insert(m_columns.begin() + index, column);
    endInsertColumns();
    return index;
}

bool ParamListModel::removeColumn(int index)
{
    if (index < 0 || index >= static_cast<int>(m_columns.size()))
        return false;
    beginRemoveColumns({}, index, index);
    m_columns.erase(m_columns.begin() + index);
    endRemoveColumns();
    return true;
}

void ParamListModel::clearColumns()
{
    if (m_columns.empty())
        return;
    beginResetModel();
    m_columns.clear();
    endResetModel();
}

void ParamListModel::setColumnTitle(int index, const QString& title)
{
    if (index < 0 || index >= static_cast<int>(m_columns.size()))
        return;
    m_columns[static_cast<std::size_t>(index)].title = title;
    emit headerDataChanged(Qt::Horizontal, index, index);
}
