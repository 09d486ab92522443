// The calibration library's costs: a calibrated level through the program's calibrator and the
// stand-in library (one GetCS across the library boundary, interpolating in the sample table), and
// reading the sample table's text into a table.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <fstream>
#include <sstream>
#include <string>

#include "SimCalTable.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"

namespace {

std::string SampleTablePath() {
    return (QCoreApplication::applicationDirPath() + QStringLiteral("/qvk74m.cal")).toStdString();
}

void BM_CalibrateThroughTheLibrary(benchmark::State& state) {
    CnxK740RXCalibratorSMeter calibrator("smetersdk.dll", SampleTablePath());
    if (!calibrator.IsCalibrationLoaded()) {
        state.SkipWithError("libsmetersdk.so or qvk74m.cal is not beside the benchmark");
        return;
    }
    calibrator.SetFrequency(142750000);
    uint8_t raw = 0;
    double sum = 0.0;
    for (auto _ : state) {
        const auto record = calibrator.Calibrate(raw++);
        sum += record ? double{record->dbm} : 0.0;
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CalibrateThroughTheLibrary);

void BM_ParseTheSampleTable(benchmark::State& state) {
    std::ifstream file(SampleTablePath(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    const std::string table = text.str();
    if (table.empty()) {
        state.SkipWithError("qvk74m.cal is not beside the benchmark");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(SimCalTable::Parse(table));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(table.size()));
}
BENCHMARK(BM_ParseTheSampleTable);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
