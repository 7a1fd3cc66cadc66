// The rows and columns of the parameter list: each row holds up to eight cell texts (by subitem),
// its node reference and the address it was given; each column shows one subitem.
#pragma once

#include <zrparam/NodeAccess.h>

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <functional>
#include <unordered_map>
#include <vector>

inline constexpr int kListSubItems = 8;

struct ListColumn {
    QString title;
    int format = 0; // LVCFMT_LEFT 0, LVCFMT_RIGHT 1, LVCFMT_CENTER 2
    int width = 0;
    int subItem = 0;
};

struct ListRow {
    std::array<QString, kListSubItems> cells;
    zrparam::NodeRef node;
    const void* data = nullptr; // the address given with the row, live node or not
    int image = -1;
};

class ParamListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const ListRow* row(int index) const;
    int rows() const { return static_cast<int>(m_rows.size()); }
    const std::vector<ListColumn>& columns() const { return m_columns; }
    // The text a column shows in a row ("" outside the list).
    QString cell(int row, int column) const;
    QString subItem(int row, int subItem) const;
    // The first row given that address; -1 when none.
    int rowOfData(const void* data) const;

    // Inserts at index (clamped to the end); returns the row's index.
    int insertRow(int index, ListRow row);
    // Every row anew, made by fill into the (emptied) row store, which keeps its room.
    void fill(const std::function<void(std::vector<ListRow>&)>& make);
    void clearRows();
    // Sets a subitem's text; false outside the rows or subitems.
    bool setSubItem(int row, int subItem, const QString& text);
    // Forgets every row's node (the rows stay, showing their texts).
    void dropNodes();

    int insertColumn(int index, const ListColumn& column);
    bool removeColumn(int index);
    void clearColumns();
    void setColumnTitle(int index, const QString& title);

private:
    std::vector<ListRow> m_rows;
    // Rows by address, made when first asked after the rows changed: a group's commands find each
    // row without a walk over the list.
    mutable std::unordered_map<const void*, int> m_rowOfData;
    mutable bool m_rowOfDataValid = false;
    std::vector<ListColumn> m_columns;
};
