// What the user waits for after Run in the download dialog: the sample document written into the
// simulated KVX-100 (connect, every record or block, disconnect), paced at 9600 baud, 8N2 as the
// program's default port; against
//   - the wire time of the bytes sent;
//   - a bare termios loop that follows the same rules: the 50 ms of silence after a final '?' or
//     ';', the 10 ms pause each read pass of the library begins with and the 10 ms pause before
//     each command that the program's queueing makes; and the same loop with the line's rules
//     alone, which shows what those pauses cost;
//   - the same commands queued one at a time through the library's exports.
// Medians of 3 runs each. Every channel block waits for the driver's question and its silence, so
// the questions alone (one per channel, one per program line) put a floor under the ratio to
// the wire time.
//   build/release/bin/transfer_bench
#include "BareLine.h"
#include "LibrarySide.h"
#include "ProgramBench.h"

#include "app/CTalverinApp.h"
#include "frame/CMainFrame.h"
#include "transfer/CTransferDlg.h"
#include "transfer/TransferRules.h"

#include <drivesim/DriverModel.h>
#include <drivesim/DriverSim.h>
#include <platform/profile.h>
#include <platform/qt/modal_dialog.h>
#include <platform/text.h>

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

std::string g_unit;
std::string g_settings;
std::string g_sample;
// Seconds of each run.
std::vector<double> g_dialog, g_library, g_bare, g_bareLineRules;
double g_wire = 0;
int g_questions = 0;

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

bool pumpUntil(const std::function<bool()>& done)
{
    return bench::PumpUntil(done, std::chrono::seconds(120));
}

// The commands the dialog sends for the sample, in order.
std::vector<std::string> SampleCommands()
{
    std::string bytes;
    plat::ReadFileBytes(g_sample, bytes);
    const std::vector<std::string> records = talverin::BuildFileSendList(bytes, true);
    std::vector<std::string> commands;
    for (std::size_t at = 0; at < records.size();) {
        const talverin::SendBlock block = talverin::NextSendBlock(records, at);
        commands.push_back(block.text);
        at = block.next;
    }
    return commands;
}

struct Driver {
    drivesim::DriverModel model;
    drivesim::DriverSim sim;
    Driver() : sim(options())
    {
        model.load(g_unit);
        model.install(sim);
        sim.start();
    }
    static drivesim::Options options()
    {
        drivesim::Options o;
        o.pacing = true;
        return o;
    }
};

void BM_DialogDownload(benchmark::State& state)
{
    Driver driver;
    plat::profile::setString(g_settings, "ExtPort", "COM7", driver.sim.slavePath());
    talverin::CTalverinApp app;
    if (!app.InitInstance()) {
        state.SkipWithError("start-up failed");
        return;
    }
    talverin::CMainFrame& frame = *app.GetMainFrame();
    bool done = true;
    plat::qt::ScopedDialogRunner runner([&](QDialog& dialog) {
        auto& transfer = dynamic_cast<talverin::CTransferDlg&>(dialog);
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        transfer.findChild<QLineEdit*>(QString::number(talverin::CTransferDlg::IDC_FILE))
            ->setText(QString::fromStdString(g_sample));
        const auto begin = Clock::now();
        transfer.OnOK();
        done = pumpUntil([&] {
            return transfer.State() == talverin::CTransferDlg::kFinished && ZRComm_GetCommandCount(-1) < 0;
        }) && transfer.FinishedResult() == 1;
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        g_dialog.push_back(seconds);
        dialog.hide();
        return int(QDialog::Rejected);
    });
    for (auto _ : state) {
        frame.OnTransfer(talverin::CTransferDlg::kDownload);
        if (!done) {
            state.SkipWithError("the download failed");
            break;
        }
    }
    app.ExitInstance();
    plat::qt::PumpAllPending(plat::qt::PumpDeferredDeletes);
}
BENCHMARK(BM_DialogDownload)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// The wire time of the bytes the commands send, at the framing the driver paced: start, data,
// parity and stop bits a byte.
double WireSeconds(const std::vector<std::string>& commands, const drivesim::LineSettings& line)
{
    std::size_t bytes = 0;
    for (const std::string& c : commands)
        bytes += c.size();
    const int bits = 1 + line.dataBits + (line.parity == 'N' ? 0 : 1) + line.stopBits;
    return static_cast<double>(bytes) * bits / 9600.0;
}

void BM_LibraryDownload(benchmark::State& state)
{
    Driver driver;
    const std::vector<std::string> commands = SampleCommands();
    for (auto _ : state) {
        const auto begin = Clock::now();
        bool done = false;
        {
            bench::LibrarySide library;
            done = library.open(driver.sim.slavePath(), 9600);
            for (const std::string& text : commands) {
                const CommandId id = done ? library.queue(text) : 0;
                done = id && library.pumpUntil([&] { return library.ended(id); });
            }
            g_wire = WireSeconds(commands, driver.sim.lineSettings());
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        g_library.push_back(seconds);
        if (!done) {
            state.SkipWithError("the download failed");
            break;
        }
    }
}
BENCHMARK(BM_LibraryDownload)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

// The identification, then every command one at a time. range(0): 1 with the pauses, 0 without.
void BM_BareDownload(benchmark::State& state)
{
    Driver driver;
    const std::vector<std::string> commands = SampleCommands();
    g_questions = 0;
    for (const std::string& c : commands)
        g_questions += static_cast<int>(std::count(c.begin(), c.end(), '\r')) - 1;
    const bool pauses = state.range(0) != 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        {
            bench::BareLine bare(bench::BareRules{50, pauses ? 10 : 0, pauses ? 10 : 0});
            if (!bare.open(driver.sim.slavePath(), 9600)) {
                state.SkipWithError("no line");
                break;
            }
            bare.exchange("WWC\r");
            bare.exchange("MI\r");
            for (const std::string& text : commands)
                bare.exchange(text);
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        (pauses ? g_bare : g_bareLineRules).push_back(seconds);
    }
}
BENCHMARK(BM_BareDownload)->Arg(1)->Arg(0)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    bench::SampleProgramFolder program("talverin-transfer-bench");
    g_unit = program.unit;
    g_settings = program.settings;
    g_sample = (program.data / "sample/kvx100_sample.zrd").string();
    bench::FirstButton boxes;
    plat::ScopedMessageBoxService useBoxes(boxes);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double dialog = Median(g_dialog), library = Median(g_library), bare = Median(g_bare),
                 lineRules = Median(g_bareLineRules);
    if (g_wire > 0 && dialog > 0 && library > 0 && bare > 0 && lineRules > 0) {
        std::printf("paced 9600, medians of %zu: the dialog's download %.0f ms; the bytes' wire time %.0f ms "
                    "(dialog/wire %.2f)\n",
                    g_dialog.size(), dialog * 1e3, g_wire * 1e3, dialog / g_wire);
        std::printf("  a bare loop with the same rules %.0f ms (dialog/bare %.2f); with the line's rules alone %.0f ms "
                    "(the pauses cost %.0f ms)\n",
                    bare * 1e3, dialog / bare, lineRules * 1e3, (bare - lineRules) * 1e3);
        std::printf("  the same commands through the library %.0f ms (dialog/library %.2f, library/bare %.2f)\n",
                    library * 1e3, dialog / library, library / bare);
        std::printf("  %d questions x 50 ms of silence alone: %.0f ms (%.2f x the wire time)\n", g_questions,
                    g_questions * 50.0, g_questions * 0.05 / g_wire);
    }
    return 0;
}
