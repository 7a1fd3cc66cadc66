// The CSV export of the oscilloscope: the text of the driver's last data reply, its line ends made
// uniform, each line written with CR LF.
#pragma once

#include <string>
#include <string_view>

namespace talverin {

// In place (the stored reply itself): CR LF, then LF CR, then CR CR become LF; LF LF becomes LF
// until none is left; then every CR left becomes LF.
void NormaliseCaptureReply(std::string& text);
// The file's bytes: every line of the normalised text that is not empty, each ended by CR LF
// (the last one too: the stored reply lacks its final line end).
std::string CsvFileBytes(std::string_view normalised);

} // namespace talverin
