// What the spectrum costs while audio plays: feeding the analyzer stand-in one block of 1024
// samples at 64000 samples/s (62.5 blocks a second) and drawing one frame of a typical panel
// size (30 frames a second). Prints the share of one core that this adds up to.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "spectrum/CnxCtrlSpectrumDll.h"

namespace {

constexpr int kWidth = 760;
constexpr int kHeight = 140;
constexpr int kBlock = 1024;
constexpr int kRate = 64000;

CnxCtrlSpectrumDll& Library() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static CnxCtrlSpectrumDll library("aspect_vcl.dll");
    return library;
}

// An analyzer set up as the program sets it, already showing a spectrum.
AspectHandle MakeAnalyzer(const std::vector<float>& block) {
    CnxCtrlSpectrumDll& lib = Library();
    const AspectHandle h = lib.CreateAnalyzer(std::uintptr_t{0}, 0, 0, kWidth, kHeight, 0u, 0);
    lib.SetSampleRate(h, kRate);
    lib.SetVisRange(h, 32000);
    lib.SetVisZeroOffset(h, 16000);
    lib.SetFilterPos(h, 1500);
    lib.SetFilterBandwidth(h, 2400);
    lib.SetIFShiftMode(h, 1);
    lib.SetIFBandwidth(h, 16000);
    lib.SetVisDrawPeak(h, 1);
    for (int i = 0; i < 8; ++i) {
        lib.Display(h, block.data(), kBlock, 0, 0, 0);
    }
    return h;
}

std::vector<float> Block() {
    std::vector<float> block(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        block[i] = float(0.3 * std::sin(2 * std::numbers::pi * 1210.0 * i / kRate) +
                         0.01 * std::sin(i * 12.9898));
    }
    return block;
}

void BM_Display(benchmark::State& state) {
    const std::vector<float> block = Block();
    CnxCtrlSpectrumDll& lib = Library();
    const AspectHandle h = MakeAnalyzer(block);
    for (auto _ : state) {
        lib.Display(h, block.data(), kBlock, 0, 0, 0);
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
    lib.DestroyAnalyzer(h);
}

void BM_Render(benchmark::State& state) {
    const std::vector<float> block = Block();
    CnxCtrlSpectrumDll& lib = Library();
    const AspectHandle h = MakeAnalyzer(block);
    std::vector<std::uint32_t> pixels(kWidth * kHeight);
    for (auto _ : state) {
        lib.RenderView(h, pixels.data(), kWidth, kHeight, kWidth * 4);
        benchmark::DoNotOptimize(pixels.data());
    }
    lib.DestroyAnalyzer(h);
}

class ShareReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            seconds_[run.benchmark_name()] = run.cpu_accumulated_time / double(run.iterations);
        }
    }
    void PrintShare() const {
        const auto display = seconds_.find("Display");
        const auto render = seconds_.find("Render");
        if (display == seconds_.end() || render == seconds_.end()) {
            return;
        }
        const double share = display->second * kRate / kBlock + render->second * 30;
        std::printf("analyzer at 62.5 blocks/s and 30 frames/s: %.2f %% of one core\n",
                    share * 100);
    }

private:
    std::map<std::string, double> seconds_;
};

}  // namespace

BENCHMARK(BM_Display)->Name("Display")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Render)->Name("Render")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    ShareReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintShare();
    benchmark::Shutdown();
    return 0;
}
