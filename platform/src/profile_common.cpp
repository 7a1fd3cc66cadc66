#include "profile_common.h"

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/text.h"

#include <climits>
#include <cstdlib>
#include <map>
#include <memory>

namespace plat::detail {

ProfileDocument load(const std::string& file, DWORD* error)
{
    std::string bytes;
    if (!ReadFileBytes(file, bytes)) {
        *error = GetLastError();
        return ProfileDocument::parse({});
    }
    *error = ERROR_SUCCESS;
    return ProfileDocument::parse(bytes);
}

std::mutex& fileLock(const std::string& file)
{
    static std::mutex mapMutex;
    static std::map<std::string, std::unique_ptr<std::mutex>> locks;

    std::string key = file;
    char resolved[PATH_MAX];
    if (::realpath(FolderOf(file).c_str(), resolved))
        key = JoinPath(resolved, FileNameOf(file));
    std::lock_guard guard(mapMutex);
    auto& slot = locks[key];
    if (!slot)
        slot = std::make_unique<std::mutex>();
    return *slot;
}

bool hasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

bool validSection(std::string_view section)
{
    const std::string_view t = TrimView(section);
    return !t.empty() && !hasLineBreak(section) && section.find(']') == std::string_view::npos;
}

bool validKey(std::string_view key)
{
    const std::string_view t = TrimView(key);
    return !t.empty() && !hasLineBreak(key) && key.find('=') == std::string_view::npos &&
           t.front() != '[' && t.front() != ';';
}

std::string unquote(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return std::string(v.substr(1, v.size() - 2));
    return std::string(v);
}

int parseProfileInt(std::string_view s)
{
    s = TrimLeftView(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    std::uint32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            break;
        v = v * 10u + static_cast<std::uint32_t>(c - '0');
    }
    if (negative)
        v = 0u - v;
    return static_cast<int>(v);
}

bool makeChange(ProfileChange::Kind kind, std::string_view section, std::string_view key,
                std::string_view value, ProfileChange& out)
{
    if (!validSection(section) || (kind != ProfileChange::RemoveSection && !validKey(key)) ||
        (kind == ProfileChange::Set && hasLineBreak(value))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    out = ProfileChange{kind, Trim(section), Trim(key), std::string(value)};
    return true;
}

bool applyChanges(const std::string& file, const std::vector<ProfileChange>& changes)
{
    if (file.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::lock_guard guard(fileLock(file));
    DWORD loadError = ERROR_SUCCESS;
    ProfileDocument doc = load(file, &loadError);
    const bool missing = loadError == ERROR_FILE_NOT_FOUND || loadError == ERROR_PATH_NOT_FOUND;
    if (loadError != ERROR_SUCCESS && !missing) {
        // An existing file we cannot read must not be replaced by one holding only our keys.
        SetLastError(loadError);
        return false;
    }
    bool changed = false;
    for (const ProfileChange& c : changes) {
        switch (c.kind) {
        case ProfileChange::Set: changed = doc.set(c.section, c.key, c.value) || changed; break;
        case ProfileChange::RemoveKey: changed = doc.removeKey(c.section, c.key) || changed; break;
        case ProfileChange::RemoveSection: changed = doc.removeSection(c.section) || changed; break;
        }
    }
    // Removing what is not there succeeds without touching the file (which may not exist).
    if (!changed) {
        SetLastError(ERROR_SUCCESS);
        return true;
    }
    if (missing && !DirectoryExists(FolderOf(file))) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    return WriteFileAtomic(file, doc.serialize());
}

} // namespace plat::detail
