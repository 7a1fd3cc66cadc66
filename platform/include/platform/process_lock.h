// A lock by name that other processes see: a lock on a lock file under $XDG_RUNTIME_DIR (or
// the temporary folder when that is not usable). Only one holder at a time, in this process or
// any other; the kernel drops the lock when the holder's process ends, however it ends, so a
// crashed holder never blocks the name. Lock files are not inherited by started processes.
#pragma once

#include <string>
#include <string_view>

namespace plat {

class ProcessLock {
public:
    enum class Result {
        Acquired,    // this object now holds the lock
        AlreadyHeld, // someone else (another process, or another ProcessLock here) holds it
        Failed,      // the lock file could not be made; GetLastError() says why
    };

    ProcessLock() = default;
    ~ProcessLock(); // releases
    ProcessLock(ProcessLock&& other) noexcept;
    ProcessLock& operator=(ProcessLock&& other) noexcept;
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;

    // Tries once, without waiting. Acquiring while already holding a lock releases that first.
    Result tryAcquire(std::string_view name);
    void release();
    bool held() const { return m_fd >= 0; }
    const std::string& name() const { return m_name; }

    // Is the name held by anyone right now? Only looks: a taker starting meanwhile is not disturbed.
    static bool isHeld(std::string_view name);
    // The folder of the lock files and the file of a name (characters other than letters, digits,
    // '-', '_' and '.' in the name become '_').
    static std::string lockFolder();
    static std::string lockFilePath(std::string_view name);

private:
    int m_fd = -1;
    std::string m_name;
    std::string m_path;
};

} // namespace plat
