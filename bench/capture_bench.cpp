// Oscilloscope capture download: a whole SING capture of 1,000 and 4,080 samples (RES 50 and 204)
// through the communication library and the capture's parser, against the simulated KVX-100 on a
// pseudo-terminal. Timed: from the data fetch ("WCD") being queued to the rows handed to the scope
// (UpdateOscilloData). Paced at 57,600 baud it is printed against the wire time of the bytes the
// fetch moves (10 bits each) in the same run, and against the time the simulated driver took to
// write them (on a loaded machine its pacing runs late); unpaced it is the library's and the
// parser's cost.
//   capture_bench [benchmark options]
#include <benchmark/benchmark.h>

#include "../talverin/tests/screens/oscillo/CaptureFakes.h"

#include "screens/oscillo/OscilloCapture.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>

#include <model/DataFile.h>

#include <zrcomm/zrcomm_api.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using namespace talverin;

constexpr int kBaud = 57600;

// The screen notes when the rows reach the scope.
struct TimedScreen : capture_test::RecordingScreen {
    drivesim::DriverSim* sim = nullptr;
    Clock::time_point updated;
    std::size_t sentAtUpdate = 0;
    void scopeUpdateData(plat::LONG n, plat::LONG, plat::LONG) override
    {
        if (n > 0 && !store->m_lastCaptureReply.empty()) {
            updated = Clock::now();
            sentAtUpdate = sim->sent().size();
        }
    }
    model::CDataFile* store = nullptr;
};

// The library's queue, noting when the fetch is queued.
struct TimedPort : DriverQueue {
    LibraryDriverQueue lib;
    drivesim::DriverSim* sim = nullptr;
    Clock::time_point fetchQueued;
    std::size_t sentAtFetch = 0;
    std::int32_t queueCommand(plat::HWND w, const std::string& t, std::intptr_t tag, const char* title, std::uint32_t* e) override
    {
        if (t == "WCD\r") {
            fetchQueued = Clock::now();
            sentAtFetch = sim->sent().size();
        }
        return lib.queueCommand(w, t, tag, title, e);
    }
    CommandId sendCommandText(plat::HWND w, const std::string& t, std::intptr_t tag) override { return lib.sendCommandText(w, t, tag); }
    CommandId sendTopLevelCommandText(plat::HWND w, const std::string& t, std::intptr_t tag) override { return lib.sendTopLevelCommandText(w, t, tag); }
    std::uint32_t sendText(plat::HWND w, const std::string& t) override { return lib.sendText(w, t); }
    std::string receivedText(unsigned n) override { return lib.receivedText(n); }
    std::uint32_t lastError() override { return lib.lastError(); }
    std::uint32_t commandState(std::int32_t id) override { return lib.commandState(id); }
    std::intptr_t commandTag(std::int32_t id) override { return lib.commandTag(id); }
    std::optional<std::string> replyText(std::int32_t id, unsigned n) override { return lib.replyText(id, n); }
    std::string commandLine(std::int32_t id, unsigned n) override { return lib.commandLine(id, n); }
    std::string commandText(std::int32_t id) override { return lib.commandText(id); }
    int removeCommand(std::int32_t id) override { return lib.removeCommand(id); }
    std::uint32_t resumeCommand(std::int32_t id) override { return lib.resumeCommand(id); }
    std::uint32_t abortCommand(std::int32_t id) override { return lib.abortCommand(id); }
    int recordCount(QueueRecords kind) override { return lib.recordCount(kind); }
    CommandId findCommandAfter(CommandId after, const std::string& p) override { return lib.findCommandAfter(after, p); }
    std::vector<CommandId> commandIds() override { return lib.commandIds(); }
    std::uint32_t setCommandMode(int mode) override { return lib.setCommandMode(mode); }
    bool isConnected() override { return lib.isConnected(); }
    std::string driverIdentification() override { return lib.driverIdentification(); }
};

