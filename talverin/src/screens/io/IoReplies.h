// What the I/O editor reads out of the driver's replies and the rules of its pin menus: the state
// bits of an "IO0"/"IO1" reply, a pin query's fields, the refused lines of a setting, the logic
// toggles and the menu items a pin allows. Plain functions of the reply text.
#pragma once

#include <model/CN2PinRecord.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace talverin::io {

// Command tags: pin + 200 a setting, pin + 300 a query; the two state requests.
inline constexpr std::intptr_t kSettingTag = 200;
inline constexpr std::intptr_t kQueryTag = 300;
inline constexpr std::intptr_t kStateElectrical = 400; // "IO0\r": the badge colours
inline constexpr std::intptr_t kStateLogical = 500;    // "IO1\r": the value boxes' colours

// Row colours (COLORREF) the state monitoring sets.
inline constexpr std::uint32_t kBadgeOff = 0xF0F0F0;
inline constexpr std::uint32_t kBadgeOn = 0x00F0F0;
inline constexpr std::uint32_t kValueOff = 0xFFFFFF;
inline constexpr std::uint32_t kValueOn = 0xC0F0C0;

// Status words a refused setting gives a row.
inline constexpr std::uint32_t kRowError = 0x80000000u;
inline constexpr std::uint32_t kFunctionRefused = 0x80010000u;
inline constexpr std::uint32_t kValueRefused = 0x80020000u;
// The error a refusal without a driver error text gets (the driver's "unknown command").
inline constexpr std::uint32_t kUnknownCommand = 0x4000000B;

// A reply split at carriage returns into at most maxLines lines (the last keeps no CR).
std::vector<std::string_view> SplitReplyLines(std::string_view reply, std::size_t maxLines);

struct PinBit {
    int pin;
    bool on; // the character was not '0'
};
// A state reply holds "GFEDCBA". With more than 3 lines its bits are the last 8 characters of
// line 4 (outputs 7..0) followed by line 3 (inputs 16..0), both trimmed; only the characters
// present count, and positions without a pin are skipped.
bool IsStateReply(std::string_view reply);
std::vector<PinBit> DecodeStateReply(std::string_view reply);

// A query reply holds "FN". Its keyword lines ("PI"/"PO" the I/O number, "FN" the function,
// "AB"/"GC" the logic, "NW"/"ST" the value; what follows a last ';' cut off) go into the
// record of `pin`, which keeps its numbers unless the reply names an I/O number in range that
// maps to that pin; logic "0" reads "A"/"P", anything else "B"/"N". The record's error and
// pending status are cleared.
bool IsQueryReply(std::string_view reply);
void ApplyQueryReply(std::string_view reply, int pin, model::CN2PinRecord& record);

// A setting the driver refused (the reply holds '?'): from line 4 on, each line with '?' marks
// the function (it begins with "FN") or the value; an earlier error keeps the error bit. The
// error is the first driver error text in the reply, else kUnknownCommand.
struct Refusal {
    std::uint32_t status = 0;
    std::uint32_t error = 0;
};
Refusal DecodeRefusal(std::string_view reply, bool hadError);

// The logic a click on the button gives: inputs A <-> B (else A), outputs P <-> N (else P).
std::string ToggleLogic(std::string_view current, bool input);

// A parameter dragged from the parameter editor suits an input pin when its letters hold 'I',
// an output pin when they hold 'O' (the editor's I/O tree items carry them).
bool DropAccepts(std::string_view letters, bool inputPin);

// What a pin's context menu allows, from its disabled-fields mask and the connection.
struct PinMenuRules {
    bool logic;   // the logic submenu: the logic may be edited
    bool reset;   // Reset: some field may be edited
    bool refresh; // Refresh: connected
};
PinMenuRules MenuRules(std::uint32_t disabledMask, bool connected);

} // namespace talverin::io
