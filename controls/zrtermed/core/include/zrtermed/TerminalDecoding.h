// How the terminal box shows the driver's bytes: line by line (CR, LF and CR LF end a line),
// each line as UTF-8 when it is valid UTF-8 and as Shift_JIS otherwise, as the program reads
// every other driver text. The bytes themselves never change: only the view decodes. A character
// whose bytes have not all come yet (at the very end of the text) is shown once the rest comes,
// never as a broken half.
//
// A view holds one paragraph per line, so a line start maps to a block, and positions inside a
// line map through the line's characters.
#pragma once

#include <QString>

#include <string_view>
#include <vector>

namespace zrtermed {

struct DecodedLine {
    QString text;
    // For every UTF-16 unit of text, the byte offset in the line where its character begins.
    std::vector<int> unitStarts;
    // Bytes the text stands for: the line less a character still incomplete at its end.
    int shownBytes = 0;
};

// One line's bytes (no line end); `last`: nothing follows yet, so an incomplete character at the
// end is held back instead of shown as a replacement.
DecodedLine DecodeTerminalLine(std::string_view line, bool last);

// The view text of text[from, end): from must be a line start; every line end (CR LF once) is
// one QChar::ParagraphSeparator.
QString TerminalViewText(std::string_view text, int from = 0);

// The start of the line that holds text position `index` (a CR LF pair belongs to its line).
int TerminalLineStart(std::string_view text, int index);
// The number of line ends (CR LF once) before `index`, i.e. the view block of a line start.
int TerminalLineNumber(std::string_view text, int index);
// The end of the line that starts at `start` (the position of its CR or LF, or the text's end).
int TerminalLineEnd(std::string_view text, int start);

// A text position as the offset inside its view block, and back; both walk one line only.
int TerminalViewColumn(std::string_view text, int index);
// The text position of view column `column` in the line starting at `start`.
int TerminalTextPosition(std::string_view text, int start, int column);

} // namespace zrtermed
