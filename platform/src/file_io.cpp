// Whole-file reads and atomic whole-file writes.
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/text.h"

#include "atomic_write_faults.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plat {

namespace detail {
namespace {
std::atomic<int> g_faultStep{0};
std::atomic<int> g_faultErrno{0};
} // namespace

void SetAtomicWriteFault(AtomicWriteStep step, int err)
{
    g_faultErrno.store(err);
    g_faultStep.store(static_cast<int>(step));
}

static bool injected(AtomicWriteStep step)
{
    if (g_faultStep.load() != static_cast<int>(step))
        return false;
    errno = g_faultErrno.load();
    return true;
}
} // namespace detail

namespace {

// The process's file-creation mask, read without changing it (umask() would, for every thread).
mode_t currentUmask()
{
    if (FILE* f = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            if (std::strncmp(line, "Umask:", 6) == 0) {
                std::fclose(f);
                return static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8));
            }
        }
        std::fclose(f);
    }
    return 022;
}

bool writeAll(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes)
{
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        SetLastErrorFromErrno(EISDIR); // ERROR_ACCESS_DENIED, as on Win32
        return false;
    }
    if (st.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int err = errno;
            ::close(fd);
            bytes.clear();
            SetLastErrorFromErrno(err);
            return false;
        }
        if (n == 0)
            break;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(fd);
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines, TextEncoding* encoding)
{
    lines.clear();
    std::string bytes;
    if (!ReadFileBytes(path, bytes))
        return false;
    lines = SplitLines(DecodeText(bytes, encoding));
    return true;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes)
{
    using detail::AtomicWriteStep;
    using detail::injected;

    if (path.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    // Write through a symbolic link to its target, so the link stays a link.
    std::string target = path;
    struct stat lst {};
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved))
            target = resolved;
    }

    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode)) {
            SetLastErrorFromErrno(EISDIR); // ERROR_ACCESS_DENIED, as on Win32
            return false;
        }
        // A read-only file stays read-only: renaming over it would silently replace it.
        if (::access(target.c_str(), W_OK) != 0) {
            SetLastErrorFromErrno(errno);
            return false;
        }
    }

    const std::string folder = FolderOf(target);
    std::string temp = JoinPath(folder, "." + FileNameOf(target) + ".XXXXXX");
    int fd = -1;
    if (injected(AtomicWriteStep::Create))
        fd = -1;
    else
        fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        // A missing folder is "path not found", as on Win32.
        if (SetLastErrorFromErrno(errno) == ERROR_FILE_NOT_FOUND)
            SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }

    auto fail = [&](int err) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temp.c_str());
        SetLastErrorFromErrno(err);
        return false;
    };

    const mode_t mode = exists ? (old.st_mode & 07777) : (0666 & ~currentUmask());
    ::fchmod(fd, mode);
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        // Keep the owner when we may (running as another user on someone's file).
        [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    }

    if (injected(AtomicWriteStep::Write) || !writeAll(fd, bytes))
        return fail(errno);
    if (injected(AtomicWriteStep::Sync) || ::fsync(fd) != 0)
        return fail(errno);
    struct stat written {};
    if (::fstat(fd, &written) != 0)
        return fail(errno);
    if (static_cast<std::size_t>(written.st_size) != bytes.size())
        return fail(EIO);
    int closeError = 0;
    if (injected(AtomicWriteStep::Close)) {
        closeError = errno;
        ::close(fd);
    } else if (::close(fd) != 0) {
        closeError = errno;
    }
    fd = -1;
    if (closeError != 0)
        return fail(closeError);
    if (injected(AtomicWriteStep::Rename) || ::rename(temp.c_str(), target.c_str()) != 0)
        return fail(errno);

    // Make the rename itself durable; a failure here cannot undo the write any more.
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    SetLastError(ERROR_SUCCESS);
    return true;
}

} // namespace plat
