// What the user waits for at start: InitInstance until the main window is shown (settings, unit
// definition, desktop registration, the document, the frame with its menus), offscreen, against a
// bare QMainWindow with the same menus and central widget made and shown in the same run. Prints
// both and their ratio. Shut-down is not timed.
//   build/release/bin/startup_bench
#include "talverin/CMainFrame.h"
#include "talverin/CTalverinApp.h"
#include "talverin/ShellRegistration.h"

#include <platform/clock.h>
#include <platform/paths.h>
#include <platform/qt/pump.h>

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double g_startupSeconds = 0;
double g_bareSeconds = 0;

void BM_TalverinStartup(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        talverin::CTalverinApp app;
        const bool started = app.InitInstance() && app.GetMainFrame()->isVisible();
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        total += seconds;
        if (!started) {
            state.SkipWithError("start-up failed");
            break;
        }
        app.ExitInstance();
    }
    plat::qt::PumpAllPending(plat::qt::PumpDeferredDeletes);
    g_startupSeconds = state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
}
BENCHMARK(BM_TalverinStartup)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_BareMainWindow(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        QMainWindow window;
        QMenu* file = window.menuBar()->addMenu(QStringLiteral("File(&F)"));
        for (const char* text : {"&New...", "&Open...", "&Save", "Save &As..."})
            file->addAction(QString::fromLatin1(text));
        file->addSeparator();
        file->addAction(QStringLiteral("Recent File"))->setEnabled(false);
        file->addSeparator();
        file->addAction(QStringLiteral("E&xit"));
        QMenu* help = window.menuBar()->addMenu(QStringLiteral("Help(&H)"));
        help->addAction(QStringLiteral("&Topic"));
        help->addAction(QStringLiteral("&Search"));
        help->addSeparator();
        help->addAction(QStringLiteral("&About KVX Talverin..."));
        auto* stack = new QStackedWidget(&window);
        stack->addWidget(new QWidget(stack));
        window.setCentralWidget(stack);
        window.resize(710, 526);
        window.setWindowTitle(QStringLiteral("KVX TALVERIN  3.1.1 - Oscilloscope [NewDocument]"));
        window.show();
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    plat::qt::PumpAllPending(plat::qt::PumpDeferredDeletes);
    g_bareSeconds = state.iterations() ? total / static_cast<double>(state.iterations()) : 0;
}
BENCHMARK(BM_BareMainWindow)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    // A program folder and a desktop data folder of the benchmark's own.
    char pattern[] = "/tmp/talverin-startup-benchXXXXXX";
    const fs::path folder = ::mkdtemp(pattern);
    const fs::path sample = TALVERIN_SAMPLE_DATA_DIR;
    fs::create_directories(folder / "unit");
    fs::copy_file(sample / "Talverin.ini", folder / "Talverin.ini");
    fs::copy_file(sample / "unit/kvx100.ini", folder / "unit/kvx100.ini");
    plat::SetProgramFolder(folder.string());
    ::setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
    talverin::SetMimeDatabaseUpdater({});
    // The shut-down's short pauses are not what is measured.
    plat::ManualClock clock;
    plat::ScopedClock useClock(clock);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_bareSeconds > 0)
        std::printf("start-up %.3f ms, bare window %.3f ms, ratio %.2f\n", g_startupSeconds * 1e3,
                    g_bareSeconds * 1e3, g_startupSeconds / g_bareSeconds);
    std::error_code ec;
    fs::remove_all(folder, ec);
    return 0;
}
