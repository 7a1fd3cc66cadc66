#include "screens/channel/ChannelRowModel.h"

#include "screens/channel/ChannelMessages.h"

namespace talverin {

ChannelRowModel::ChannelRowModel(ChannelRowList& rows, QObject* parent) : QAbstractTableModel(parent), m_rows(rows)
{
    m_rows.setObserver(this);
}

ChannelRowModel::~ChannelRowModel()
{
    m_rows.setObserver(nullptr);
}

int ChannelRowModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int ChannelRowModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ChannelRowModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_rows.valid(index.row()))
        return {};
    if (role == RejectedRole)
        return m_rows.at(index.row()).rejected;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case kColumnNumber: return QString::number(index.row());
    case kColumnCommand:
    case kColumnData:
    case kColumnComment: return QString::fromStdString(m_rows.cell(index.row(), index.column()));
    default: return QString();
    }
}

QVariant ChannelRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return channel_messages::ColumnTitle(section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(section == kColumnMarker ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags ChannelRowModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ChannelRowModel::beginInsertRows(int first, int last) { QAbstractTableModel::beginInsertRows({}, first, last); }
void ChannelRowModel::endInsertRows() { QAbstractTableModel::endInsertRows(); }
void ChannelRowModel::beginRemoveRows(int first, int last) { QAbstractTableModel::beginRemoveRows({}, first, last); }
void ChannelRowModel::endRemoveRows() { QAbstractTableModel::endRemoveRows(); }
void ChannelRowModel::beginReset() { beginResetModel(); }
void ChannelRowModel::endReset() { endResetModel(); }

void ChannelRowModel::rowsChanged(int first, int last, int firstColumn, int lastColumn)
{
    emit dataChanged(index(first, firstColumn), index(last, lastColumn));
}

void ChannelRowModel::repaintRow(int row)
{
    if (m_rows.valid(row))
        emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
}

} // namespace talverin
