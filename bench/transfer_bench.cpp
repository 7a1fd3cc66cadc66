// What the user waits for after Run in the download dialog: the sample document written into the
// simulated KVX-100 (connect, every record or block, disconnect), paced at 9600 baud; against the
// wire time of the bytes sent and against the same commands queued one at a time by a bare loop
// over the library's exports, in the same run. Prints both ratios.
//   build/release/bin/transfer_bench
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
double g_dialog = 0;
double g_library = 0;
double g_wire = 0;

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
    double total = 0;
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
        total += seconds;
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
    g_dialog = state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
}
BENCHMARK(BM_DialogDownload)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_LibraryDownload(benchmark::State& state)
{
    Driver driver;
    const std::vector<std::string> commands = SampleCommands();
    std::size_t bytes = 0;
    for (const std::string& c : commands)
        bytes += c.size();
    // 10 bits a byte at 9600 baud.
    g_wire = static_cast<double>(bytes) * 10.0 / 9600.0;
    double total = 0;
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
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        total += seconds;
        if (!done) {
            state.SkipWithError("the download failed");
            break;
        }
    }
    g_library = state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
}
BENCHMARK(BM_LibraryDownload)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

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
    if (g_wire > 0 && g_library > 0)
        std::printf("paced 9600: the dialog's download %.0f ms, the bytes' wire time %.0f ms (ratio %.2f), "
                    "the same commands through the library %.0f ms (ratio %.2f)\n",
                    g_dialog * 1e3, g_wire * 1e3, g_dialog / g_wire, g_library * 1e3, g_dialog / g_library);
    return 0;
}
