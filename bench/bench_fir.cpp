// What filtering costs: 96 taps over float blocks of 2048 with both FIR variants and, in the same
// run, liquid-dsp's firfilt_rrrf on the same taps; then the redesign after a change and applying
// a cached window. Prints each variant's speed relative to liquid-dsp at the end.
#include <benchmark/benchmark.h>
#include <liquid/liquid.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "spectrum/CFIR2.h"
#include "spectrum/CFIR2_MMX.h"
#include "spectrum/CWindow.h"

namespace {

constexpr int kTaps = 96;
constexpr int kBlock = 2048;

// The program's start-up configuration.
void Configure(CFIR2& fir) {
    fir.SetFftSize(16384);
    fir.SetFilterType(CFIR2::kLowPass);
    fir.SetTaps(kTaps);
    fir.SetSampleRate(48000);
    fir.SetFrequency(16000);
    fir.SetWindowType(CWindow::kBlackman);
    fir.Design(0);
}

std::vector<float> Noise(int n) {
    std::mt19937 random(1);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    std::vector<float> v(static_cast<std::size_t>(n));
    for (float& x : v) {
        x = uniform(random);
    }
    return v;
}

template <typename Fir>
void FilterBlocks(benchmark::State& state) {
    Fir fir;
    Configure(fir);
    const std::vector<float> input = Noise(kBlock);
    std::vector<float> block(kBlock);
    for (auto _ : state) {
        block = input;
        fir.Filter(block.data(), kBlock);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_Liquid(benchmark::State& state) {
    CFIR2 design;
    Configure(design);
    std::vector<float> taps = design.GetCoefficients();
    firfilt_rrrf filter = firfilt_rrrf_create(taps.data(), kTaps);
    const std::vector<float> input = Noise(kBlock);
    std::vector<float> block(kBlock);
    for (auto _ : state) {
        block = input;
        firfilt_rrrf_execute_block(filter, block.data(), kBlock, block.data());
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
    firfilt_rrrf_destroy(filter);
}

// Every design after the first, as a change of cut-off causes it; the plans are kept.
template <typename Fir>
void Redesign(benchmark::State& state) {
    Fir fir;
    Configure(fir);
    float cutOff = 16000;
    for (auto _ : state) {
        cutOff = (cutOff == 16000) ? 15000 : 16000;
        fir.SetFrequency(cutOff);
        benchmark::DoNotOptimize(fir.Design(0));
    }
}

void BM_WindowApply(benchmark::State& state) {
    const int n = int(state.range(0));
    CWindow window;
    std::vector<float> block = Noise(n);
    for (auto _ : state) {
        window.Apply(CWindow::kBlackman, block.data(), n);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["ns_per_sample"] = benchmark::Counter(
        double(state.iterations()) * n, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Remembers each entry's samples per second for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto found = run.counters.find("items_per_second");
            if (found != run.counters.end()) {
                rates_[run.benchmark_name()] = found->second.value;
            }
        }
    }
    void PrintRatios() const {
        const auto liquid = rates_.find("liquid");
        if (liquid == rates_.end() || liquid->second <= 0) {
            return;
        }
        for (const char* name : {"CFIR2", "CFIR2_MMX"}) {
            const auto own = rates_.find(name);
            if (own != rates_.end()) {
                std::printf("%s / liquid samples per second: %.2fx\n", name,
                            own->second / liquid->second);
            }
        }
    }

private:
    std::map<std::string, double> rates_;
};

}  // namespace

BENCHMARK_TEMPLATE(FilterBlocks, CFIR2)->Name("CFIR2");
BENCHMARK_TEMPLATE(FilterBlocks, CFIR2_MMX)->Name("CFIR2_MMX");
BENCHMARK(BM_Liquid)->Name("liquid");
BENCHMARK_TEMPLATE(Redesign, CFIR2)->Name("CFIR2_Redesign")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(Redesign, CFIR2_MMX)->Name("CFIR2_MMX_Redesign")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WindowApply)->Name("CWindow_Apply")->Arg(4096);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
