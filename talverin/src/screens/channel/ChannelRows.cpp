#include "screens/channel/ChannelRows.h"

#include <model/ChannelProgram.h>
#include <platform/text.h>

#include <algorithm>
#include <utility>

namespace talverin {

const std::string ChannelRowList::s_empty;

ChannelRow LineToRow(std::string_view line)
{
    ChannelRow row;
    const auto first = line.find('\t');
    row.command = std::string(line.substr(0, first));
    if (first == std::string_view::npos)
        return row;
    const std::string_view rest = line.substr(first + 1);
    const auto second = rest.find('\t');
    row.data = std::string(rest.substr(0, second));
    if (second != std::string_view::npos)
        row.comment = std::string(rest.substr(second + 1));
    return row;
}

std::string RowToLine(const ChannelRow& row)
{
    std::string line = plat::Trim(row.command);
    line.push_back('\t');
    line += row.data;
    line.push_back('\t');
    line += row.comment;
    return line;
}

std::string RowToClipboardLine(int number, const ChannelRow& row)
{
    return std::to_string(number) + "\t" + RowToLine(row) + "\r\n";
}

bool RowReadsAsChannelHeader(const ChannelRow& row)
{
    return model::ReadsAsChannelHeader(model::CChannelProgram::DriverLine(RowToLine(row)));
}

int ChannelRowList::usedCount() const
{
    return hasTrailingBlank() ? size() - 1 : size();
}

const std::string& ChannelRowList::cell(int row, int column) const
{
    if (!valid(row))
        return s_empty;
    const ChannelRow& r = at(row);
    switch (column) {
    case kColumnCommand: return r.command;
    case kColumnData: return r.data;
    case kColumnComment: return r.comment;
    default: return s_empty;
    }
}

void ChannelRowList::assign(std::vector<ChannelRow> rows)
{
    if (m_observer)
        m_observer->beginReset();
    m_rows = std::move(rows);
    if (m_observer)
        m_observer->endReset();
}

void ChannelRowList::insert(int at, std::vector<ChannelRow> rows)
{
    if (rows.empty())
        return;
    at = std::clamp(at, 0, size());
    const int count = static_cast<int>(rows.size());
    if (m_observer)
        m_observer->beginInsertRows(at, at + count - 1);
    m_rows.insert(m_rows.begin() + at, std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    if (m_observer)
        m_observer->endInsertRows();
}

void ChannelRowList::insert(int at, ChannelRow row)
{
    std::vector<ChannelRow> one;
    one.push_back(std::move(row));
    insert(at, std::move(one));
}

void ChannelRowList::remove(int first, int count)
{
    if (first < 0 || count <= 0 || first >= size())
        return;
    count = std::min(count, size() - first);
    if (m_observer)
        m_observer->beginRemoveRows(first, first + count - 1);
    m_rows.erase(m_rows.begin() + first, m_rows.begin() + first + count);
    if (m_observer)
        m_observer->endRemoveRows();
}

void ChannelRowList::ensureTrailingBlank()
{
    if (!hasTrailingBlank())
        append(ChannelRow{});
}

void ChannelRowList::dropTrailingBlank()
{
    if (hasTrailingBlank())
        remove(size() - 1);
}

void ChannelRowList::setCell(int row, int column, std::string text)
{
    if (!valid(row))
        return;
    ChannelRow& r = m_rows[static_cast<std::size_t>(row)];
    std::string* target = column == kColumnCommand ? &r.command
                        : column == kColumnData    ? &r.data
                        : column == kColumnComment ? &r.comment
                                                   : nullptr;
    if (!target || *target == text)
        return;
    *target = std::move(text);
    if (m_observer)
        m_observer->rowsChanged(row, row, column, column);
}

void ChannelRowList::setRejected(int row, int rejected)
{
    if (!valid(row) || m_rows[static_cast<std::size_t>(row)].rejected == rejected)
        return;
    m_rows[static_cast<std::size_t>(row)].rejected = rejected;
    if (m_observer)
        m_observer->rowsChanged(row, row, 0, kColumnCount - 1);
}

} // namespace talverin
