#include "screens/channel/ChannelListCore.h"

#include "screens/channel/ChannelText.h"

#include <model/ChannelProgram.h>
#include <platform/text.h>

#include <algorithm>

namespace talverin {

namespace {

// Sorted, unique, inside 0..limit-1.
std::vector<int> normalised(std::vector<int> rows, int limit)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [limit](int r) { return r < 0 || r >= limit; }), rows.end());
    return rows;
}

// The index of the first row that would read as a channel header, -1 when none does.
int firstHeader(const std::vector<ChannelRow>& rows)
{
    const auto found = std::find_if(rows.begin(), rows.end(), RowReadsAsChannelHeader);
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

} // namespace

ChannelListCore::ChannelListCore()
{
    m_budget.setSource([this] { return m_tally ? m_tally(m_listModified ? m_rows.usedCount() : -1) : LineTally{}; });
}

std::string ChannelListCore::label(std::string_view command) const
{
    return m_labels ? m_labels(command) : std::string();
}

void ChannelListCore::modified()
{
    m_listModified = true;
    if (m_documentModified)
        m_documentModified();
}

void ChannelListCore::clampCurrentRow()
{
    m_currentRow = std::clamp(m_currentRow, 0, std::max(0, m_rows.size() - 1));
}

void ChannelListCore::List(const model::CChannelProgram& program)
{
    m_listModified = false;
    std::vector<ChannelRow> rows;
    rows.reserve(program.m_lines.size() + 1);
    for (const auto& line : program.m_lines) {
        ChannelRow row = LineToRow(line.text);
        if (row.comment.empty())
            row.comment = label(row.command);
        rows.push_back(std::move(row));
    }
    m_rows.assign(std::move(rows));
    m_budget.Recount();
    if (m_budget.remaining() > 0)
        m_rows.append(ChannelRow{});
    m_currentRow = 0;
    m_editColumn = kColumnCommand;
}

void ChannelListCore::Store(model::CChannelProgram& program)
{
    program.Clear();
    const int used = m_rows.usedCount();
    for (int row = 0; row < used; ++row)
        program.AddLine(RowToLine(m_rows.at(row)));
    program.m_lineCount = used;
    program.m_currentLine = 1;
    m_listModified = false;
}

ChannelListCore::CommitResult ChannelListCore::Commit(int row, int column, std::string_view text)
{
    CommitResult result;
    if (!m_rows.valid(row) || (column != kColumnCommand && column != kColumnData))
        return result;
    std::string trimmed = plat::Trim(text);
    if (trimmed == m_rows.cell(row, column))
        return result;
    ChannelRow changed = m_rows.at(row);
    (column == kColumnCommand ? changed.command : changed.data) = trimmed;
    if (RowReadsAsChannelHeader(changed)) {
        result.refused = true;
        return result;
    }
    const bool wasBlankLast = row == m_rows.size() - 1 && m_rows.at(row).IsBlank();
    if (column == kColumnCommand)
        m_rows.setCell(row, kColumnComment, label(trimmed));
    m_rows.setCell(row, column, std::move(trimmed));
    result.changed = true;
    modified();
    if (wasBlankLast && !m_rows.at(row).IsBlank()) {
        m_budget.ConsumeLines(1);
        if (m_budget.remaining() > 0) {
            m_rows.append(ChannelRow{});
            result.appended = true;
        }
    }
    return result;
}

bool ChannelListCore::CanInsertLine() const
{
    return m_budget.remaining() > 0 && m_rows.valid(m_currentRow) && !m_rows.at(m_currentRow).IsBlank();
}

bool ChannelListCore::InsertLine()
{
    if (!CanInsertLine())
        return false;
    m_rows.insert(m_currentRow, ChannelRow{});
    modified();
    m_budget.ConsumeLines(1);
    // No blank row to type into once the last line is taken.
    if (m_budget.remaining() <= 0)
        m_rows.dropTrailingBlank();
    return true;
}

bool ChannelListCore::CanDelete(const std::vector<int>& selected) const
{
    return std::any_of(selected.begin(), selected.end(), [this](int r) { return m_rows.isUsed(r); });
}

int ChannelListCore::DeleteLines(const std::vector<int>& selected)
{
    const std::vector<int> doomed = normalised(selected, m_rows.usedCount());
    if (doomed.empty())
        return 0;
    const int above = static_cast<int>(std::lower_bound(doomed.begin(), doomed.end(), m_currentRow) - doomed.begin());
    // Bottom-up, one run of neighbouring rows at a time.
    for (std::size_t end = doomed.size(); end > 0;) {
        std::size_t begin = end - 1;
        while (begin > 0 && doomed[begin - 1] == doomed[begin] - 1)
            --begin;
        m_rows.remove(doomed[begin], static_cast<int>(end - begin));
        end = begin;
    }
    modified();
    const int count = static_cast<int>(doomed.size());
    m_budget.ConsumeLines(-count);
    if (m_budget.remaining() > 0)
        m_rows.ensureTrailingBlank();
    m_currentRow -= above;
    clampCurrentRow();
    return count;
}

