// One CN2 pin row without its window: the three texts the host sets (logic `Setten`, function
// `Name`, value `Data`), what the two edit boxes show, the baseline the row compares against, the
// status word, and the pin line (a model::CN2PinRecord text) in both directions.
//
// The boxes' texts are kept here even while a badge-only row shows no boxes, so a row exports and
// compares the same whatever it shows. Text the host sets is kept as given (only typing is
// upper-cased, by the box).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zrcn2 {

// Status word bits: 1 marks a changed pin; an error carries bit 31, and with it bit 16 (the
// function was refused) or bit 17 (the value was refused).
inline constexpr std::uint32_t kStatusChanged = 0x1;
inline constexpr std::uint32_t kStatusError = 0x80000000u;
inline constexpr std::uint32_t kStatusFunctionWrong = 0x00010000u;
inline constexpr std::uint32_t kStatusValueWrong = 0x00020000u;

// Export's answer for a buffer that cannot take the line and its terminating zero.
inline constexpr std::int32_t kExportBufferTooSmall = 0x40000011;

// The most a member reads of a text: the baseline step 63, leaving a box 127, the pin line 255.
inline constexpr std::size_t kBaselineTextMax = 63;
inline constexpr std::size_t kLeaveTextMax = 127;
inline constexpr std::size_t kExportTextMax = 255;

// At most maxBytes of text, never cutting a UTF-8 sequence in two.
std::string_view ClipText(std::string_view text, std::size_t maxBytes);
// ASCII letters compared without case, as the row compares function names.
bool EqualNoCase(std::string_view a, std::string_view b);

class PinRowModel {
public:
    enum class Box { Name, Data };

    // Properties the host reads and writes.
    bool fullRow() const { return m_viewMode != 0; }
    int viewMode() const { return m_viewMode; }
    void setViewMode(int mode) { m_viewMode = mode; }
    int number() const { return m_number; }
    void setNumber(int pin) { m_number = pin; }
    const std::string& setten() const { return m_setten; }
    void setSetten(std::string_view text) { m_setten = text; }
    const std::string& name() const { return m_name; }
    const std::string& data() const { return m_data; }
    // The property and its box take the text.
    void setName(std::string_view text);
    void setData(std::string_view text);

    // What the boxes show; the widget reports every change of a box here.
    const std::string& nameBox() const { return m_nameBox; }
    const std::string& dataBox() const { return m_dataBox; }
    void setBoxText(Box box, std::string_view text);

    std::uint32_t status() const { return m_status; }
    void setStatus(std::uint32_t status) { m_status = status; }

    // The changed state: never in a badge-only row; otherwise the logic differs from the baseline,
    // or the function box ignoring case, or the value box exactly.
    bool changed() const;
    // GetModifyFlg: the changed state, which the control's modified flag follows.
    bool refreshModified();
    bool modified() const { return m_modified; }

    // SetModifyFlg: the modified flags take `modify`; the properties take the boxes' texts (and
    // the logic its own), at most 63 bytes each. When anything, the status word included, differs
    // from the baseline, a FALSE makes the current values the baseline. True when something
    // differed (the row then repaints).
    bool setModifyFlg(bool modify);

    // SetData: nothing happens (false) when the texts equal the current ones ignoring case, the
    // status is the same and `modify` equals the changed state; otherwise everything is stored,
    // the boxes take the texts and setModifyFlg(modify) follows (true; `differed` gets its
    // answer).
    bool setAll(std::string_view setten, std::string_view name, std::string_view data,
                std::uint32_t status, bool modify, bool* differed = nullptr);

    // The pin line: pin := Number, I/O number := its mapping (-1 when the pin has none), the
    // logic, the boxes' texts (at most 255 bytes each) and the status word. A status of 0 on a
    // changed row becomes 1 afterwards; the line still carries 0.
    std::string exportLine(bool withNumbers);
    // Reads a pin line: with numbers Number := its pin (kept when the line gives none); the logic,
    // texts and status take the line's. The baseline is not touched.
    void importLine(std::string_view line, bool withNumbers);

    // A box lost the focus: the property takes its text (at most 127 bytes). True when that
    // differs from what the property held (case counts).
    bool leaveBox(Box box);
    // The row is deactivated: both properties take their boxes' texts (at most 127 bytes).
    // Returns the changed state.
    bool deactivate();

    // Baseline, for tests and the widget's repaint decisions.
    const std::string& baselineSetten() const { return m_baseSetten; }
    const std::string& baselineName() const { return m_baseName; }
    const std::string& baselineData() const { return m_baseData; }
    std::uint32_t baselineStatus() const { return m_baseStatus; }

private:
    int m_viewMode = 1;
    int m_number = 99;
    std::string m_setten, m_name, m_data;
    std::string m_nameBox, m_dataBox;
    std::uint32_t m_status = 0;
    bool m_modified = false;
    std::string m_baseSetten, m_baseName, m_baseData;
    std::uint32_t m_baseStatus = 0;
};

} // namespace zrcn2
