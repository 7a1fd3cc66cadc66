// One driver parameter: its definition line (attribute letters, command name, unit, label, range,
// decimals, steps) and its three values (definition default, current value, and the reference value
// the driver is known to hold), each either a number or a text. The record also builds the driver
// command that reads it. The program and the parameter editor control share these records in
// process, so this is the one definition of the record both sides compile.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace model {

class CZRParamClass;

// A numeric value that is absent (a text-valued parameter) is stored as the smallest normalised
// double and recognised bit for bit, never by a numeric comparison.
inline constexpr double kNoValue = 2.2250738585072014e-308;

inline bool IsNoValue(double value)
{
    return std::bit_cast<std::uint64_t>(value) == std::bit_cast<std::uint64_t>(kNoValue);
}

// A text value holds at most this many characters (the editor allows no more, and the readers cut
// what they receive to it).
inline constexpr std::size_t kMaxTextValue = 63;

// The text cut to kMaxTextValue characters (a UTF-8 sequence is never cut in two): what a record's
// value texts may hold when they come from the driver.
std::string CapValueText(std::string_view text);

// Attribute letters in bit order: W R C P F L T = bits 0..6.
enum AttributeBit : unsigned {
    kAttrWrite = 0x01,    // W: a write command exists
    kAttrRead = 0x02,     // R: read with "?NAME"
    kAttrC = 0x04,
    kAttrP = 0x08,
    kAttrF = 0x10,
    kAttrL = 0x20,
    kAttrTransfer = 0x40, // T: saved in documents and sent on download
};

// 1 when every character is a digit or one of ( ) + - . ; an empty text gives 1.
int IsNumericText(std::string_view text);

// Bit mask (AttributeBit) of the letters of `second` when given, else of `letters`; letters
// outside W R C P F L T are ignored.
unsigned GetAttributeBits(std::string_view letters, const char* second = nullptr);

class CZRParamData {
public:
    CZRParamData();
    // Reads a definition line; the dependents are empty afterwards.
    explicit CZRParamData(std::string_view definitionLine);
    ~CZRParamData();

    CZRParamData(const CZRParamData&) = delete;
    CZRParamData& operator=(const CZRParamData&) = delete;

    // Empty record: no dependents, alternative 0, every text empty.
    void Init();
    // Every field back to its starting value (step mode 1, step keys 1, everything else 0/empty).
    void Clear();

    // Reads the 12 comma-separated fields of a definition line. Returns 1 when all 12 were
    // present, else 0 with the fields read so far set and the rest cleared.
    int ParseDefinitionLine(std::string_view text);
    // Fields [0], [1] and [6] of a definition line (letters, name, label) read as
    // ParseDefinitionLine reads them, without building a record: the tree matches its lines by them.
    static void ReadKeyFields(std::string_view text, std::string& letters, std::string& name, std::string& label);
    // The 12 fields joined by ",". A record with a default text has its decimals set to 0 first,
    // as text values have none.
    std::string FormatDefinitionLine();

    // The record's number format: fixed-point with GetDecimals() digits, or the value truncated
    // to an integer when decimals is 0.
    std::string FormatValue(double value) const;
    int GetDecimals() const { return m_decimals; }

    // Current value as text: the current text for a text value; "%.Nf" for N decimals; with no
    // decimals "%.1f" cut at the point (2.96 -> "3", 2.94 -> "2", -0.5 -> "-0").
    std::string GetValueText() const;
    // The initial value shown in reports: the default text, else the default formatted when the
    // record holds numbers, else empty.
    std::string GetDisplayText() const;

    int IsBoolean() const;
    int HasAttributeL() const;

    // Index of the first '/'-item of the range that holds `value` (-1 when none; 0 for a range
    // without '/'); stored as the selected alternative when `store` is set.
    int SelectAlternative(int store, double value);
    int SelectCurrentAlternative(int store);
    // The number lies outside what the range text allows (in none of its items). A record with a
    // text value, no range, a '*' range or word items allows anything.
    bool IsOutOfRange(double value) const;

    // "?NAME\r" for a record with 'R', else "NAME\r".
    std::string GetReadCommand() const;

    bool IsTextValued() const { return IsNoValue(m_currentValue); }

    // ---- What the parameter editor control asks of a record ----
    // 1 when the current value differs from the reference value as the record displays them (both
    // formatted with the record's number format; the texts for a text value), so values that
    // show alike count as unchanged. Apart from the data store's own test for sending.
    int IsChanged() const;
    // 1 for an action command: writable, not readable, and no range (it carries no value).
    int IsWriteOnlyCommand() const;

    // Fields, in the order of the shared record.
    std::string m_attributes;             // letters W R C P F L T (a 'T' may be added by readers)
    std::string m_name;                   // driver command mnemonic, the record's key
    int m_sequence = 0;                   // order of transfer
    std::string m_unit;
    double m_defaultValue = 0.0;
    std::string m_label;
    std::string m_range;                  // '/'-separated condition list
    int m_stepMode = 1;                   // 1 three distinct steps, 0 one step
    double m_stepMedium = 0.0;
    double m_stepCoarse = 0.0;
    double m_stepFine = 0.0;
    double m_currentValue = 0.0;
    int m_status = 0;                     // 1 command queued, 0 good reply, else the last error
    int m_alternative = 0;                // selected range item
    std::string m_defaultText;
    std::string m_currentText;
    // Tree nodes to read again after this parameter is written (not owned); null when none.
    std::unique_ptr<std::vector<CZRParamClass*>> m_dependents;
    int m_allDependents = 0;              // the dependents are "*" (every parameter)
    int m_dependencyMark = 0;             // set on dependents being re-read after a write
    int m_decimals = 0;
    int m_treeUseCount = 0;               // kept by the parameter editor control
    double m_referenceValue = 0.0;
    std::string m_referenceText;
    double m_singleStep = 0.0;
    int m_stepKeys = 1;                   // 0 when the step mode was given as "0"

private:
    void deriveSteps(std::string_view modeField, std::string_view stepField);
    // No derived step below 10^-decimals.
    void raiseToDisplayFloor();
};

} // namespace model
