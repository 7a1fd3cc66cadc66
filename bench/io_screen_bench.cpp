// What the user of the I/O editor waits for, offscreen, in one run:
//  - the first switch to the screen: making form 132 (50 pin rows through the plug-in, the legend)
//    and entering it, against 50 plain rows of a button and two line edits made and shown;
//  - one state reply that changes all 25 rows' colours (decoded and set through the rows, as the
//    screen does), against the reply's time on the wire at 9600 baud.
//   build/release/bin/io_screen_bench
#include "app/CTalverinApp.h"
#include "frame/CMainFrame.h"
#include "app/ShellRegistration.h"
#include "common/AppMessages.h"
#include "controlhost/CZRCN2.h"
#include "screens/io/CViewIO.h"
#include "screens/io/IoReplies.h"

#include <platform/clock.h>
#include <platform/messages.h>
#include <platform/paths.h>
#include <platform/qt/pump.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double g_switch = 0, g_plain = 0, g_reply = 0;
// The frame of the started program, which the screen is shown for.
talverin::ScreenHost* g_host = nullptr;
std::size_t g_replyBytes = 0;

void BM_FirstSwitchToIO(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        QWidget window;
        window.resize(710, 526);
        window.show();
        const auto begin = Clock::now();
        auto* view = new talverin::CViewIO(*g_host, &window);
        view->resize(window.size());
        view->show();
        plat::SendMessage(view->GetSafeHwnd(), talverin::WM_VIEW_SWITCH, 1, talverin::CViewIO::kTemplateId);
        plat::qt::PumpAllPending();
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    plat::qt::PumpAllPending(plat::qt::PumpDeferredDeletes);
    g_switch = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FirstSwitchToIO)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_FiftyPlainRows(benchmark::State& state)
{
    double total = 0;
    for (auto _ : state) {
        QWidget window;
        window.resize(710, 526);
        window.show();
        const auto begin = Clock::now();
        auto* form = new QWidget(&window);
        for (int i = 0; i < 50; ++i) {
            auto* row = new QWidget(form);
            row->setGeometry((i / 25) * 340, (i % 25) * 26, 320, 24);
            auto* button = new QPushButton(QStringLiteral("A"), row);
            button->setGeometry(25, 1, 20, 22);
            (new QLineEdit(row))->setGeometry(50, 1, 80, 22);
            (new QLineEdit(row))->setGeometry(130, 1, 100, 22);
        }
        form->resize(700, 660);
        form->show();
        plat::qt::PumpAllPending();
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    plat::qt::PumpAllPending(plat::qt::PumpDeferredDeletes);
    g_plain = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FiftyPlainRows)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StateReplyRecolours25Rows(benchmark::State& state)
{
    QWidget window;
    auto* view = new talverin::CViewIO(*g_host, &window);
    window.resize(710, 526);
    view->resize(window.size());
    window.show();
    plat::qt::PumpAllPending();
    // Alternate all-on and all-off so that every row changes every time.
    const std::string replies[2] = {
        "INPUT  GFEDCBA9876543210\rOUTPUT 76543210\r11111111111111111\r11111111",
        "INPUT  GFEDCBA9876543210\rOUTPUT 76543210\r00000000000000000\r00000000",
    };
    // On the wire: the echo "IO0" CR LF, the reply lines with CR LF, the prompt.
    g_replyBytes = 5 + replies[0].size() + 3 + 2 + 1;
    double total = 0;
    int n = 0;
    for (auto _ : state) {
        const auto begin = Clock::now();
        for (const talverin::io::PinBit& bit : talverin::io::DecodeStateReply(replies[n++ & 1])) {
            talverin::CZRCN2 row = view->Row(bit.pin);
            const plat::LONG colour = bit.on ? talverin::io::kBadgeOn : talverin::io::kBadgeOff;
            if (row.GetNumberBackColor() != colour)
                row.SetNumberBackColor(colour);
        }
        plat::qt::PumpAllPending(); // the repaints
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    g_reply = total / static_cast<double>(state.iterations());
}
BENCHMARK(BM_StateReplyRecolours25Rows)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!std::getenv("TALVERIN_COMPONENTS"))
        setenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini", 1);
    QApplication application(argc, argv);

    char pattern[] = "/tmp/talverin-io-benchXXXXXX";
    const fs::path folder = ::mkdtemp(pattern);
    const fs::path sample = TALVERIN_SAMPLE_DATA_DIR;
    fs::create_directories(folder / "unit");
    fs::copy_file(sample / "Talverin.ini", folder / "Talverin.ini");
    fs::copy_file(sample / "unit/kvx100.ini", folder / "unit/kvx100.ini");
    plat::SetProgramFolder(folder.string());
    ::setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
    talverin::SetMimeDatabaseUpdater({});
    plat::ManualClock clock;
    plat::ScopedClock useClock(clock);
    int result = 0;
    {
        // The screen reads the data store of a started program (no driver connected).
        talverin::CTalverinApp app;
        if (!app.InitInstance()) {
            std::fprintf(stderr, "start-up failed\n");
            result = 1;
        } else {
            g_host = app.GetMainFrame();
            benchmark::Initialize(&argc, argv);
            benchmark::RunSpecifiedBenchmarks();
            benchmark::Shutdown();
            app.ExitInstance();
        }
    }
    if (g_plain > 0 && g_reply > 0) {
        const double wire = static_cast<double>(g_replyBytes) * 10.0 / 9600.0;
        std::printf("first switch %.2f ms, 50 plain rows %.2f ms, ratio %.2f\n", g_switch * 1e3, g_plain * 1e3,
                    g_switch / g_plain);
        std::printf("state reply recolouring 25 rows %.3f ms, its %zu bytes at 9600 baud %.1f ms, %.1f%% of it\n",
                    g_reply * 1e3, g_replyBytes, wire * 1e3, 100.0 * g_reply / wire);
    }
    plat::qt::PumpAllPending(plat::qt::PumpDeferredDeletes);
    std::error_code ec;
    fs::remove_all(folder, ec);
    return result;
}
