// Ends Qt's pooled worker threads before a test binary exits. The raster engine paints large
// areas on the global thread pool; a pool thread still tearing down its thread data when the
// process ends leaves that data reachable from nowhere, and the leak checker reports it.
#pragma once

#include "testsupport/wait.h"

#include <QThreadPool>

#include <filesystem>
#include <fstream>
#include <string>

namespace plat::test {

inline bool anyPooledThreadLeft()
{
    std::error_code ec;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        // The kernel keeps 15 characters of the name the pool's threads are given.
        if (name.rfind("QThreadPoolThre", 0) == 0 || name.rfind("Thread (pooled", 0) == 0)
            return true;
    }
    return false;
}

inline void endPooledThreads()
{
    QThreadPool::globalInstance()->waitForDone();
    waitUntil([] { return !anyPooledThreadLeft(); }, 2000);
}

} // namespace plat::test
