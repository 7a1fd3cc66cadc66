// The text forms the channel editor reads and writes: cell input filtering, the driver's "TC"
// reply, its verdict on a written channel, the clipboard block, imported text lines, the channel
// box, and the command tags. Plain functions of their input.
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace talverin {

struct ChannelRow;

// Keeps only the characters 0x21-0x7E (blanks, control and non-ASCII characters go). Returns the
// number of characters removed; with a cursor, it is moved back by those removed before it.
int StripBlanks(QString& text, int* cursor = nullptr);
// The same on UTF-8 text (a multi-byte character counts as one).
int StripBlanks(std::string& text);

// Cut at every CR: consecutive CRs give empty pieces, an empty text gives none.
std::vector<std::string_view> CutAtCr(std::string_view text);

// The text a channel's "TC" reply stands for: "CH<n>" CR, then for every piece of the reply the
// part behind its first '>' (the whole piece without one) and a CR; pieces that end up empty are
// left out. CChannelProgram::Parse reads it.
std::string ReadReplyToProgramText(int channel, std::string_view reply);
// The driver refused a written channel: its reply holds a '?', or a line of the program was empty
// (left out of the text, so the driver holds less than the user wrote).
bool IsChannelWriteRejected(std::string_view reply, int emptyLineFlag);
// How many of a channel text's `lines` the driver has taken, from its reply so far: one
// CR-ended piece without '?' per line answered (the closing empty line among them).
int WrittenLineCount(std::string_view replySoFar, int lines);

// The rows of a paste: `replace` when the text is a whole channel (its first line begins with
// ";CH="), then the rows to insert (the first line is one of them only when not replacing). Every
// line is cut at tabs: the row number (ignored), command, data, comment; command and data lose
// what StripBlanks removes, and a line left with neither is no row.
struct PasteText {
    bool replace = false;
    std::vector<ChannelRow> rows;
};
PasteText ParsePasteText(std::string_view clipboard);
// The clipboard holds at least one line.
bool HasPasteLine(std::string_view clipboard);

// One imported text line: trimmed at the left, upper-cased and stripped, then cut before its first
// character of "0123456789/" into command (trimmed) and data (trimmed); no such character: all
// command. False (no row) when the command is empty.
bool SplitImportLine(std::string_view line, ChannelRow& row);
// A dropped file name the import takes: it ends in ".txt" in any case.
bool IsImportFileName(std::string_view name);
// Dragged text a parameter definition line: its first comma-separated field holds 'C'.
bool IsParameterDragText(std::string_view text);

// The channel box's typed text: digits only, not empty, and a number below itemCount; else -1.
int ParseChannelNumber(std::string_view text, int itemCount);

// Command tags are kind + channel.
enum ChannelCommandKind : int {
    kKindRead = 0,        // "TC<n>"
    kKindWrite = 1000,    // the channel text "CH<n>" ...
    kKindClear = 2000,    // "CC<n>"
    kKindInsert = 3000,   // "CI<n>"
    kKindDelete = 4000,   // "CD<n>"
    kKindClearAll = 5000, // "CC/AL"
};
struct ChannelTag {
    int kind = 0;
    int channel = 0;
};
inline ChannelTag SplitChannelTag(std::intptr_t tag)
{
    const int channel = static_cast<int>(tag % 1000);
    return ChannelTag{static_cast<int>(tag - channel), channel};
}
// The command text of a kind for a channel ("TC5\r", "CC5\r", "CI5\r", "CD5\r", "CC/AL\r").
std::string ChannelCommandText(int kind, int channel);

} // namespace talverin
