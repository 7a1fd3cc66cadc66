// The start screen's rules as plain functions: which entries are headings, the colours of a row,
// the screen command a choice opens, and the background bitmap, which is checked before it is
// used (a bad or cut-off file counts as no bitmap).
#pragma once

#include <platform/types.h>

#include <QImage>
#include <QString>

#include <string_view>

namespace talverin {

// "[...]", "<...>", or a text with both 『 and 』 or both 【 and 】 (UTF-8).
bool IsStartMenuHeading(std::string_view text);

struct StartRowColors {
    plat::COLORREF outline;
    plat::COLORREF text;
};
// Checked and hot: 0x8080FF on 0x0000FF; checked: black on 0x0000FF; hot: 0x0000FF on black;
// other: black on white (outline, text).
StartRowColors StartRowColorsFor(bool checked, bool hot);

// The screen command of a choice: 100 parameters 32777, 200 channel programs 32778, 300 I/O
// 32776, 400 oscilloscope 32775, 500 terminal 32779; 0 for any other.
plat::UINT StartChoiceCommand(plat::LPARAM choice);

// The start bitmap: a Windows bitmap file whose headers are sound (the signature, a header size
// the format knows, a positive width, a height, one plane, a known bit depth, the pixel bits inside
// the file and, when uncompressed, all rows present) and which Qt reads; a null image otherwise.
// Images larger than 4096 pixels either way are refused.
QImage LoadStartBitmap(const QString& path);

} // namespace talverin
