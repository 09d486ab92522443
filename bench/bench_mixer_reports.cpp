// Throughput of the mixer unit's report path on the worker's side (cutting the stream into
// reports) and on the window's side (the control model turning them into steps).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "mixer/CmqMixerReportParser.h"
#include "mixer/CmqVqbMixer.h"

namespace {

// A knob turned steadily with a button press now and then, as the unit reports it.
std::string KnobStream(int reports) {
    std::string stream;
    char text[16];
    for (int i = 0; i < reports; ++i) {
        if (i % 50 == 49) {
            stream += "%22\r\n";
        } else {
            std::snprintf(text, sizeof(text), "$%04X\r\n", static_cast<unsigned>(i & 0xFFFF));
            stream += text;
        }
    }
    return stream;
}

void BM_ParseReports(benchmark::State& state) {
    const std::string stream = KnobStream(10000);
    const auto readSize = static_cast<std::size_t>(state.range(0));
    CmqMixerReportParser parser;
    SmqMixerReport report;
    std::size_t reports = 0;
    for (auto _ : state) {
        for (std::size_t at = 0; at < stream.size(); at += readSize) {
            parser.Append(std::string_view(stream).substr(at, readSize));
            while (parser.Next(report)) {
                ++reports;
            }
        }
    }
    benchmark::DoNotOptimize(reports);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    state.counters["reports/s"] =
        benchmark::Counter(static_cast<double>(reports), benchmark::Counter::kIsRate);
}
// One read per report, a typical read of a turning knob, and a full driver buffer.
BENCHMARK(BM_ParseReports)->Arg(7)->Arg(64)->Arg(4096);

class SilentMixer : public CmqVqbMixer {
public:
    SilentMixer() {
        BeginSession();
        SetDirectRotation(false);
        SetRotateConstant(8, 8);
    }

protected:
    int Write(const std::string& text) override { return static_cast<int>(text.size()); }
};

void BM_HandleReports(benchmark::State& state) {
    CmqMixerReportParser parser;
    parser.Append(KnobStream(10000));
    std::vector<SmqMixerReport> reports;
    SmqMixerReport report;
    while (parser.Next(report)) {
        reports.push_back(report);
    }
    SilentMixer mixer;
    int steps = 0;
    struct Counter {
        int* steps;
        void On(void*, int value, std::intptr_t) { *steps += value; }
    } counter{&steps};
    const TmySubscription counting = mixer.OnRotate.Set(&counter, &Counter::On);
    for (auto _ : state) {
        for (const SmqMixerReport& r : reports) {
            mixer.HandleReport(r);
        }
    }
    benchmark::DoNotOptimize(steps);
    state.counters["reports/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * reports.size()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HandleReports);

}  // namespace

BENCHMARK_MAIN();
