// Where the log file goes.
#include "comm_log.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zrcomm {
namespace {

constexpr const char* kLogName = "ZRCOMM.log";

// Whether the log can be written in this folder, without touching an existing log (its previous
// contents are still to be copied to the ".bak" file).
bool writableFolder(const std::string& folder)
{
    if (folder.empty())
        return false;
    const std::string log = folder + "/" + kLogName;
    const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return true;
    }
    if (errno != ENOENT)
        return false;
    const std::string probe = folder + "/.ZRCOMM.log.probe" + std::to_string(::getpid());
    const int p = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (p < 0)
        return false;
    ::close(p);
    ::unlink(probe.c_str());
    return true;
}

bool makeFolders(const std::string& path)
{
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos != path.size() && path[pos] != '/')
            continue;
        const std::string part = path.substr(0, pos);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The lock on the log file this process writes, held until it ends (the kernel lets it go).
int g_logLock = -1;

bool lockFile(const std::string& name)
{
    const int fd = ::open(name.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    g_logLock = fd;
    return true;
}

} // namespace

std::string ClaimLogFile(const std::string& name)
{
    if (name.empty())
        return {};
    if (g_logLock >= 0)
        ::close(g_logLock); // an earlier claim of this process is given up first
    g_logLock = -1;
    if (lockFile(name))
        return name;
    // Numbered names, the first one free: a program started beside a running one gets a file of its
    // own, and the names are used again instead of piling up.
    const std::size_t dot = name.rfind(".log");
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    for (int i = 1; i <= 99; ++i) {
        const std::string other = stem + "." + std::to_string(i) + ".log";
        if (lockFile(other))
            return other;
    }
    return stem + "." + std::to_string(::getpid()) + ".log";
}

std::string ChooseLogFile(const std::string& programFolder)
{
    if (writableFolder(programFolder))
        return programFolder + "/" + kLogName;
    std::string state;
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && xdg[0] == '/')
        state = xdg;
    else if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        state = std::string(home) + "/.local/state";
    if (state.empty())
        return {};
    const std::string folder = state + "/talverin";
    if (!makeFolders(folder) || !writableFolder(folder))
        return {};
    return folder + "/" + kLogName;
}

} // namespace zrcomm
