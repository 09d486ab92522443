// What a sweep costs the sweep history: a row of 99 levels into the ring alone; the history view
// on the offscreen platform taking the row and painting what it changed (the picture moves down a
// row and only the new row is painted, as the view's repaint tick does when a row came in), with
// the event loop running as in the program; and, for comparison, the view repainted whole for
// every row. Every iteration is one row of 99 points; the time column is the cost per row. The
// last line states the memory of eight receivers' histories of 500 sweeps each, and the bound
// that holds however fine a pass is.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <vector>

#include "BenchSweepSamples.h"
#include "BenchWidgets.h"
#include "scanner/CnxCtrlSweepHistory.h"
#include "scanner/CnxSweepHistory.h"
#include "scanner/ScopeView.h"

namespace {

void PerRow(benchmark::State& state, int64_t rows) {
    state.SetItemsProcessed(state.iterations());
    state.SetLabel("Time = per row of 99 points");
    state.counters["rows_made"] = double(rows);
}

void BM_RingAddRow(benchmark::State& state) {
    CnxSweepHistory history(kBandPoints);
    int64_t i = 0;
    for (auto _ : state) {
        for (int point = 0; point < kBandPoints; ++point, ++i) {
            history.Add(SampleFor(i), i);
        }
    }
    PerRow(state, int64_t(history.GetRowsMade()));
}
BENCHMARK(BM_RingAddRow);

// The history view as the program shows it under the graph of a window of 1280 x 800.
struct ShownHistory {
    ScopeView points;
    CnxCtrlSweepHistory view{nullptr, points};
    int64_t i = 0;
    ShownHistory() {
        view.resize(1000, 160);
        view.show();
        QCoreApplication::processEvents();
    }
    void AddRow() {
        for (int point = 0; point < kBandPoints; ++point, ++i) {
            view.AddSample(SampleFor(i), i);
        }
    }
};

void BM_ViewAddRowAndPaintIt(benchmark::State& state) {
    ShownHistory shown;
    for (auto _ : state) {
        shown.AddRow();
        shown.view.ShowNewRows();  // what the tick does
        QCoreApplication::processEvents();
    }
    PerRow(state, int64_t(shown.view.GetHistory().GetRowsMade()));
}
BENCHMARK(BM_ViewAddRowAndPaintIt)->UseRealTime();

void BM_ViewAddRowAndPaintAll(benchmark::State& state) {
    ShownHistory shown;
    for (auto _ : state) {
        shown.AddRow();
        shown.view.repaint();
    }
    PerRow(state, int64_t(shown.view.GetHistory().GetRowsMade()));
}
BENCHMARK(BM_ViewAddRowAndPaintAll)->UseRealTime();

// Eight receivers' histories filled with 500 sweeps of 99 points, and the bound.
void StateMemory() {
    std::vector<CnxSweepHistory> receivers(8, CnxSweepHistory(kBandPoints));
    std::size_t bytes = 0;
    for (CnxSweepHistory& history : receivers) {
        for (int64_t i = 0; i < int64_t(501) * kBandPoints; ++i) {
            history.Add(SampleFor(i), i);
        }
        bytes += history.GetMemoryBytes();
    }
    std::printf(
        "memory: 8 receivers x %d sweeps x %d points = %zu bytes (%.2f MiB), %d rows each; "
        "bound for any pass: 8 x %zu bytes of rows (%.0f MiB)\n",
        receivers.front().GetRowCount(), kBandPoints, bytes, bytes / 1048576.0,
        receivers.front().GetCapacity(), CnxSweepHistory::kMaxBytes,
        8.0 * CnxSweepHistory::kMaxBytes / 1048576.0);
}

}  // namespace

int main(int argc, char** argv) {
    return RunWidgetBenchmarks(argc, argv, StateMemory);
}
