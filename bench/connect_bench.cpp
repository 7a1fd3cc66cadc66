// What the user waits for after Connect: from the command until the frame reports the driver
// connected (port open, the driver's answer, its identification, the lock query, the read-all
// loaded into the document, the screens told), on the simulated KVX-100, unpaced and paced at
// 9600 baud; against the same steps through the library's exports alone (open until the driver
// answers, "?KP", "TX0") in the same run. Prints both and their ratio per line.
//   build/release/bin/connect_bench
#include "LibrarySide.h"
#include "ProgramBench.h"

#include "talverin/CMainFrame.h"
#include "talverin/CTalverinApp.h"
#include "talverin/CTalverinDoc.h"
#include "talverin/ConnectionRules.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>
#include <platform/profile.h>

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::string g_unit;
std::string g_settings;
std::map<std::string, double> g_mean; // "frame/paced" ... -> seconds

bool pumpUntil(const std::function<bool()>& done)
{
    return bench::PumpUntil(done, std::chrono::seconds(60));
}

struct Driver {
    drivesim::DriverModel model;
    drivesim::DriverSim sim;
    explicit Driver(bool paced) : sim(options(paced))
    {
        model.load(g_unit);
        model.install(sim);
        sim.start();
    }
    static drivesim::Options options(bool paced)
    {
        drivesim::Options o;
        o.pacing = paced;
        return o;
    }
};

void record(benchmark::State& state, const std::string& key, double total)
{
    g_mean[key] = state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
}

void BM_FrameConnect(benchmark::State& state)
{
    const bool paced = state.range(0) != 0;
    Driver driver(paced);
    plat::profile::setString(g_settings, "ExtPort", "COM7", driver.sim.slavePath());
    talverin::CTalverinApp app;
    if (!app.InitInstance()) {
        state.SkipWithError("start-up failed");
        return;
    }
    talverin::CMainFrame& frame = *app.GetMainFrame();
    double total = 0;
    for (auto _ : state) {
        app.GetDocument()->SetModifiedFlag(false);
        const auto begin = Clock::now();
        frame.OnConnect();
        const bool connected = pumpUntil([&] { return frame.m_connectionPhase == talverin::Phase::Connected; });
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        total += seconds;
        frame.OnDisconnect();
        pumpUntil([&] { return frame.m_connectionPhase == talverin::Phase::Idle && ZRComm_GetCommandCount(-1) < 0; });
        if (!connected) {
            state.SkipWithError("no connection");
            break;
        }
    }
    app.ExitInstance();
    plat::qt::PumpAllPending(plat::qt::PumpDeferredDeletes);
    record(state, paced ? "frame/paced" : "frame/unpaced", total);
}
BENCHMARK(BM_FrameConnect)->Arg(0)->Arg(1)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_LibraryConnect(benchmark::State& state)
{
    const bool paced = state.range(0) != 0;
    Driver driver(paced);
    double total = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        bool done = false;
        {
            bench::LibrarySide library;
            done = library.open(driver.sim.slavePath(), 9600);
            for (const char* text : {"?KP\r", "TX0\r"}) {
                const CommandId id = done ? library.queue(text) : 0;
                done = id && library.pumpUntil([&] { return library.ended(id); });
            }
            const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
            state.SetIterationTime(seconds);
            total += seconds;
        }
        if (!done) {
            state.SkipWithError("no connection");
            break;
        }
    }
    record(state, paced ? "library/paced" : "library/unpaced", total);
}
BENCHMARK(BM_LibraryConnect)->Arg(0)->Arg(1)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    bench::SampleProgramFolder program("talverin-connect-bench");
    g_unit = program.unit;
    g_settings = program.settings;
    bench::FirstButton boxes;
    plat::ScopedMessageBoxService useBoxes(boxes);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* line : {"unpaced", "paced"}) {
        const double frame = g_mean[std::string("frame/") + line];
        const double library = g_mean[std::string("library/") + line];
        if (library > 0)
            std::printf("%s: Connect to connected %.1f ms, the three commands through the library %.1f ms, ratio %.2f\n",
                        line, frame * 1e3, library * 1e3, frame / library);
    }
    return 0;
}
