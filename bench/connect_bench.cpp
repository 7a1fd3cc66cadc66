// What the user waits for after Connect: from the command until the frame reports the driver
// connected (port open, the driver's answer, its identification, the lock query, the read-all
// loaded into the document, the screens told), and until every command the connection queued is
// answered (the oscilloscope screen, current at start, reads its settings), on the simulated
// KVX-100, unpaced and paced at 9600 baud, after one connection that is not measured (the first
// also brings the screen's settings into line); against all of those commands (the frame's own,
// as the driver received them at the last connection, the library's line checks left out) sent
// through the library's exports alone in the same run: open until the driver answers (its
// identification), then each in turn. Prints the commands, both times and their ratio per line.
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
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::string g_unit;
std::string g_settings;
std::map<std::string, double> g_mean; // "frame/paced", "drained/paced" ... -> seconds
// What the frame sent after the identification at its last connection (no line checks).
std::vector<std::string> g_commands;

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

// The command lines of a connection, its transcript from `from` on: after "MI", up to the
// disconnection's alarm history read, without the library's mode checks.
std::vector<std::string> connectionCommands(const std::vector<drivesim::TranscriptEntry>& transcript,
                                            std::size_t from)
{
    std::vector<std::string> commands;
    bool identified = false;
    for (std::size_t i = from; i < transcript.size(); ++i) {
        const drivesim::TranscriptEntry& entry = transcript[i];
        if (entry.kind != drivesim::TranscriptEntry::Kind::Line || entry.text.empty() || entry.text == "WWC")
            continue;
        if (entry.text == "TA/HI")
            break;
        if (identified)
            commands.push_back(entry.text);
        identified = identified || entry.text == "MI";
    }
    return commands;
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
    const auto disconnect = [&] {
        frame.OnDisconnect();
        pumpUntil([&] { return frame.m_connectionPhase == talverin::Phase::Idle && ZRComm_GetCommandCount(-1) < 0; });
    };
    frame.OnConnect();
    pumpUntil([&] { return frame.m_connectionPhase == talverin::Phase::Connected && ZRComm_GetCommandCount(-1) == 0; });
    disconnect();
    double total = 0;
    double drainedTotal = 0;
    for (auto _ : state) {
        app.GetDocument()->SetModifiedFlag(false);
        const std::size_t from = driver.sim.transcript().size();
        const auto begin = Clock::now();
        frame.OnConnect();
        const bool connected = pumpUntil([&] { return frame.m_connectionPhase == talverin::Phase::Connected; });
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        pumpUntil([&] { return ZRComm_GetCommandCount(-1) == 0; });
        drainedTotal += std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        total += seconds;
        g_commands = connectionCommands(driver.sim.transcript(), from);
        disconnect();
        if (!connected) {
            state.SkipWithError("no connection");
            break;
        }
    }
    app.ExitInstance();
    plat::qt::PumpAllPending(plat::qt::PumpDeferredDeletes);
    record(state, paced ? "frame/paced" : "frame/unpaced", total);
    record(state, paced ? "drained/paced" : "drained/unpaced", drainedTotal);
}
BENCHMARK(BM_FrameConnect)->Arg(0)->Arg(1)->Iterations(6)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_LibraryConnect(benchmark::State& state)
{
    const bool paced = state.range(0) != 0;
    Driver driver(paced);
    double total = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        bool done = !g_commands.empty();
        {
            bench::LibrarySide library;
            done = done && library.open(driver.sim.slavePath(), 9600);
            for (const std::string& text : g_commands) {
                const CommandId id = done ? library.queue(text + "\r") : 0;
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
    std::printf("the frame's commands: MI");
    for (const std::string& text : g_commands)
        std::printf(" %s", text.c_str());
    std::printf(" (%zu)\n", g_commands.size() + 1);
    for (const char* line : {"unpaced", "paced"}) {
        const double frame = g_mean[std::string("frame/") + line];
        const double drained = g_mean[std::string("drained/") + line];
        const double library = g_mean[std::string("library/") + line];
        if (library > 0)
            std::printf("%s: Connect to connected %.1f ms, to every command answered %.1f ms; the same %zu commands "
                        "through the library %.1f ms, ratio %.2f\n",
                        line, frame * 1e3, drained * 1e3, g_commands.size() + 1, library * 1e3, drained / library);
    }
    return 0;
}
