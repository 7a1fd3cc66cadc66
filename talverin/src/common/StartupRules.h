// The rules of start-up and of the main window's texts as plain functions: the command-bar
// entries, the unit list of the settings file, the language choice, the caption, the document
// title and the command line. The application object only feeds them what it read.
#pragma once

#include <platform/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talverin {

// One [ExtBar] entry "caption,command": the caption is the text before the first comma, the
// command everything after it (its own commas kept) with the escapes resolved. Both are trimmed
// first, so a blank the command needs at an end is written "\s".
struct ExtBarEntry {
    std::string caption;
    std::string command;
    bool hasCommand = false; // the command text is not empty
};
ExtBarEntry ParseExtBarValue(std::string_view value);

// "\r" carriage return, "\n" line feed, "\s" blank, "\b" backspace; any other backslash stays.
std::string ResolveCommandEscapes(std::string_view text);

// A list as GetPrivateProfileSection returns it (strings ended by NUL, the list by a second NUL,
// `size` characters in all) as separate strings.
std::vector<std::string> SplitProfileList(const char* buffer, std::size_t size);

struct UnitEntry {
    std::string name;
    std::string path; // as written: ".\" is not resolved here
};
// The default unit: the first "name=path" entry (name and path trimmed); none when no entry has
// an '='.
std::optional<UnitEntry> FirstUnitEntry(const std::vector<std::string>& entries);
// The units offered for a new document: every entry whose trimmed name and path are both non-empty.
std::vector<UnitEntry> OfferedUnits(const std::vector<std::string>& entries);

// [Setting] LANG: a non-empty value is the language id in decimal (garbage reads as 0, which is
// English); an empty one leaves it to the environment.
plat::LANGID LanguageFromSetting(std::string_view value, plat::LANGID environment);

// "<base> - <view> [<document>]", "<base> - <view>", or the base alone.
std::string FormatMainCaption(std::string_view base, std::string_view viewTitle,
                              std::string_view documentName);

// The document title of a path: its file name without the ".zrd" ending (any case).
std::string DocumentTitleFromPath(std::string_view path);
// The file name proposed for saving a document that has none: the title cut at its first blank,
// '#', '%', ';', '/' or '\', with the extension (".zrd") added when anything is left.
std::string FileNameFromTitle(std::string_view title, std::string_view extension);

// The document named on the command line: the first argument that is not an option ("-..."),
// made absolute against the current folder; none when there is no such argument.
std::optional<std::string> CommandLineDocument(const std::vector<std::string>& arguments);

} // namespace talverin
