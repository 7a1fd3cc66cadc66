// The parameter editor with one group of 2,000 generated parameters: filling the list and its
// first repaint, and 50 page-down repaints, each against a plain QTreeWidget with the same rows
// and columns in the same run (filled from the same texts); LoadFile (the tree from the store's
// nodes) and UpdateTreeIcon(0).
// Run: build/release/bin/zrparam_bench
#include <controls/ZRPARAMMembers.h>
#include <component/loader.h>
#include <component/registry.h>
#include <model/DataFile.h>
#include <platform/qt/pump.h>

#include "GeneratedUnit.h"
#include "ParamEditorForm.h"
#include "TimeReporter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTreeView>
#include <QTreeWidget>

#include <array>
#include <clocale>
#include <cstdio>
#include <map>

namespace {

using comp::InvokeKind;
using comp::Variant;
namespace ids = ctl::zrparam;

constexpr int kParameters = 2000;
constexpr int kPageDowns = 50;

struct Bench {
    model::CDataFile store;
    std::unique_ptr<bench::ParamEditorForm> editor;
    QTreeView* list = nullptr;
    QTreeWidget plain;
    std::vector<std::array<std::string, 5>> plainRows; // the editor's cell texts

    Bench()
    {
        // The benchmarks' generated parameters (four kinds in turn), all in one group.
        std::string definitions = "WRT,ONE,0,,1,0,One,0-9,,1,1,0\r";
        std::string tree = "*,,,,,,Other\r{\rWR,ONE,,,,,One\r}\r";
        bench::AppendParameterGroup(kParameters, "*,,,,,,Big", definitions, tree);
        store.ParseParameterDefinitions(definitions);
        store.ParseParameterTree(tree);
        store.PublishSharedBlock();
        editor = std::make_unique<bench::ParamEditorForm>("zrparam_bench");
        plat::qt::PumpAllPending();
        list = editor->window->findChild<QTreeView*>(QStringLiteral("1001"));

        // The plain list: a flat QTreeWidget of the same size, columns and texts.
        plain.setRootIsDecorated(false);
        plain.setUniformRowHeights(true);
        plain.setHeaderLabels({"Command", "Range", "Set value", "Unit", "Name"});
        plain.resize(list->size());
        plain.show();
        for (int i = 0; i < kParameters; ++i) {
            const model::CZRParamData* r = store.FindParameter(bench::parameterName(i));
            plainRows.push_back({r->m_name, r->GetDisplayText(), r->GetValueText(), r->m_unit, r->m_label});
        }
    }
    Variant call(comp::DISPID id, std::initializer_list<Variant> args) { return editor->call(id, args); }
    void show(const char* path) { call(ids::ShowTreeItem, {Variant::fromI4(0), Variant::fromString(path)}); }
    void fillPlain()
    {
        plain.clear();
        QList<QTreeWidgetItem*> items;
        items.reserve(kParameters);
        for (const auto& row : plainRows) {
            QStringList texts;
            for (const std::string& text : row)
                texts << QString::fromStdString(text);
            items << new QTreeWidgetItem(texts);
        }
        plain.addTopLevelItems(items);
    }
};

std::unique_ptr<Bench> g_bench;

Bench& bench()
{
    if (!g_bench)
        g_bench = std::make_unique<Bench>();
    return *g_bench;
}

const std::string first = "Big\\" + bench::parameterName(0);

void BM_EditorFillAndRepaint(benchmark::State& state)
{
    Bench& b = bench();
    for (auto _ : state) {
        state.PauseTiming();
        b.show("Other");
        state.ResumeTiming();
        b.show(first.c_str());
        b.list->viewport()->repaint();
    }
}
BENCHMARK(BM_EditorFillAndRepaint)->Unit(benchmark::kMillisecond);

void BM_PlainFillAndRepaint(benchmark::State& state)
{
    Bench& b = bench();
    for (auto _ : state) {
        b.fillPlain();
        b.plain.viewport()->repaint();
    }
}
BENCHMARK(BM_PlainFillAndRepaint)->Unit(benchmark::kMillisecond);

void pageDowns(QAbstractItemView& view)
{
    QScrollBar* bar = view.verticalScrollBar();
    if (bar->maximum() < kPageDowns * bar->pageStep() / 2) {
        std::fprintf(stderr, "zrparam_bench: the view does not scroll (%d)\n", bar->maximum());
        std::exit(1);
    }
    bar->setValue(0);
    for (int i = 0; i < kPageDowns; ++i) {
        bar->setValue(bar->value() + bar->pageStep());
        view.viewport()->repaint();
    }
}

void BM_EditorPageDowns(benchmark::State& state)
{
    Bench& b = bench();
    b.show(first.c_str());
    plat::qt::PumpAllPending();
    for (auto _ : state)
        pageDowns(*b.list);
}
BENCHMARK(BM_EditorPageDowns)->Unit(benchmark::kMillisecond);

void BM_PlainPageDowns(benchmark::State& state)
{
    Bench& b = bench();
    b.fillPlain();
    plat::qt::PumpAllPending(); // the view lays its rows out
    for (auto _ : state)
        pageDowns(b.plain);
}
BENCHMARK(BM_PlainPageDowns)->Unit(benchmark::kMillisecond);

void BM_LoadFile(benchmark::State& state)
{
    Bench& b = bench();
    for (auto _ : state)
        b.call(ids::LoadFile, {Variant::fromString(""), Variant::fromString("")});
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond);

void BM_UpdateTreeIcon(benchmark::State& state)
{
    Bench& b = bench();
    b.call(ids::LoadFile, {Variant::fromString(""), Variant::fromString("")});
    b.show(first.c_str());
    for (auto _ : state)
        b.call(ids::UpdateTreeIcon, {Variant::fromIntPtr(0)});
}
BENCHMARK(BM_UpdateTreeIcon)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    comp::Registry::setDefaultPath(TALVERIN_COMPONENT_REGISTRY);
    benchmark::Initialize(&argc, argv);
    TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const std::pair<const char*, const char*> pairs[] = {{"BM_EditorFillAndRepaint", "BM_PlainFillAndRepaint"},
                                                         {"BM_EditorPageDowns", "BM_PlainPageDowns"}};
    for (const auto& [editor, plain] : pairs) {
        const double e = reporter.ms[editor];
        const double p = reporter.ms[plain];
        if (e > 0 && p > 0)
            std::printf("%s: %.2f ms, %.2fx the plain QTreeWidget (%.2f ms)\n", editor, e, e / p, p);
    }
    std::printf("LoadFile of %d nodes: %.2f ms; UpdateTreeIcon(0): %.3f ms\n", kParameters + 3,
                reporter.ms["BM_LoadFile"], reporter.ms["BM_UpdateTreeIcon"]);
    g_bench.reset();
    comp::Loader::instance().shutdown();
    benchmark::Shutdown();
    return 0;
}
