// What the benchmarks that start the whole program share: message boxes answered by their first
// button, a bounded pump, and a temporary program folder with the sample settings and unit (the
// Connect port COM7) that the program is pointed at.
#pragma once

#include "app/ShellRegistration.h"

#include <platform/message_box.h>
#include <platform/paths.h>
#include <platform/profile.h>
#include <platform/qt/pump.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace bench {

// No box may wait for a person: the first button answers.
class FirstButton : public plat::MessageBoxService {
public:
    int show(plat::HWND, const std::string&, const std::string&, plat::UINT type) override
    {
        return plat::MessageBoxButtons(type).front();
    }
};

inline bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds limit)
{
    using Clock = std::chrono::steady_clock;
    for (const auto end = Clock::now() + limit; !done();) {
        if (Clock::now() > end)
            return false;
        plat::qt::PumpAllPending();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// Made in main() before the benchmarks run; removes the folder when it goes.
struct SampleProgramFolder {
    std::filesystem::path folder;
    std::filesystem::path data = TALVERIN_SAMPLE_DATA_DIR;
    std::string unit;     // the sample unit the simulated drivers load
    std::string settings; // the program's settings file

    explicit SampleProgramFolder(const char* name)
    {
        namespace fs = std::filesystem;
        std::string pattern = std::string("/tmp/") + name + "XXXXXX";
        folder = ::mkdtemp(pattern.data());
        fs::create_directories(folder / "unit");
        fs::copy_file(data / "Talverin.ini", folder / "Talverin.ini");
        fs::copy_file(data / "unit/kvx100.ini", folder / "unit/kvx100.ini");
        unit = (data / "unit/kvx100.ini").string();
        settings = (folder / "Talverin.ini").string();
        plat::profile::setString(settings, "Port", "Connect", "COM7");
        plat::SetProgramFolder(folder.string());
        ::setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
        talverin::SetMimeDatabaseUpdater({});
    }
    ~SampleProgramFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

} // namespace bench
