// Settings files in the Windows profile-string format, read and written with Win32 meanings.
//
// Format: "[section]" lines open sections; "key=value" lines are entries. Section and key names
// compare without regard to ASCII case and are trimmed; values are trimmed, and one pair of
// matching enclosing quotes ('...' or "...") is removed when a value is read by key. Lines starting
// with ';' are comments. Lines without '=' (or with nothing before it) are not entries: they are
// ignored when reading and kept as they are when the file is rewritten, like comments, blank lines
// and anything before the first section. LF, CR LF and lone CR all end lines. When a name occurs
// more than once, the first occurrence of a key wins and sections of the same name read as one.
//
// A missing or unreadable file reads as empty (the defaults apply). A write reads the file,
// changes it and replaces it atomically (temporary file in the same folder, flush, rename), so a
// failed write leaves the old file as it was; it creates the file and the section as needed. New
// files get CR LF line ends; an existing file keeps LF if that is what its first line end is.
// Writes to one file are serialised within the process, so concurrent writers never lose each
// other's keys. Every call sets the last error (errors.h): ERROR_FILE_NOT_FOUND for a missing file,
// section or key when the default was returned, ERROR_ACCESS_DENIED, ERROR_PATH_NOT_FOUND ... for
// a failed write.
#pragma once

#include "platform/types.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plat {

// ---- Win32 form ------------------------------------------------------------------------------

// section == nullptr: the section names, each ended by NUL, the list ended by a second NUL.
// key == nullptr: the key names of the section, the same way (a missing section gives the default).
// Otherwise the key's value, or the default (nullptr = "", trailing blanks removed) when the key is
// missing. Returns the number of characters copied, not counting the final NUL(s). Truncation: a
// value is cut to size - 1 characters (returns size - 1); a list whose names do not all fit ends
// with the cut last name and two NULs (returns size - 2). A null buffer or size 0 returns 0.
DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                              char* buffer, DWORD size, const char* fileName);

// The key's value as a decimal integer (leading blanks and a sign allowed, digits up to the first
// other character; no digits give 0); the default when the key is missing or its value is empty.
UINT GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                          const char* fileName);

// The section's entries as "key=value" strings (value trimmed, quotes kept), each ended by NUL, the
// list ended by a second NUL; truncated like the lists above (returns size - 2).
DWORD GetPrivateProfileSection(const char* section, char* buffer, DWORD size, const char* fileName);

// Sets key=value in section. value == nullptr deletes the key; key == nullptr deletes the section.
// Names may not contain CR or LF, a section name no ']', a key no '=' and may not begin with '['
// or ';'; a value may not contain CR or LF (ERROR_INVALID_PARAMETER: the file would change
// meaning). Deleting what is not there succeeds without touching the file. FALSE on failure.
BOOL WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* fileName);

// ---- std::string form ------------------------------------------------------------------------

namespace profile {

struct Entry {
    std::string key;
    std::string value; // trimmed, quotes kept (as GetPrivateProfileSection gives it)
};

// The key's value (trimmed, enclosing quotes removed); nullopt when the file, the section or the
// key is missing.
std::optional<std::string> find(const std::string& file, std::string_view section,
                                std::string_view key);
std::string getString(const std::string& file, std::string_view section, std::string_view key,
                      std::string_view defaultValue = {});
// GetPrivateProfileInt's rules, as a signed value.
int getInt(const std::string& file, std::string_view section, std::string_view key,
           int defaultValue);

std::vector<std::string> sectionNames(const std::string& file);
std::vector<std::string> keyNames(const std::string& file, std::string_view section);
std::vector<Entry> sectionEntries(const std::string& file, std::string_view section);
bool hasSection(const std::string& file, std::string_view section);

// WritePrivateProfileString's rules; false with the last error set on failure.
bool setString(const std::string& file, std::string_view section, std::string_view key,
               std::string_view value);
bool setInt(const std::string& file, std::string_view section, std::string_view key, int value);
bool removeKey(const std::string& file, std::string_view section, std::string_view key);
bool removeSection(const std::string& file, std::string_view section);

} // namespace profile
} // namespace plat
