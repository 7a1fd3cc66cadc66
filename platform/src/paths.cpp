// Module paths, the program folder, path pieces and temporary files.
#include "platform/paths.h"

#include "platform/errors.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <vector>

#include <cstdint>

#include <dlfcn.h>
#include <link.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

std::mutex g_folderMutex;
std::string g_programFolderOverride;

std::size_t lastSeparator(std::string_view path)
{
    return path.find_last_of("/\\");
}

std::string executablePath()
{
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) {
        SetLastErrorFromErrno(errno);
        return {};
    }
    buf[n] = '\0';
    return buf;
}

struct ContainsQuery {
    std::uintptr_t address;
    bool first = true;
    bool inExecutable = false;
};

int checkObject(dl_phdr_info* info, std::size_t, void* data)
{
    auto* q = static_cast<ContainsQuery*>(data);
    const bool isFirst = q->first;
    q->first = false;
    if (!isFirst)
        return 1; // the executable is always reported first
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        if (ph.p_type != PT_LOAD)
            continue;
        const std::uintptr_t start = info->dlpi_addr + ph.p_vaddr;
        if (q->address >= start && q->address < start + ph.p_memsz) {
            q->inExecutable = true;
            return 1;
        }
    }
    return 1;
}

bool isInExecutable(const void* address)
{
    ContainsQuery q{reinterpret_cast<std::uintptr_t>(address)};
    ::dl_iterate_phdr(checkObject, &q);
    return q.inExecutable;
}

// Installed, the programs are in <prefix>/bin, their folder's files in <prefix>/share/talverin and
// the plug-ins in <prefix>/lib/talverin; built, all of it is beside the programs. The build passes
// the installed folders relative to the programs'.
#ifndef TALVERIN_INSTALLED_DATA_FROM_BIN
#define TALVERIN_INSTALLED_DATA_FROM_BIN "../share/talverin"
#endif
#ifndef TALVERIN_INSTALLED_PLUGINS_FROM_BIN
#define TALVERIN_INSTALLED_PLUGINS_FROM_BIN "../lib/talverin"
#endif

bool holdsSettings(const std::string& folder)
{
    struct stat st {};
    return ::stat(JoinPath(folder, "Talverin.ini").c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// "a/bin/../share/x" -> "a/share/x", without following links.
std::string withoutDotDot(const std::string& path)
{
    std::vector<std::string> parts;
    for (std::size_t from = 0; from <= path.size();) {
        std::size_t to = path.find('/', from);
        if (to == std::string::npos)
            to = path.size();
        const std::string part = path.substr(from, to - from);
        if (part == ".." && !parts.empty() && parts.back() != "..")
            parts.pop_back();
        else if (!part.empty() && part != ".")
            parts.push_back(part);
        from = to + 1;
    }
    std::string out = path.starts_with('/') ? "/" : "";
    for (std::size_t i = 0; i < parts.size(); ++i)
        out += (i ? "/" : "") + parts[i];
    return out.empty() ? "." : out;
}

// The installed folder relative to the programs' folder, when the programs run installed: their
// own folder holds no settings file and the installed data folder does.
std::string installedFolder(const char* fromBin)
{
    const std::string exe = executablePath();
    if (exe.empty())
        return {};
    const std::string bin = FolderOf(exe);
    const std::string data = withoutDotDot(JoinPath(bin, TALVERIN_INSTALLED_DATA_FROM_BIN));
    if (holdsSettings(bin) || !holdsSettings(data))
        return {};
    return withoutDotDot(JoinPath(bin, fromBin));
}

} // namespace

std::string GetModuleFileName(const void* addressInModule)
{
    if (!addressInModule) {
        std::string path = executablePath();
        if (!path.empty())
            SetLastError(ERROR_SUCCESS);
        return path;
    }
    Dl_info info{};
    if (::dladdr(addressInModule, &info) == 0 || !info.dli_fname || !*info.dli_fname) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    // The executable itself is reported by the name it was started with, which may be relative
    // to a folder we have left: ask the kernel for its path instead.
    if (isInExecutable(addressInModule))
        return GetModuleFileName(nullptr);
    char resolved[PATH_MAX];
    if (::realpath(info.dli_fname, resolved)) {
        SetLastError(ERROR_SUCCESS);
        return resolved;
    }
    SetLastError(ERROR_SUCCESS);
    return info.dli_fname;
}

std::string GetProgramFolder()
{
    {
        std::lock_guard lock(g_folderMutex);
        if (!g_programFolderOverride.empty())
            return g_programFolderOverride;
    }
    if (std::string installed = installedFolder(TALVERIN_INSTALLED_DATA_FROM_BIN); !installed.empty())
        return installed;
    const std::string exe = executablePath();
    return exe.empty() ? std::string(".") : FolderOf(exe);
}

std::string GetPluginFolder()
{
    {
        std::lock_guard lock(g_folderMutex);
        if (!g_programFolderOverride.empty())
            return g_programFolderOverride;
    }
    std::string installed = installedFolder(TALVERIN_INSTALLED_PLUGINS_FROM_BIN);
    return installed.empty() ? GetProgramFolder() : installed;
}

void SetProgramFolder(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    std::lock_guard lock(g_folderMutex);
    g_programFolderOverride = std::move(folder);
}

std::string FolderOf(std::string_view path)
{
    const std::size_t pos = lastSeparator(path);
    if (pos == std::string_view::npos)
        return ".";
    if (pos == 0)
        return "/";
    return std::string(path.substr(0, pos));
}

std::string FileNameOf(std::string_view path)
{
    const std::size_t pos = lastSeparator(path);
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    if (!name.empty() && name.front() == '/')
        return std::string(name);
    if (folder.empty())
        return std::string(name);
    std::string out(folder);
    if (out.back() != '/')
        out.push_back('/');
    out.append(name);
    return out;
}

std::string ReplaceExtension(std::string_view path, std::string_view extension)
{
    const std::size_t sep = lastSeparator(path);
    const std::size_t nameStart = sep == std::string_view::npos ? 0 : sep + 1;
    const std::size_t dot = path.find_last_of('.');
    std::string out(path);
    if (dot != std::string_view::npos && dot > nameStart)
        out.resize(dot);
    if (!extension.empty() && extension.front() != '.')
        out.push_back('.');
    out.append(extension);
    return out;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string GetTempPath()
{
    if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp && DirectoryExists(tmp)) {
        std::string folder = tmp;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    return "/tmp";
}

std::string GetTempFileName(std::string_view folder, std::string_view prefix)
{
    const std::string dir = folder.empty() ? GetTempPath() : std::string(folder);
    std::string name = JoinPath(dir, std::string(prefix.substr(0, 3)) + "XXXXXX.tmp");
    const int fd = ::mkostemps(name.data(), 4, O_CLOEXEC);
    if (fd < 0) {
        SetLastErrorFromErrno(errno);
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            SetLastError(ERROR_PATH_NOT_FOUND);
        return {};
    }
    ::close(fd);
    SetLastError(ERROR_SUCCESS);
    return name;
}

} // namespace plat
