// Runs a check in a child process that has no right to override file permissions, so that
// "read-only folder" tests mean the same when the suite runs as root (as in containers).
#pragma once

#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace plat::test {

// Runs check() in a forked child as an ordinary user (nobody) when we are root, directly
// otherwise. Returns check()'s result, or false when the child could not run it.
inline bool runUnprivileged(const std::function<bool()>& check)
{
    if (::geteuid() != 0)
        return check();
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace plat::test
