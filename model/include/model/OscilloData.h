// The oscilloscope's part of the data store: the settings of the [Oscillo] section, the cursor
// positions, and the captured sample rows that the oscilloscope control draws through the shared
// block. The capture code fills the rows under the oscilloscope mutex.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace model {

// "double,int,int": the horizontal position, the record length (tenths of a millisecond) and the
// sample count of a capture, or the horizontal setting of the screen.
struct OscilloHorzInfo {
    double m_position = 0.0;
    int m_length = 0;
    int m_count = 0;

    // Reads the comma-separated fields; missing fields stay 0. Returns the number of fields.
    int Parse(std::string_view text);
};

// One [Oscillo] CHn entry: "int,text,double,double,double,int,int". Only the data store reads
// and keeps these; the screens set their channels up from the driver instead.
struct OscilloChannelInfo {
    int m_number = 0;
    std::string m_text;
    double m_value1 = 0.0;
    double m_value2 = 0.0;
    double m_value3 = 0.0;
    int m_option1 = 0;
    int m_option2 = 0;

    // Reads the comma-separated fields; missing fields stay 0/empty. Returns the number of fields.
    int Parse(std::string_view text);
};

// One captured sample: the values of channels 1 to 4. A channel without a value in this sample
// holds model::kNoValue (recognised bit for bit with model::IsNoValue).
struct CaptureSample {
    double m_value[4] = {0.0, 0.0, 0.0, 0.0};
};
static_assert(sizeof(CaptureSample) == 32);

class OscilloDataBlock {
public:
    static constexpr int kKind = 5;

    // Deletes every sample row (the capacity goes too). Returns 1. The caller holds the
    // oscilloscope mutex while the control may be painting.
    int ClearSamples();

    int m_kind = kKind;
    std::string m_lastDate;                     // [Oscillo] LastDate
    OscilloHorzInfo m_horzInfo;                 // [Oscillo] HorzInfo
    std::vector<OscilloChannelInfo> m_channels; // one per non-empty [Oscillo] CH0..CH15, in key order
    double m_cursorTH = 0.0;                    // CursorPosTH
    double m_cursorTV = 0.0;                    // CursorPosTV
    int m_triggerChannel = 0;                   // TorggerChannel (sic: the key is spelt so in files)
    int m_slope = 0;                            // Slope
    double m_cursorA = 0.0;                     // CursorPosA
    double m_cursorB = 0.0;                     // CursorPosB
    int m_zoom = 0;                             // Zoom
    std::string m_headerLine;                   // header line of the last capture data reply
    OscilloHorzInfo m_captureInfo;              // [Oscillo] HorzLogInfo; the capture held in the rows
    std::vector<CaptureSample> m_samples;       // the captured rows, oldest first
};

} // namespace model