ChannelListCore::AddResult ChannelListCore::Paste(const PasteText& paste)
{
    AddResult result;
    const int count = static_cast<int>(paste.rows.size());
    if (m_budget.remaining() <= 0) {
        result.left = count;
        return result;
    }
    const int at = paste.replace ? 0 : std::clamp(m_currentRow, 0, m_rows.size());
    if (const int header = firstHeader(paste.rows); header >= 0) {
        result.headerRow = at + header;
        return result;
    }
    if (paste.replace) {
        const int given = m_rows.usedCount();
        m_rows.clear();
        modified();
        m_budget.ConsumeLines(-given);
    }
    const int take = std::min<int>(m_budget.remaining(), count);
    if (take > 0) {
        m_rows.insert(at, std::vector<ChannelRow>(paste.rows.begin(), paste.rows.begin() + take));
        modified();
        m_budget.ConsumeLines(take);
    }
    if (paste.replace && m_budget.remaining() > 0)
        m_rows.ensureTrailingBlank();
    if (m_budget.remaining() <= 0)
        m_rows.dropTrailingBlank();
    m_currentRow = at + take;
    clampCurrentRow();
    result.added = take;
    result.left = count - take;
    return result;
}

ChannelListCore::AddResult ChannelListCore::Import(const std::function<bool(ChannelRow&)>& next)
{
    AddResult result;
    std::vector<ChannelRow> rows;
    ChannelRow row;
    while (static_cast<int>(rows.size()) < m_budget.remaining() && next(row)) {
        row.rejected = 0;
        if (row.comment.empty())
            row.comment = label(row.command);
        rows.push_back(std::move(row));
        row = ChannelRow{};
    }
    const int count = static_cast<int>(rows.size());
    if (const int header = firstHeader(rows); header >= 0) {
        result.headerRow = m_rows.usedCount() + header;
        return result;
    }
    if (count > 0) {
        const int at = m_rows.usedCount();
        m_rows.insert(at, std::move(rows));
        modified();
        m_budget.ConsumeLines(count);
        if (at <= m_currentRow)
            m_currentRow += count;
    }
    if (m_budget.remaining() <= 0)
        m_rows.dropTrailingBlank();
    clampCurrentRow();
    result.added = count;
    return result;
}

ChannelListCore::AddResult ChannelListCore::InsertAfterUsed(ChannelRow row)
{
    bool taken = false;
    return Import([&](ChannelRow& out) {
        if (taken)
            return false;
        out = std::move(row);
        taken = true;
        return true;
    });
}

void ChannelListCore::MarkRows(std::string_view reply)
{
    const int last = m_rows.size() - 1;
    int index = -1;
    for (const std::string_view piece : CutAtCr(reply)) {
        if (piece.find('?') == std::string_view::npos) {
            ++index;
            while (index < last && m_rows.valid(index) && m_rows.at(index).IsBlank())
                ++index;
            m_rows.setRejected(index, 0);
        } else {
            m_rows.setRejected(index, 1);
        }
    }
}

bool ChannelListCore::DropRejectedLines(model::CChannelProgram& program) const
{
    bool dropped = false;
    std::vector<model::CChannelProgram::Line> kept;
    kept.reserve(program.m_lines.size());
    for (std::size_t i = 0; i < program.m_lines.size(); ++i) {
        const int row = static_cast<int>(i);
        const bool walked = row < m_rows.size();
        if (walked && (m_rows.at(row).rejected == 1 || plat::TrimRightView(program.m_lines[i].text).empty())) {
            dropped = true;
            continue;
        }
        kept.push_back(std::move(program.m_lines[i]));
    }
    program.m_lines = std::move(kept);
    return dropped;
}

std::string ChannelListCore::CopyText(const std::vector<int>& selected) const
{
    std::string text;
    for (const int row : normalised(selected, m_rows.usedCount()))
        text += RowToClipboardLine(row, m_rows.at(row));
    return text;
}

std::string ChannelListCore::ChannelCopyText(int channel) const
{
    std::string text = ";CH=" + std::to_string(channel) + "\r\n";
    for (int row = 0; row < m_rows.usedCount(); ++row)
        text += RowToClipboardLine(row, m_rows.at(row));
    return text;
}

} // namespace talverin
