// The Qt model of the channel editor's list: the core's rows as five columns (marker, number,
// command, data, comment), the rejected flag under Qt::UserRole. Read-only for the views: every
// change goes through the core's list, which tells this model.
#pragma once

#include "screens/channel/ChannelRows.h"

#include <QAbstractTableModel>

namespace talverin {

class ChannelRowModel : public QAbstractTableModel, public ChannelRowObserver {
    Q_OBJECT
public:
    static constexpr int RejectedRole = Qt::UserRole;

    explicit ChannelRowModel(ChannelRowList& rows, QObject* parent = nullptr);
    ~ChannelRowModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // ChannelRowObserver
    void beginInsertRows(int first, int last) override;
    void endInsertRows() override;
    void beginRemoveRows(int first, int last) override;
    void endRemoveRows() override;
    void beginReset() override;
    void endReset() override;
    void rowsChanged(int first, int last, int firstColumn, int lastColumn) override;

    // The row is repainted (its marker or edit cell moved).
    void repaintRow(int row);

private:
    ChannelRowList& m_rows;
};

} // namespace talverin
