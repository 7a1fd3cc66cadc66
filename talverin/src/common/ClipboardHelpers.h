// Clipboard and received-data helpers of the terminal, channel program, upload and oscilloscope
// windows.
#pragma once

#include <string>
#include <string_view>

namespace talverin {

// Null: empties the clipboard (1, or 0 when there is none). An empty text: 0, the clipboard left
// as it was. Otherwise the text becomes the clipboard's text: 1, or 0 when it cannot be set.
int CopyTextToClipboard(const char* text);
// The clipboard's text; empty when it holds none.
std::string GetClipboardText();

// Cuts a received data text at the data header: the terminator is the header with every blank
// removed and every line feed turned into a carriage return. `length` is the text's length without
// its terminating NUL. Not found: 0, nothing changed. Found at offset d: without a prefix buffer,
// d (to size one: it needs d + 1 bytes); with one, d + 1, the first d bytes copied into it (NUL
// ended), the text from the terminator on moved to the front of `text` and NUL ended, and
// `length` := length - d.
unsigned SplitAtTerminator(std::string_view dataHeader, char* text, unsigned& length, char* prefix);

} // namespace talverin
