// The text rules of the oscilloscope screen's edits and read-outs: numbers shown with one decimal,
// the scope colours of the settings file, the SCALE and trigger level normalisation, the vertical
// read-outs, and the alignments the exported settings panel uses. Plain functions on texts.
#pragma once

#include <platform/types.h>

#include <string>
#include <string_view>

namespace talverin {

// A number shown with one decimal: "%.3f" cut one digit after the point (49.875 -> "49.8"; no
// rounding, as the screen always showed them).
std::string OneDecimal(double value);
// The first `decimals` digits after the point kept, the rest cut; 0 keeps the point itself
// ("40.00", 0 -> "40."). A text without a point is returned unchanged.
std::string CutDecimals(std::string_view text, int decimals);

// "r,g,b" as a colour (COLORREF); a value that does not split into three fields gives 64,64,64.
// Each field is read as the C library reads a number and kept to 0..255.
plat::COLORREF ParseColorTriple(std::string_view text);

// The SCALE edits' text: trimmed, then leading "00" pairs removed ("000050" -> "50").
std::string NormaliseScaleText(std::string_view text);
// The trigger level edit's text: trimmed, the first character dropped while the text begins with
// "00" (one leading zero stays); a text that is no number becomes "0" (an empty text is kept).
std::string NormaliseLevelText(std::string_view text);

// How a level is fitted to the trigger channel's parameter.
struct LevelFormat {
    bool boolean = false; // a yes/no parameter: the signed integer value
    int decimals = 0;     // digits after the point
};
// A boolean gives the text's integer value; with decimals (or a text with a point) a point and
// zeros are added and the text cut to exactly the decimals (no point when there are none);
// otherwise the text stays.
std::string FitLevelText(std::string_view text, const LevelFormat& format);

// The number of digits of a channel factor (1 -> 1, 10 -> 2, 100 -> 3).
int FactorDigits(long long factor);
// A vertical read-out: d + 1 decimals cut after d - 1, d the digits of the factor; a factor of 1
// leaves the text ending in its point ("40.").
std::string ReadoutText(double value, long long factor);

// Panel alignments. Right or left in n: the trimmed text padded to n; a text whose untrimmed
// length exceeds n stays as it was. Centred in n: ceil(d / 2) blanks before the trimmed text,
// blanks after it, cut to n (d = n - its length); a trimmed text of n or more stays uncut.
std::string AlignRight(std::string_view text, std::size_t n);
std::string AlignLeft(std::string_view text, std::size_t n);
std::string AlignCentre(std::string_view text, std::size_t n);

} // namespace talverin
