// The channel editor's list against a plain QTableWidget holding the same rows, offscreen: listing
// a 1,024-line channel up to its first paint, and pasting 1,000 clipboard rows up to the paint
// after it. Prints each figure and the ratios editor / table widget.
#include "common/ClipboardHelpers.h"
#include "screens/channel/CViewChannel.h"
#include "screens/channel/ChannelListView.h"
#include "screens/channel/ChannelText.h"

#include <model/DataFile.h>

#include <QApplication>
#include <QMainWindow>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kListLines = 1024;
constexpr int kPasteRows = 1000;

std::string lineOf(int i) { return (i % 2 ? "MOV\t+" : "SPD\t") + std::to_string(i) + "\t"; }

std::string clipboardText()
{
    std::string text;
    for (int i = 0; i < kPasteRows; ++i)
        text += std::to_string(i) + "\t" + lineOf(i) + "\r\n";
    return text;
}

// A store with the sample unit and every channel known; channel 0 holds `lines` lines.
struct Editor {
    explicit Editor(int lines)
    {
        store.LoadDefinition(std::string(TALVERIN_SAMPLE_DATA_DIR) + "/unit/kvx100.ini");
        for (int ch = 0; ch < 256; ++ch) {
            model::CChannelProgram* p = store.GetChannelProgram(ch);
            p->m_lineCount = 0;
            p->m_currentLine = 0;
        }
        model::CChannelProgram* p = store.GetChannelProgram(0);
        for (int i = 0; i < lines; ++i)
            p->AddLine(lineOf(i));
        p->m_lineCount = lines;
        view = new talverin::CViewChannel(store, {});
        window.setCentralWidget(view);
        window.resize(700, 500);
        window.show();
        view->OnViewSwitch(true, 174);
    }
    model::CDataFile store;
    QMainWindow window;
    talverin::CViewChannel* view = nullptr;
};

void fillTable(QTableWidget& table, int row, const talverin::ChannelRow& r)
{
    table.setItem(row, 1, new QTableWidgetItem(QString::number(row)));
    table.setItem(row, 2, new QTableWidgetItem(QString::fromStdString(r.command)));
    table.setItem(row, 3, new QTableWidgetItem(QString::fromStdString(r.data)));
    table.setItem(row, 4, new QTableWidgetItem(QString::fromStdString(r.comment)));
}

void EditorList1024(benchmark::State& state)
{
    Editor editor(kListLines);
    for (auto _ : state) {
        editor.view->ShowChannel(1, 0);
        editor.view->ShowChannel(0, 0);
        benchmark::DoNotOptimize(editor.view->List()->viewport()->grab());
    }
}

void TableWidgetList1024(benchmark::State& state)
{
    QTableWidget table(0, 5);
    table.resize(680, 440);
    table.show();
    for (auto _ : state) {
        table.setRowCount(0);
        table.setRowCount(kListLines);
        for (int i = 0; i < kListLines; ++i) {
            talverin::ChannelRow r = talverin::LineToRow(lineOf(i));
            r.comment = i % 2 ? "Move relative" : "Speed";
            fillTable(table, i, r);
        }
        benchmark::DoNotOptimize(table.viewport()->grab());
    }
}

void EditorPaste1000(benchmark::State& state)
{
    Editor editor(0);
    const std::string text = clipboardText();
    for (auto _ : state) {
        state.PauseTiming();
        talverin::CopyTextToClipboard(text.c_str());
        editor.view->ShowChannel(1, 0);
        editor.view->ShowChannel(0, 0);
        state.ResumeTiming();
        editor.view->Commands().execute(talverin::CViewChannel::ID_EDIT_PASTE);
        benchmark::DoNotOptimize(editor.view->List()->viewport()->grab());
    }
}

void TableWidgetPaste1000(benchmark::State& state)
{
    QTableWidget table(0, 5);
    table.resize(680, 440);
    table.show();
    const std::string text = clipboardText();
    for (auto _ : state) {
        state.PauseTiming();
        table.setRowCount(1);
        state.ResumeTiming();
        const talverin::PasteText paste = talverin::ParsePasteText(text);
        int row = 0;
        for (const auto& r : paste.rows) {
            table.insertRow(row);
            fillTable(table, row++, r);
        }
        benchmark::DoNotOptimize(table.viewport()->grab());
    }
}

BENCHMARK(EditorList1024)->Unit(benchmark::kMillisecond);
BENCHMARK(TableWidgetList1024)->Unit(benchmark::kMillisecond);
BENCHMARK(EditorPaste1000)->Unit(benchmark::kMillisecond);
BENCHMARK(TableWidgetPaste1000)->Unit(benchmark::kMillisecond);

class TimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    auto& t = reporter.times;
    if (t["TableWidgetList1024"] > 0)
        std::printf("\nlisting 1,024 lines, editor / table widget: %.2f\n", t["EditorList1024"] / t["TableWidgetList1024"]);
    if (t["TableWidgetPaste1000"] > 0)
        std::printf("pasting 1,000 rows, editor / table widget: %.2f\n", t["EditorPaste1000"] / t["TableWidgetPaste1000"]);
    return 0;
}
