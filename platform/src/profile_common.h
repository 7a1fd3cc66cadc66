// What the single-key profile functions, the snapshot and the edit share: loading, value rules,
// name checks and the one write path (read, change, replace atomically, under the file's lock).
#pragma once

#include "platform/types.h"

#include "profile_document.h"

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace plat::detail {

// The file as a document; a missing or unreadable one is empty, and *error says why.
ProfileDocument load(const std::string& file, DWORD* error);

// One lock per settings file (by its absolute path), so writers in this process take turns and
// none of them rewrites the file from a copy that misses another's key.
std::mutex& fileLock(const std::string& file);

bool hasLineBreak(std::string_view s);
bool validSection(std::string_view section);
bool validKey(std::string_view key);

// Win32 removes one pair of matching quotes around a value read by key.
std::string unquote(std::string_view v);
// Decimal digits after optional blanks and a sign; no digits give 0. Wraps like a 32-bit value.
int parseProfileInt(std::string_view s);

struct ProfileChange {
    enum Kind { Set, RemoveKey, RemoveSection } kind;
    std::string section; // trimmed
    std::string key;     // trimmed
    std::string value;
};

// Checks and trims a change; false (ERROR_INVALID_PARAMETER) when it would change the file's
// meaning or has no name.
bool makeChange(ProfileChange::Kind kind, std::string_view section, std::string_view key,
                std::string_view value, ProfileChange& out);

// Applies the changes in order to the file as it is now and replaces it once, only when something
// changed. False with the last error set; the file is then untouched.
bool applyChanges(const std::string& file, const std::vector<ProfileChange>& changes);

} // namespace plat::detail
