// The start screen's mouse tracking: a move to another row repaints only the row that lost and the
// row that got the pointer (each row draws its text 26 times for the outline), against a repaint
// of the whole screen, on the sample program folder's bitmap and five entries, offscreen. Prints
// the time per move and per whole repaint, and the rows each one drew.
//   build/release/bin/start_screen_bench
#include "app/CTalverinApp.h"
#include "app/ShellRegistration.h"
#include "frame/CMainFrame.h"
#include "frame/CStartDlg.h"

#include <platform/clock.h>
#include <platform/paths.h>
#include <platform/qt/pump.h>

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

talverin::CStartDlg* g_start = nullptr;
double g_rowsPerMove = 0;
double g_rowsPerRepaint = 0;

void moveTo(QWidget& widget, int y)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(200, y), QPointF(200, y), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

void BM_MoveBetweenRows(benchmark::State& state)
{
    talverin::CStartDlg& start = *g_start;
    const int rows[2] = {start.RowRect(0).center().y(), start.RowRect(3).center().y()};
    const int before = start.RowsDrawn();
    int next = 0;
    for (auto _ : state) {
        moveTo(start, rows[next]);
        next ^= 1;
        plat::qt::PumpAllPending();
    }
    g_rowsPerMove = double(start.RowsDrawn() - before) / double(state.iterations());
    state.counters["rows"] = g_rowsPerMove;
}
BENCHMARK(BM_MoveBetweenRows)->Unit(benchmark::kMicrosecond);

void BM_RepaintWholeScreen(benchmark::State& state)
{
    talverin::CStartDlg& start = *g_start;
    const int before = start.RowsDrawn();
    for (auto _ : state)
        start.repaint();
    g_rowsPerRepaint = double(start.RowsDrawn() - before) / double(state.iterations());
    state.counters["rows"] = g_rowsPerRepaint;
}
BENCHMARK(BM_RepaintWholeScreen)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);

    char pattern[] = "/tmp/talverin-start-benchXXXXXX";
    const fs::path folder = ::mkdtemp(pattern);
    const fs::path sample = TALVERIN_SAMPLE_DATA_DIR;
    fs::create_directories(folder / "unit");
    for (const char* file : {"Talverin.ini", "start.bmp", "unit/kvx100.ini"})
        fs::copy_file(sample / file, folder / file);
    plat::SetProgramFolder(folder.string());
    ::setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
    talverin::SetMimeDatabaseUpdater({});
    plat::ManualClock clock;
    plat::ScopedClock useClock(clock);

    int status = 1;
    {
        talverin::CTalverinApp app;
        if (app.InitInstance()) {
            plat::qt::PumpAllPending(); // start-up posted the start screen
            g_start = app.GetMainFrame()->StartDialog();
        }
        if (g_start && g_start->HasBitmap()) {
            benchmark::Initialize(&argc, argv);
            benchmark::RunSpecifiedBenchmarks();
            benchmark::Shutdown();
            std::printf("rows drawn per move %.1f, per whole repaint %.1f\n", g_rowsPerMove, g_rowsPerRepaint);
            status = 0;
        } else {
            std::fputs("start_screen_bench: the start screen did not come up with its bitmap\n", stderr);
        }
        g_start = nullptr;
        app.ExitInstance();
    }
    plat::qt::PumpAllPending(plat::qt::PumpDeferredDeletes);
    std::error_code ec;
    fs::remove_all(folder, ec);
    return status;
}
