// What the channel editor does to the list of the current channel, without a widget: listing a
// program and storing it back, committing a cell, inserting and deleting lines, pasting, importing
// and dropping rows within the line limit, the driver's marks on written rows, and the clipboard
// texts. The view owns one, shows its rows through a Qt model, and drives the editor and the
// selection around it.
#pragma once

#include "screens/channel/ChannelLineBudget.h"
#include "screens/channel/ChannelRows.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace model {
class CChannelProgram;
}

namespace talverin {

struct PasteText;

class ChannelListCore {
public:
    // The label of the parameter whose command name is exactly `command`; empty when none.
    using LabelLookup = std::function<std::string(std::string_view command)>;
    // The tally over the store's channels, counting `currentUsedRows` for the current channel
    // when not negative (ChannelLineBudget::Tally under the data mutex).
    using TallySource = std::function<LineTally(int currentUsedRows)>;

    ChannelListCore();
    ChannelListCore(const ChannelListCore&) = delete;
    ChannelListCore& operator=(const ChannelListCore&) = delete;

    void setLabelLookup(LabelLookup lookup) { m_labels = std::move(lookup); }
    void setTallySource(TallySource source) { m_tally = std::move(source); }
    // Called whenever an edit changes the channel (the document becomes modified).
    void setDocumentModified(std::function<void()> onModified) { m_documentModified = std::move(onModified); }

    ChannelRowList& rows() { return m_rows; }
    const ChannelRowList& rows() const { return m_rows; }
    ChannelLineBudget& budget() { return m_budget; }
    const ChannelLineBudget& budget() const { return m_budget; }
    int remaining() const { return m_budget.remaining(); }

    bool listModified() const { return m_listModified; }
    void setListModified(bool modified) { m_listModified = modified; }
    int currentRow() const { return m_currentRow; }
    void setCurrentRow(int row) { m_currentRow = row; }
    int editColumn() const { return m_editColumn; }
    void setEditColumn(int column) { m_editColumn = column == kColumnData ? kColumnData : kColumnCommand; }

    void RecountRemaining() { m_budget.Recount(); }
    void ConsumeLines(int n) { m_budget.ConsumeLines(n); }

    // The record's lines as rows (an empty comment becomes the command's label), a blank row for
    // a new line while lines remain, the cursor on row 0 in the command column, unmodified.
    void List(const model::CChannelProgram& program);
    // The used rows become the record's lines (read state their count, write state 1: to be
    // written); the list is no longer modified. Take the data mutex around it.
    void Store(model::CChannelProgram& program);

    struct CommitResult {
        bool changed = false;  // the cell took the text
        bool appended = false; // the blank last row became a line: a new blank row follows
        bool refused = false;  // the row would read as a channel header: the cell keeps its text
    };
    // The editor's text, trimmed, into the cell. A new command brings its label into the comment.
    // Only when the blank last row becomes used by it is a line taken (and a blank row appended
    // while lines remain): committing nothing into it adds no empty line.
    CommitResult Commit(int row, int column, std::string_view text);

    // What a paste, an import or a drop added.
    struct AddResult {
        int added = 0;      // rows that went in
        int left = 0;       // rows left out for want of lines
        int headerRow = -1; // a row that would read as a channel header would have been this one:
                            // nothing went in
    };

    // Insert line: lines remain and the current row has command or data text.
    bool CanInsertLine() const;
    // A blank row at the current row, one line taken (the blank last row goes with the last
    // line). False when not allowed.
    bool InsertLine();
    // Delete line: some selected row is used.
    bool CanDelete(const std::vector<int>& selected) const;
    // Deletes the selected used rows (never the blank last row), each giving its line back; the
    // current row follows the rows it stood on; a blank last row again while lines remain.
    // Returns the number deleted.
    int DeleteLines(const std::vector<int>& selected);

    // Pastes parsed clipboard rows within the lines left: a whole channel replaces the list (its
    // rows' lines given back first), other rows go in at the current row. The current row becomes
    // the one after them. Nothing is pasted when no lines remain, or when a row reads as a
    // channel header.
    AddResult Paste(const PasteText& paste);
    // Imported rows go in after the last used row while lines remain; the current row keeps its
    // line. `next` gives the rows one by one (false: no more). None goes in when one of them
    // reads as a channel header.
    AddResult Import(const std::function<bool(ChannelRow&)>& next);
    // One row (a dragged parameter) after the last used row, while lines remain.
    AddResult InsertAfterUsed(ChannelRow row);

    // The driver's reply to the written channel, piece by piece: a piece without '?' is the next
    // line taken (blank rows passed over), marked accepted; a '?' piece marks the line before it
    // rejected. Marks outside the rows are ignored.
    void MarkRows(std::string_view reply);
    // Deletes the lines of the record whose row is marked rejected or which are blank, walking
    // lines and rows together. True when any went. Take the data mutex around it.
    bool DropRejectedLines(model::CChannelProgram& program) const;

    // The clipboard texts: the selected used rows top to bottom; the whole channel after its
    // ";CH=<n>" line.
    std::string CopyText(const std::vector<int>& selected) const;
    std::string ChannelCopyText(int channel) const;

private:
    std::string label(std::string_view command) const;
    void modified();
    void clampCurrentRow();

    ChannelRowList m_rows;
    ChannelLineBudget m_budget;
    LabelLookup m_labels;
    TallySource m_tally;
    std::function<void()> m_documentModified;
    bool m_listModified = false;
    int m_currentRow = 0;
    int m_editColumn = kColumnCommand;
};

} // namespace talverin
