// The driver's capture data reply turned into sample rows: a header line, then one line per
// sample with the four channels' values separated by commas, an empty value for a channel that
// has none in that sample. Lines end with CR; line feeds are tolerated. Plain functions.
#pragma once

#include <model/OscilloData.h>

#include <string>
#include <string_view>
#include <vector>

namespace talverin {

struct CaptureRows {
    bool hasHeader = false;           // the reply holds a CR at all; without one nothing is parsed
    std::string header;               // the text before the first CR
};

// Rows a capture of sampleCount samples keeps at most: 110 % of it.
int CaptureCapacity(int sampleCount);

// Parses the reply into rows (cleared first; reserved for the capacity, never more stored). A
// later line without a comma is no row. Each of the four fields: one leading blank skipped; an
// empty field is a gap (model::kNoValue); any other is read as a decimal number up to the next
// comma (nothing numeric reads 0). Each line is cut at its CR or LF before its fields are read,
// so a short line never borrows values from the next one.
CaptureRows ParseCaptureRows(std::string_view reply, int sampleCount, std::vector<model::CaptureSample>& rows);

// The rows the screen keeps of `stored` by the data store's draw mode: mode 2 keeps whole
// divisions (sampleCount / 20 samples each) plus two samples, dropping the last m - 2 rows when
// m = stored mod the division is 3 or more; every other mode keeps all.
int KeptCaptureRows(int stored, int sampleCount, int drawMode);

// How far a data reply has come, in percent: its whole lines against the header and the
// sampleCount + 1 rows the record resolution asks for; at most 99 until the reply is complete.
int DataReplyPercent(std::string_view replySoFar, int sampleCount);

} // namespace talverin
