// Starting another program with an argument vector (no shell), asking it to stop, and waiting
// for it. Ended children are always reaped, also those whose Process object is gone.
#pragma once

#include "platform/types.h"

#include <string>
#include <vector>

#include <sys/types.h>

namespace plat {

DWORD GetCurrentProcessId();

class Process {
public:
    Process() = default;
    // Does not stop a running child; it is reaped later when it ends.
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // argv[0] is the program: a path, or a bare name searched in PATH. workingFolder empty: the
    // current one. False with the last error set when it cannot be started (ERROR_FILE_NOT_FOUND
    // for a missing program) or when this object still runs a child.
    bool start(const std::vector<std::string>& argv, const std::string& workingFolder = {});

    pid_t pid() const { return m_pid; } // 0 when none was started
    bool isRunning();
    // Waits up to timeoutMs (INFINITE: no limit) for the end; true when it ended.
    bool wait(DWORD timeoutMs = INFINITE);
    // Exit status once ended: the exit code, or 128 + signal number when a signal ended it;
    // -1 while running or when nothing was started.
    int exitCode() const { return m_exitCode; }
    // SIGTERM, then SIGKILL when it has not ended within graceMs; waits for the end. True when it
    // has ended (also when it had ended before).
    bool stop(DWORD graceMs = 3000);

private:
    bool reap(bool block);
    void disown();

    pid_t m_pid = 0;
    bool m_running = false;
    int m_exitCode = -1;
};

} // namespace plat
