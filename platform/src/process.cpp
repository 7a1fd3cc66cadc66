// Child processes through posix_spawn. A child whose Process object is dropped while it runs is
// remembered and reaped on later calls, so no zombie stays behind.
#include "platform/process.h"

#include "platform/errors.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <mutex>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace plat {

namespace {

std::mutex g_orphanMutex;
std::vector<pid_t>& orphans()
{
    static auto* list = new std::vector<pid_t>();
    return *list;
}

void reapOrphans()
{
    std::lock_guard lock(g_orphanMutex);
    auto& list = orphans();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [](pid_t pid) {
                                  int status = 0;
                                  const pid_t r = ::waitpid(pid, &status, WNOHANG);
                                  return r == pid || (r < 0 && errno == ECHILD);
                              }),
               list.end());
}

int statusToExitCode(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

} // namespace

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }

Process::~Process() { disown(); }

Process::Process(Process&& other) noexcept
    : m_pid(other.m_pid), m_running(other.m_running), m_exitCode(other.m_exitCode)
{
    other.m_pid = 0;
    other.m_running = false;
    other.m_exitCode = -1;
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        disown();
        m_pid = other.m_pid;
        m_running = other.m_running;
        m_exitCode = other.m_exitCode;
        other.m_pid = 0;
        other.m_running = false;
        other.m_exitCode = -1;
    }
    return *this;
}

void Process::disown()
{
    if (m_running && m_pid > 0 && !reap(false)) {
        std::lock_guard lock(g_orphanMutex);
        orphans().push_back(m_pid);
    }
    m_running = false;
}

bool Process::start(const std::vector<std::string>& argv, const std::string& workingFolder)
{
    reapOrphans();
    if (m_running && isRunning()) {
        SetLastError(ERROR_BUSY);
        return false;
    }
    if (argv.empty() || argv[0].empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());

    // The child starts with no blocked signals and default handlers, whatever this process
    // (and Qt's threads) did with them.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attr, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGCHLD, SIGQUIT})
        sigaddset(&defaults, sig);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int err = ::posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (err != 0) {
        SetLastError(err == ENOENT ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(err));
        return false;
    }
    m_pid = pid;
    m_running = true;
    m_exitCode = -1;
    SetLastError(ERROR_SUCCESS);
    return true;
}

bool Process::reap(bool block)
{
    if (!m_running)
        return true;
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
    } while (r < 0 && errno == EINTR);
    if (r == m_pid) {
        m_running = false;
        m_exitCode = statusToExitCode(status);
        return true;
    }
    if (r < 0) { // not our child any more (reaped elsewhere)
        m_running = false;
        return true;
    }
    return false;
}

bool Process::isRunning()
{
    if (!m_running)
        return false;
    return !reap(false);
}

bool Process::wait(DWORD timeoutMs)
{
    if (!m_running)
        return true;
    if (timeoutMs == INFINITE)
        return reap(true);
    using namespace std::chrono;
    const auto end = steady_clock::now() + milliseconds(timeoutMs);
    auto step = milliseconds(1);
    for (;;) {
        if (reap(false))
            return true;
        const auto now = steady_clock::now();
        if (now >= end)
            return false;
        std::this_thread::sleep_for(std::min<steady_clock::duration>(step, end - now));
        step = std::min(step * 2, milliseconds(20));
    }
}

bool Process::stop(DWORD graceMs)
{
    if (!m_running || !isRunning())
        return true;
    ::kill(m_pid, SIGTERM);
    if (wait(graceMs))
        return true;
    ::kill(m_pid, SIGKILL);
    return wait(INFINITE);
}

} // namespace plat
