// The rows of the channel editor's list: one program line each, cut into command, data and
// comment, with the driver's verdict on it. Row numbers are the row's position (from 0), so they
// never need renumbering. The list tells an observer before and after every change, which is how
// the Qt model above it keeps its views in step; the list itself knows nothing of widgets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talverin {

struct ChannelRow {
    std::string command;
    std::string data;
    std::string comment;
    int rejected = 0; // 1: the driver refused this line

    // Neither command nor data text: the row a new line is typed into.
    bool IsBlank() const { return command.empty() && data.empty(); }
    bool operator==(const ChannelRow&) const = default;
};

// The columns of the list, in order.
enum ChannelColumn : int {
    kColumnMarker = 0,
    kColumnNumber = 1,
    kColumnCommand = 2,
    kColumnData = 3,
    kColumnComment = 4,
    kColumnCount = 5,
};

// A stored line "command TAB data TAB comment" (fewer tabs: the missing fields are empty; tabs
// past the second belong to the comment).
ChannelRow LineToRow(std::string_view line);
// The stored form: the command trimmed at both ends, TAB, data, TAB, comment.
std::string RowToLine(const ChannelRow& row);
// The clipboard form: number, TAB, the stored form, CR LF.
std::string RowToClipboardLine(int number, const ChannelRow& row);
// The row, as the driver and the document get it, is what the document reader takes for the
// start of a channel's block ("CH52"): it cannot be stored.
bool RowReadsAsChannelHeader(const ChannelRow& row);

class ChannelRowObserver {
public:
    virtual ~ChannelRowObserver() = default;
    virtual void beginInsertRows(int /*first*/, int /*last*/) {}
    virtual void endInsertRows() {}
    virtual void beginRemoveRows(int /*first*/, int /*last*/) {}
    virtual void endRemoveRows() {}
    virtual void beginReset() {}
    virtual void endReset() {}
    // Rows first..last changed in the given columns (first..last column).
    virtual void rowsChanged(int /*first*/, int /*last*/, int /*firstColumn*/, int /*lastColumn*/) {}
};

class ChannelRowList {
public:
    ChannelRowList() = default;
    ChannelRowList(const ChannelRowList&) = delete;
    ChannelRowList& operator=(const ChannelRowList&) = delete;

    void setObserver(ChannelRowObserver* observer) { m_observer = observer; }

    int size() const { return static_cast<int>(m_rows.size()); }
    bool empty() const { return m_rows.empty(); }
    const ChannelRow& at(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    const std::vector<ChannelRow>& rows() const { return m_rows; }
    bool valid(int row) const { return row >= 0 && row < size(); }

    // Used rows are all rows but a last row that is blank.
    int usedCount() const;
    bool isUsed(int row) const { return row >= 0 && row < usedCount(); }
    // The list ends with a blank row.
    bool hasTrailingBlank() const { return !m_rows.empty() && m_rows.back().IsBlank(); }

    // The cell's text (command, data or comment column); empty for other columns.
    const std::string& cell(int row, int column) const;

    void assign(std::vector<ChannelRow> rows);
    void clear() { assign({}); }
    void insert(int at, std::vector<ChannelRow> rows);
    void insert(int at, ChannelRow row);
    void append(ChannelRow row) { insert(size(), std::move(row)); }
    void remove(int first, int count = 1);
    // A blank row at the end when there is none.
    void ensureTrailingBlank();
    // Removes a trailing blank row when there is one.
    void dropTrailingBlank();
    void setCell(int row, int column, std::string text);
    void setRejected(int row, int rejected);

private:
    std::vector<ChannelRow> m_rows;
    ChannelRowObserver* m_observer = nullptr;
    static const std::string s_empty;
};

} // namespace talverin
