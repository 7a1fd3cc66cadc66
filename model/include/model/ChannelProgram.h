// The program lines of one of the driver's 256 channels, converted between the driver's text
// ("CH3" CR "JMP10" CR "END" CR CR) and a list of lines "mnemonic TAB argument".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace model {

class CChannelProgram {
public:
    static constexpr int kKind = 3;

    struct Line {
        std::string text; // mnemonic TAB argument [TAB comment]
        int value = 0;
    };

    CChannelProgram() = default;

    // Deletes every line.
    void Clear();
    void AddLine(std::string text, int value = 0);

    // Reads a driver or document text whose lines are separated by CR. Leading empty lines and
    // "CC/AL" lines are passed over, a "CHn" line ("CH" and a number) sets the channel number;
    // every other line (also "CCW10" or "CHK5") is cut
    // at its first digit, '-' or '+' into mnemonic and argument, and dropped when the mnemonic is
    // empty. Lines are appended to those already held. Returns 1.
    int Parse(std::string_view text);
    // A null text sets the line count to 0.
    int Parse(const char* text);

    // "CH%d" CR, each line (mnemonic and argument joined) followed by CR, then a final CR.
    std::string BuildText();
    // How one stored line goes to the driver and into a document: mnemonic and argument joined,
    // the comment left out (empty for a line without either).
    static std::string DriverLine(std::string_view text);

    const std::vector<Line>& Lines() const { return m_lines; }

    int m_kind = kKind;
    int m_reserved = 0;
    int m_lineCount = -1;    // -1 until the first parse
    int m_currentLine = 0;   // used by the channel editor
    int m_emptyLineFlag = 0; // BuildText met a line whose text was empty
    int m_channel = -1;      // -1 until set
    std::vector<Line> m_lines;
};

// The document reader's test for the first line of a channel's block: "CH" and a number right
// after it ("CH5", "CH+5"), the line trimmed first; the number goes to `number` when given. A
// program line of that form cannot be stored: read back, it would start a block of its own.
bool ReadsAsChannelHeader(std::string_view line, int* number = nullptr);

} // namespace model
