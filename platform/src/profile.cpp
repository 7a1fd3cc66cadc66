// The profile-string functions over ProfileDocument: every read parses the file as it is now, and
// every write is read-modify-replace under a per-file lock. (Snapshot and Edit: profile_snapshot.cpp.)
#include "platform/profile.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/text.h"

#include "profile_common.h"
#include "profile_document.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace plat {

namespace {

using detail::ProfileDocument;
using detail::load;
using detail::parseProfileInt;
using detail::unquote;

bool modify(const std::string& file, detail::ProfileChange::Kind kind, std::string_view section,
            std::string_view key, std::string_view value)
{
    detail::ProfileChange change;
    if (file.empty() || !detail::makeChange(kind, section, key, value, change)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return detail::applyChanges(file, {change});
}

// Copies one string, cut to size - 1 characters.
DWORD copyString(std::string_view s, char* buffer, DWORD size)
{
    const std::size_t nul = s.find('\0');
    const std::size_t n = nul == std::string_view::npos ? s.size() : nul;
    const std::size_t len = std::min<std::size_t>(n, size - 1);
    std::memcpy(buffer, s.data(), len);
    buffer[len] = '\0';
    if (len < n)
        SetLastError(ERROR_MORE_DATA);
    return static_cast<DWORD>(len);
}

// Copies NUL-separated strings with a second NUL at the end. When they do not all fit, the last
// one that is started is cut and the list still ends with two NULs; the result is then size - 2.
DWORD copyList(const std::vector<std::string>& items, char* buffer, DWORD size)
{
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    std::size_t room = size - 1; // the final NUL is always kept free
    char* p = buffer;
    for (const std::string& raw : items) {
        const std::string_view item(raw.c_str()); // a name with a NUL byte ends there
        if (item.empty())
            continue;
        const std::size_t need = item.size() + 1;
        if (need >= room) {
            if (room > 0) {
                std::memcpy(p, item.data(), room - 1);
                p += room - 1;
                *p++ = '\0';
            }
            *p = '\0';
            SetLastError(ERROR_MORE_DATA);
            return size - 2;
        }
        std::memcpy(p, item.data(), item.size());
        p += item.size();
        *p++ = '\0';
        room -= need;
    }
    *p = '\0';
    if (p == buffer)
        p[1] = '\0'; // an empty list reads as "\0\0"
    return static_cast<DWORD>(p - buffer);
}

} // namespace

// ---- Win32 form ------------------------------------------------------------------------------

DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                              char* buffer, DWORD size, const char* fileName)
{
    if (!buffer || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string def(TrimRightView(defaultValue ? std::string_view(defaultValue) : ""));
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return copyString(def, buffer, size);
    }
    DWORD loadError = ERROR_SUCCESS;
    const ProfileDocument doc = load(fileName, &loadError);

    if (!section) {
        SetLastError(loadError);
        return copyList(doc.sectionNames(), buffer, size);
    }
    const std::string_view sectionName = TrimView(section);
    if (!key) {
        if (!doc.hasSection(sectionName)) {
            SetLastError(loadError != ERROR_SUCCESS ? loadError : ERROR_FILE_NOT_FOUND);
            const DWORD n = copyString(def, buffer, size);
            if (n + 1 < size)
                buffer[n + 1] = '\0';
            return n;
        }
        SetLastError(ERROR_SUCCESS);
        return copyList(doc.keyNames(sectionName), buffer, size);
    }
    if (const std::string* v = doc.findValue(sectionName, TrimView(key))) {
        SetLastError(ERROR_SUCCESS);
        return copyString(unquote(*v), buffer, size);
    }
    SetLastError(loadError != ERROR_SUCCESS ? loadError : ERROR_FILE_NOT_FOUND);
    return copyString(def, buffer, size);
}

UINT GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                          const char* fileName)
{
    if (!section || !key || !fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return static_cast<UINT>(defaultValue);
    }
    return static_cast<UINT>(profile::getInt(fileName, section, key, defaultValue));
}

