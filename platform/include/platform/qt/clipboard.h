// Clipboard text for the program and the controls (the system clipboard; GUI thread only).
// Text is UTF-8 in and out. Pasted bytes that are not valid UTF-8 are read as Shift_JIS, as files
// are (text.h DecodeText), so Shift_JIS text copied from another application reads.
// Line ends are passed through as they are.
#pragma once

#include <string>
#include <string_view>

namespace plat::qt {

// Replaces the clipboard's contents with the text (as text/plain, UTF-8). False without a GUI
// application or clipboard.
bool SetClipboardText(std::string_view utf8);
// The clipboard's text as UTF-8; empty when it holds none.
std::string GetClipboardText();
// Whether the clipboard holds text (a Paste item's update rule).
bool ClipboardHasText();

} // namespace plat::qt
