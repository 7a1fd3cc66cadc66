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
// files get CR LF line ends.
// Writes to one file are serialised within the process, so concurrent writers never lose each
// other's keys. A rewrite keeps every line it does not change byte for byte (Shift_JIS comments,
// undecodable bytes) and writes every line with the file's first line end (CR LF, LF or CR).
// To read many keys use a Snapshot; to make many changes, an Edit (below). Every call sets the last error (errors.h): ERROR_FILE_NOT_FOUND for a missing file,
// section or key when the default was returned, ERROR_ACCESS_DENIED, ERROR_PATH_NOT_FOUND ... for
// a failed write.
#pragma once

#include "platform/types.h"

#include <memory>
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
// sectionEntries on the lines of a file already read, decoded and split (a reader that takes many
// sections of one file): the same entries, without reading the file again.
std::vector<Entry> sectionEntriesOfLines(const std::vector<std::string_view>& lines, std::string_view section);
bool hasSection(const std::string& file, std::string_view section);

// WritePrivateProfileString's rules; false with the last error set on failure.
bool setString(const std::string& file, std::string_view section, std::string_view key,
               std::string_view value);
bool setInt(const std::string& file, std::string_view section, std::string_view key, int value);
bool removeKey(const std::string& file, std::string_view section, std::string_view key);
bool removeSection(const std::string& file, std::string_view section);

// ---- Many keys at once -------------------------------------------------------------------------

// The file parsed once and indexed: every read gives what the single-key function of the same
// name gives for the file as it was when the snapshot was taken (including the last error it
// sets), without reading the file again. A missing or unreadable file gives an empty snapshot
// (the defaults apply; error() says why); a binary or huge file reads like the single-key
// functions read it. Copies share the parsed file. Use it where a window or the data store
// reads a whole group of keys:
//     const profile::Snapshot s(iniPath);
//     int rate = s.getInt("Oscillo", "BaudRate", 0);  std::string last = s.getString("Oscillo", "LastDate");
class Snapshot {
public:
    explicit Snapshot(const std::string& file);
    const std::string& file() const;
    // ERROR_SUCCESS, or why the file was not read (ERROR_FILE_NOT_FOUND ...).
    DWORD error() const;

    std::optional<std::string> find(std::string_view section, std::string_view key) const;
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view defaultValue = {}) const;
    int getInt(std::string_view section, std::string_view key, int defaultValue) const;
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;
    std::vector<Entry> sectionEntries(std::string_view section) const;
    bool hasSection(std::string_view section) const;

private:
    struct Data;
    std::shared_ptr<const Data> d;
};

// Many changes to one file, written in one atomic rewrite by commit(): the file is read as it is
// at commit time (under the same per-file lock as the single writes, so no key another writer
// set meanwhile is lost), the changes are applied in the order they were made, and the file is
// replaced once, only if something changed. Each change is checked when it is made (the rules of
// WritePrivateProfileString): a bad one returns false with ERROR_INVALID_PARAMETER and is not
// kept. Nothing is written unless commit() is called; a failed commit leaves the file as it was
// and keeps the changes (commit may be retried).
//     profile::Edit e(iniPath);
//     e.setInt("Setting", "EditChannel", ch);  e.removeKey("Oscillo", "Param9");
//     if (!e.commit()) report(GetLastError());
class Edit {
public:
    explicit Edit(std::string file);
    ~Edit();
    Edit(const Edit&) = delete;
    Edit& operator=(const Edit&) = delete;

    const std::string& file() const { return m_file; }
    bool setString(std::string_view section, std::string_view key, std::string_view value);
    bool setInt(std::string_view section, std::string_view key, int value);
    bool removeKey(std::string_view section, std::string_view key);
    bool removeSection(std::string_view section);
    std::size_t pending() const;

    // True when written (or nothing needed writing); the pending changes are then cleared.
    bool commit();

private:
    struct Changes;
    std::string m_file;
    std::unique_ptr<Changes> m_changes;
};

} // namespace profile
} // namespace plat