DWORD GetPrivateProfileSection(const char* section, char* buffer, DWORD size, const char* fileName)
{
    if (!buffer || size == 0 || !section || !fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    DWORD loadError = ERROR_SUCCESS;
    const ProfileDocument doc = load(fileName, &loadError);
    const std::string_view sectionName = TrimView(section);
    std::vector<std::string> lines;
    for (auto& [k, v] : doc.entries(sectionName))
        lines.push_back(k + "=" + v);
    SetLastError(doc.hasSection(sectionName) ? ERROR_SUCCESS
                 : loadError != ERROR_SUCCESS ? loadError
                                              : ERROR_FILE_NOT_FOUND);
    const DWORD saved = GetLastError();
    const DWORD n = copyList(lines, buffer, size);
    if (GetLastError() != ERROR_MORE_DATA)
        SetLastError(saved);
    return n;
}

BOOL WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* fileName)
{
    if (!section) {
        // All null only asks to flush a cache; there is none here.
        SetLastError(!key && !value ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER);
        return !key && !value ? TRUE : FALSE;
    }
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!key)
        return profile::removeSection(fileName, section) ? TRUE : FALSE;
    if (!value)
        return profile::removeKey(fileName, section, key) ? TRUE : FALSE;
    return profile::setString(fileName, section, key, value) ? TRUE : FALSE;
}

// ---- std::string form ------------------------------------------------------------------------

namespace profile {

std::optional<std::string> find(const std::string& file, std::string_view section,
                                std::string_view key)
{
    DWORD loadError = ERROR_SUCCESS;
    const ProfileDocument doc = load(file, &loadError);
    if (const std::string* v = doc.findValue(TrimView(section), TrimView(key))) {
        SetLastError(ERROR_SUCCESS);
        return unquote(*v);
    }
    SetLastError(loadError != ERROR_SUCCESS ? loadError : ERROR_FILE_NOT_FOUND);
    return std::nullopt;
}

std::string getString(const std::string& file, std::string_view section, std::string_view key,
                      std::string_view defaultValue)
{
    if (auto v = find(file, section, key))
        return *v;
    return std::string(TrimRightView(defaultValue));
}

int getInt(const std::string& file, std::string_view section, std::string_view key,
           int defaultValue)
{
    const auto v = find(file, section, key);
    if (!v || v->empty())
        return defaultValue;
    return parseProfileInt(*v);
}

std::vector<std::string> sectionNames(const std::string& file)
{
    DWORD loadError = ERROR_SUCCESS;
    auto names = load(file, &loadError).sectionNames();
    SetLastError(loadError);
    return names;
}

std::vector<std::string> keyNames(const std::string& file, std::string_view section)
{
    DWORD loadError = ERROR_SUCCESS;
    auto names = load(file, &loadError).keyNames(TrimView(section));
    SetLastError(loadError);
    return names;
}

std::vector<Entry> sectionEntries(const std::string& file, std::string_view section)
{
    DWORD loadError = ERROR_SUCCESS;
    std::vector<Entry> out;
    for (auto& [k, v] : load(file, &loadError).entries(TrimView(section)))
        out.push_back(Entry{std::move(k), std::move(v)});
    SetLastError(loadError);
    return out;
}

std::vector<Entry> sectionEntriesOfLines(const std::vector<std::string_view>& lines, std::string_view section)
{
    std::vector<Entry> out;
    for (auto& [k, v] : detail::ProfileDocument::entriesOfLines(lines, TrimView(section)))
        out.push_back(Entry{std::move(k), std::move(v)});
    return out;
}

bool hasSection(const std::string& file, std::string_view section)
{
    DWORD loadError = ERROR_SUCCESS;
    const bool has = load(file, &loadError).hasSection(TrimView(section));
    SetLastError(loadError);
    return has;
}

bool setString(const std::string& file, std::string_view section, std::string_view key,
               std::string_view value)
{
    return modify(file, detail::ProfileChange::Set, section, key, value);
}

bool setInt(const std::string& file, std::string_view section, std::string_view key, int value)
{
    return modify(file, detail::ProfileChange::Set, section, key, std::to_string(value));
}

bool removeKey(const std::string& file, std::string_view section, std::string_view key)
{
    return modify(file, detail::ProfileChange::RemoveKey, section, key, {});
}

bool removeSection(const std::string& file, std::string_view section)
{
    return modify(file, detail::ProfileChange::RemoveSection, section, {}, {});
}

} // namespace profile
} // namespace plat