void Capture(benchmark::State& state)
{
    const int resolution = static_cast<int>(state.range(0));
    const bool paced = state.range(1) != 0;
    drivesim::Options options;
    options.pacing = paced;
    drivesim::DriverSim sim(options);
    drivesim::DriverModel driver;
    std::string error;
    if (!driver.load(TALVERIN_SAMPLE_DATA_DIR "/unit/kvx100.ini", &error) || (driver.install(sim), !sim.start(&error))) {
        state.SkipWithError(error.c_str());
        return;
    }
    driver.setCaptureTimeScale(0);

    TimedScreen screen;
    screen.text[OscilloId::Resolution] = std::to_string(resolution);
    screen.text[OscilloId::Time] = "0.1";
    TimedPort port;
    model::CDataFile store;
    screen.sim = port.sim = &sim;
    screen.store = &store;
    std::unique_ptr<OscilloCapture> capture;
    const plat::HWND window = plat::CreateMessageWindow([&](plat::HWND, plat::UINT m, plat::WPARAM w, plat::LPARAM l) {
        if (m == WM_COMM_COMMAND)
            capture->OnCommCommand(w, l);
        if (m == plat::WM_TIMER)
            capture->OnTimer(static_cast<unsigned>(w));
        return plat::LRESULT{0};
    });
    WindowCaptureTimers timers(window);
    capture = std::make_unique<OscilloCapture>(screen, port, timers, store, window);
    const auto pumpUntil = [&](const std::function<bool()>& done) {
        const auto end = Clock::now() + std::chrono::seconds(60);
        while (!done() && Clock::now() < end)
            if (plat::PumpMessageRange(window, 0, 0, 50) == 0)
                std::this_thread::sleep_for(std::chrono::microseconds(200));
        return done();
    };
    plat::DCB dcb;
    dcb.BaudRate = kBaud;
    dcb.ByteSize = 8;
    if (ZRComm_InitFromDCB(window, sim.slavePath().c_str(), &dcb) != COMM_OK
        || !pumpUntil([] { return ZRComm_IsConnected(nullptr, nullptr) == 1; })) {
        state.SkipWithError("no connection to the simulated driver");
        ZRComm_Term();
        plat::DestroyWindow(window);
        return;
    }
    capture->OnCommStateChanged(1, -2);

    double wireSeconds = 0, simSeconds = 0;
    for (auto _ : state) {
        store.m_lastCaptureReply.clear();
        capture->OnRun();
        if (!pumpUntil([&] { return capture->CaptureState() == CapturePhase::Idle && ZRComm_GetCommandCount(-1) == 0; })) {
            state.SkipWithError("the capture did not end");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(screen.updated - port.fetchQueued).count());
        // The command's four bytes, then everything the driver wrote for it: echo, rows, prompt.
        const std::size_t fetchBytes = 4 + screen.sentAtUpdate - port.sentAtFetch;
        wireSeconds = static_cast<double>(fetchBytes) * 10.0 / kBaud;
        // How long the simulated driver itself took to write them (its pacing under load).
        const std::vector<drivesim::Chunk> chunks = sim.sentChunks();
        std::size_t at = 0, first = chunks.size(), last = 0;
        for (std::size_t i = 0; i < chunks.size(); at += chunks[i].bytes.size(), ++i) {
            if (at >= port.sentAtFetch && at < screen.sentAtUpdate) {
                first = std::min(first, i);
                last = i;
            }
        }
        if (first < chunks.size())
            simSeconds = std::chrono::duration<double>(chunks[last].time - chunks[first].time).count();
    }
    state.counters["rows"] = static_cast<double>(store.m_oscillo.m_samples.size());
    state.counters["reply_bytes"] = static_cast<double>(store.m_lastCaptureReply.size());
    state.counters["wire_ms"] = wireSeconds * 1000.0;
    state.counters["sim_write_ms"] = simSeconds * 1000.0;
    capture.reset();
    ZRComm_Term();
    plat::PumpMessageRange(window, 0, 0, 1000);
    plat::DestroyWindow(window);
}

BENCHMARK(Capture)
    ->ArgNames({"res", "paced"})
    ->Args({50, 1})
    ->Args({204, 1})
    ->Args({50, 0})
    ->Args({204, 0})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// Prints, per paced run, the measured time against the wire time and their ratio.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto wire = run.counters.find("wire_ms");
            if (run.run_type != Run::RT_Iteration || wire == run.counters.end() || run.run_name.str().find("paced:1") == std::string::npos)
                continue;
            const double ms = run.GetAdjustedRealTime();
            const double written = run.counters.at("sim_write_ms");
            std::printf("  %s: fetch to scope %.1f ms; wire %.1f ms, ratio %.3f (goal <= 1.10); the simulated driver "
                        "took %.1f ms to write it, ratio %.3f\n",
                        run.run_name.str().c_str(), ms, double(wire->second), wire->second > 0 ? ms / wire->second : 0.0,
                        written, written > 0 ? ms / written : 0.0);
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
