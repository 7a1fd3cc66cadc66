// What the parameter screen and the command window make of a parameter command that ended: the
// value a read's reply gives, how a read or a write lands in the record, which statuses the
// status bar reports, and which parameters a write makes stale.
// No window and no driver here: the two windows only drive these rules.
#pragma once

#include <model/DataFile.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace talverin {

// The two windows that host the parameter editor differ in a few rules.
enum class ParamWindowKind { Screen, CommandWindow };

// A code of the communication library itself (no port, unknown command id, bad argument ...):
// the completion can no longer be read, so it changes no record.
bool IsLibraryError(std::uint32_t state);

// The command is one of the parameter's: its read "?NAME", or a text beginning with the name (a
// write, or the bare command of a write-only parameter). A completion whose tag points at a node
// of a reloaded tree is told apart by this.
bool CommandNamesParameter(std::string_view command, std::string_view name);

// The value text of parameter `name` in the reply to its read: of a reply of several lines, the
// one line that continues the name with a digit or '-' (cut at its ';'); else, of a reply that
// begins with the name, the text after it up to the first CR and ';'. Empty when the reply gives
// no value for the name (shorter than it, or beginning otherwise).
std::string ChooseReadValue(std::string_view name, std::string_view reply);

// Stores a read's value (ChooseReadValue) into the record as the window does: status 0 always,
// the value only when there is one. The screen also ends the record's dependency mark.
void StoreReadValue(model::CZRParamData& record, std::string_view value, ParamWindowKind kind);
// A write the driver took: the written value becomes the reference, status 0.
void StoreWrittenValue(model::CZRParamData& record, ParamWindowKind kind);

// The status bar shows "<name> Command Error: <text>" for this record status (otherwise its idle
// text).
bool ShowsCommandError(int status, ParamWindowKind kind);

// The parameters to read again after a write.
struct DependentReads {
    std::vector<model::CZRParamClass*> nodes; // in the order they are read
    bool everyParameter = false; // "*": none is read while a read of the written one is queued
    bool clearMarkOnly = false;  // the write was itself a re-read's target: its mark only ends
};
DependentReads ChooseDependents(const model::CZRParamData& written, const model::CDataFile::ParamTreeList* tree,
                                ParamWindowKind kind);

} // namespace talverin
