// The cross-process lock: an open-file-description lock (F_OFD_SETLK) on a lock file. Unlike
// flock(), such a lock can be asked about without taking it (F_OFD_GETLK), so a probe never makes
// a taker starting at the same moment believe the name is held. The file is removed on release
// while the lock is still held; a taker checks after locking that its file is still the one at the
// path, so a file removed under it cannot give two holders.
#include "platform/process_lock.h"

#include "platform/errors.h"
#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace {

bool usableFolder(const char* path)
{
    struct stat st {};
    return path && *path && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode) &&
           ::access(path, W_OK | X_OK) == 0;
}

// The whole file, for writing: conflicts with any other open file description's lock on it, in
// this process or another.
struct flock wholeFile()
{
    struct flock range {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_start = 0;
    range.l_len = 0;
    range.l_pid = 0; // required by the OFD commands
    return range;
}

} // namespace

std::string ProcessLock::lockFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (usableFolder(runtime)) {
        std::string folder = runtime;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    return GetTempPath();
}

std::string ProcessLock::lockFilePath(std::string_view name)
{
    std::string file = "talverin-";
    for (char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '_' || c == '.';
        file.push_back(plain ? c : '_');
    }
    file += ".lock";
    // In the shared temporary folder, names are per user, so another user's file cannot block us.
    if (!std::getenv("XDG_RUNTIME_DIR") || lockFolder() == GetTempPath())
        file.insert(0, "u" + std::to_string(::geteuid()) + "-");
    return JoinPath(lockFolder(), file);
}

ProcessLock::~ProcessLock() { release(); }

ProcessLock::ProcessLock(ProcessLock&& other) noexcept
    : m_fd(other.m_fd), m_name(std::move(other.m_name)), m_path(std::move(other.m_path))
{
    other.m_fd = -1;
}

ProcessLock& ProcessLock::operator=(ProcessLock&& other) noexcept
{
    if (this != &other) {
        release();
        m_fd = other.m_fd;
        m_name = std::move(other.m_name);
        m_path = std::move(other.m_path);
        other.m_fd = -1;
    }
    return *this;
}

ProcessLock::Result ProcessLock::tryAcquire(std::string_view name)
{
    release();
    if (name.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return Result::Failed;
    }
    const std::string path = lockFilePath(name);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            SetLastErrorFromErrno(errno);
            return Result::Failed;
        }
        struct flock range = wholeFile();
        if (::fcntl(fd, F_OFD_SETLK, &range) != 0) {
            const int err = errno;
            ::close(fd);
            if (err == EAGAIN || err == EACCES) {
                SetLastError(ERROR_ALREADY_EXISTS);
                return Result::AlreadyHeld;
            }
            if (err == EINTR)
                continue;
            SetLastErrorFromErrno(err);
            return Result::Failed;
        }
        // The holder before us may have removed the file between our open and our lock.
        struct stat mine {};
        struct stat there {};
        if (::fstat(fd, &mine) == 0 && ::stat(path.c_str(), &there) == 0 &&
            mine.st_dev == there.st_dev && mine.st_ino == there.st_ino) {
            m_fd = fd;
            m_name = std::string(name);
            m_path = path;
            SetLastError(ERROR_SUCCESS);
            return Result::Acquired;
        }
        ::close(fd);
    }
    SetLastError(ERROR_BUSY);
    return Result::Failed;
}

void ProcessLock::release()
{
    if (m_fd < 0)
        return;
    ::unlink(m_path.c_str());
    ::close(m_fd); // drops the lock
    m_fd = -1;
    m_name.clear();
    m_path.clear();
}

bool ProcessLock::isHeld(std::string_view name)
{
    if (name.empty())
        return false;
    // Looks without locking: a holder always has its file, and a file nobody locks is not held.
    const int fd = ::open(lockFilePath(name).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    struct flock range = wholeFile();
    const bool held = ::fcntl(fd, F_OFD_GETLK, &range) == 0 && range.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

} // namespace plat
