// What one scan level costs the bar graph: the level store alone, the graph panel on the offscreen
// platform (store plus repaint scheduling), the panel with its event loop running as in the
// program (the coalesced paints included), and for comparison a whole repaint per level.
// Every iteration is one level; the time column is the cost per level.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "BenchSweepSamples.h"
#include "BenchWidgets.h"

#include "scanner/CnxCtrlScopeView.h"
#include "scanner/CnxK740RXCtrlScannerGraph.h"
#include "scanner/ScopeView.h"

namespace {

class CountingDisplay : public InxScopeDisplay {
public:
    int64_t points = 0;
    void SchedulePointRepaint(int) override { ++points; }
    void ScheduleRepaint() override {}
    void ReadOutChanged() override {}
    void VisiblePartChanged() override {}
    TextExtent MeasureText(const QString& text) const override {
        return {7 * int(text.size()), 13, 13};
    }
};

void PerLevel(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("Time = ns/level");
}

void BM_StoreAddLevel(benchmark::State& state) {
    ScopeView view;
    CountingDisplay display;
    view.SetDisplay(&display);
    view.SetPlot(QRect(60, 10, 900, 300));
    view.SetVisible(true);
    view.SetRun(1);
    view.SetRunning(true);
    int64_t i = 0;
    for (auto _ : state) {
        view.AddLevel(SampleFor(i++));
    }
    benchmark::DoNotOptimize(display.points);
    PerLevel(state);
}
BENCHMARK(BM_StoreAddLevel);

// The graph as the program shows it, at its initial size.
struct ShownGraph {
    CnxK740RXCtrlScannerGraph graph{nullptr, 0};
    ShownGraph() {
        graph.resize(560, 300);
        graph.show();
        QCoreApplication::processEvents();
        graph.ShowScan(CnxK740RXCtrlScannerGraph::kScanRunning, 1);
    }
};

void BM_PanelAddLevel(benchmark::State& state) {
    ShownGraph shown;
    int64_t i = 0;
    for (auto _ : state) {
        shown.graph.AddLevel(SampleFor(i++));
    }
    PerLevel(state);
}
BENCHMARK(BM_PanelAddLevel);

void BM_PanelAddLevelWithEventLoop(benchmark::State& state) {
    ShownGraph shown;
    int64_t i = 0;
    for (auto _ : state) {
        shown.graph.AddLevel(SampleFor(i++));
        QCoreApplication::processEvents();
    }
    PerLevel(state);
}
BENCHMARK(BM_PanelAddLevelWithEventLoop)->UseRealTime();

void BM_PanelWholeRepaintPerLevel(benchmark::State& state) {
    ShownGraph shown;
    int64_t i = 0;
    for (auto _ : state) {
        shown.graph.AddLevel(SampleFor(i++));
        shown.graph.GetScopeWindow()->repaint();
    }
    PerLevel(state);
}
BENCHMARK(BM_PanelWholeRepaintPerLevel)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return RunWidgetBenchmarks(argc, argv);
}
