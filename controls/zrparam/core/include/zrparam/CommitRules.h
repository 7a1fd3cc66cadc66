// What a commit does to a record: the text typed into the editor checked against the record's
// decimals, alternatives and range, or stored as a text value; and the commit without an open
// editor, which only clears an earlier invalid-value status.
#pragma once

#include <model/ZRParamData.h>

#include <string>
#include <string_view>

namespace zrparam {

using model::CZRParamData;

// The status of a record whose committed value was refused.
inline constexpr int kStatusInvalidValue = 0x4000000f;
// The most characters a commit takes from the editor.
inline constexpr std::size_t kTypedCharacters = 63;

struct TypedCommit {
    bool textValue = false;     // a text record: the host stores the text (SetStrChange)
    bool valid = true;
    bool statusChanged = false; // a valid number changed the record's status
    std::string cellText;       // what the value cell shows afterwards
    // Refused: the number lies outside the whole range (minimum..maximum); the record keeps its
    // value and status, and the cell shows that value.
    bool outOfRange = false;
    double minimum = 0.0;
    double maximum = 0.0;
};

class CommitRules {
public:
    // The editor's text as a commit takes it: at most 63 characters, trimmed at both ends.
    static std::string TakeTyped(std::string_view editorText);
    // A text record: its range begins with '*' or it holds a text value.
    static bool IsTextRecord(const CZRParamData& record);
    // Typed text a numeric record can take at all: only the characters of a number, and a digit.
    static bool IsNumber(std::string_view text);

    // Commits typed text (already taken) into the record. A number outside the range's minimum
    // and maximum is refused (outOfRange), whether a driver is connected or not. Otherwise a
    // number is invalid when it is not a number (the value stays), has a second '.' or more
    // fraction digits than the decimals (after the fraction's trailing zeros beyond the
    // decimals), or lies in no '/'-alternative; the last two keep the typed value in the record.
    // Invalid sets the status 0x4000000f and the cell shows the text as typed; valid clears that
    // status and the cell shows the value. A text record only takes the text as its cell text:
    // the host stores it.
    static TypedCommit CommitTyped(CZRParamData& record, std::string_view typed);
    // The commit without an open editor: an invalid-value status is cleared. Returns the value text.
    static std::string CommitStored(CZRParamData& record);
};

} // namespace zrparam
