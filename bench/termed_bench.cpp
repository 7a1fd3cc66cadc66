// The terminal edit control's output path: 1 MB of driver text in 80-character lines (CR LF
// ends) through AddString in 64-byte chunks, as the terminal screen receives it, on a shown box;
// against a plain QPlainTextEdit appending the same chunks with a block limit, in the same run.
// Prints characters per second, the multiple of the 57600-baud line rate (5,760 characters a
// second) and the control's time over the plain widget's.
//   termed_bench [Google Benchmark options, e.g. --benchmark_repetitions=5]
#include <controls/ZRTERMEDMembers.h>

#include <component/loader.h>

#include "MedianReporter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kChunk = 64;
constexpr double kLineRate = 5760.0;

const std::string& driverText()
{
    static const std::string text = [] {
        std::string t;
        for (int line = 0; t.size() < 1024 * 1024; ++line) {
            std::string l = "P" + std::to_string(line % 1000) + " = ";
            while (l.size() < 78)
                l += static_cast<char>('0' + (l.size() + line) % 10);
            t += l + "\r\n";
        }
        return t;
    }();
    return text;
}

void report(benchmark::State& state)
{
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * driverText().size()));
}

void TerminalControl(benchmark::State& state)
{
    auto made = comp::Loader::instance().create(ctl::kZRTERMEDIdentity.clsid);
    if (!made.ok()) {
        state.SkipWithError(made.error.c_str());
        return;
    }
    QWidget form;
    form.resize(640, 400);
    QWidget* box = made.control->createWidget(&form);
    box->setGeometry(0, 0, 640, 400);
    form.show();
    const std::string& text = driverText();
    for (auto _ : state) {
        for (std::size_t i = 0; i < text.size(); i += kChunk)
            made.control->invoke(ctl::zrtermed::AddString, comp::InvokeKind::Method,
                                 {comp::Variant::fromString(text.substr(i, kChunk)), comp::Variant::fromBool(false)});
        QApplication::processEvents();
    }
    report(state);
}

void PlainTextEdit(benchmark::State& state)
{
    QPlainTextEdit edit;
    edit.resize(640, 400);
    edit.setUndoRedoEnabled(false);
    edit.setMaximumBlockCount(400); // about the control's 32767 characters in these lines
    edit.show();
    const std::string& text = driverText();
    for (auto _ : state) {
        for (std::size_t i = 0; i < text.size(); i += kChunk) {
            const std::string chunk = text.substr(i, kChunk);
            edit.moveCursor(QTextCursor::End);
            edit.insertPlainText(QString::fromLatin1(chunk.data(), static_cast<qsizetype>(chunk.size())));
            edit.verticalScrollBar()->setValue(edit.verticalScrollBar()->maximum());
        }
        QApplication::processEvents();
    }
    report(state);
}

BENCHMARK(TerminalControl)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainTextEdit)->Unit(benchmark::kMillisecond);


} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    if (!std::getenv("TALVERIN_COMPONENTS"))
        setenv("TALVERIN_COMPONENTS", TALVERIN_BIN_DIR "/components.ini", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // Characters per second from each case's median time (in milliseconds).
    const auto rate = [&reporter](const char* name) {
        const double ms = reporter.median(name);
        return ms > 0 ? static_cast<double>(driverText().size()) * 1000.0 / ms : 0.0;
    };
    const double control = rate("TerminalControl");
    const double plain = rate("PlainTextEdit");
    std::printf("\n%-16s %14s %14s\n", "case", "chars/s", "x line rate");
    for (const auto& [name, value] : {std::pair{"PlainTextEdit", plain}, std::pair{"TerminalControl", control}})
        std::printf("%-16s %14.0f %14.1f\n", name, value, value / kLineRate);
    if (control > 0 && plain > 0)
        std::printf("control time / plain widget time: %.2f (aim: at most 2)\n", plain / control);
    std::printf("line rate: 57600 baud = %.0f chars/s (aim: the control at least 10x)\n", kLineRate);
    comp::Loader::instance().shutdown();
    return 0;
}
