// 48000 -> 64000 Hz conversion of 2048-sample blocks: the program's converter against libsoxr
// (quick, float) and speexdsp (quality 0), run one after the other on the same signal. Prints
// each one's input samples per second and the converter's speed relative to the two others.
#include <benchmark/benchmark.h>
#include <soxr.h>
#include <speex/speex_resampler.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "audio/CSndResampler.h"

namespace {

constexpr int kBlock = 2048;
constexpr int kBlocks = 16;  // a few different blocks, so no branch learns one block by heart

std::vector<int16_t> Signal() {
    std::vector<int16_t> v(kBlock * kBlocks);
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 2000);
    for (std::size_t i = 0; i < v.size(); ++i) {
        v[i] = static_cast<int16_t>(8000 * std::sin(i * 0.05) + noise(random));
    }
    return v;
}

void BM_Own(benchmark::State& state) {
    const auto signal = Signal();
    CSndResampler converter;
    converter.Configure(48000, 64000, kBlock);
    std::size_t block = 0;
    for (auto _ : state) {
        uint32_t count = 0;
        const int16_t* out = converter.Process(signal.data() + block * kBlock, kBlock, &count);
        benchmark::DoNotOptimize(out);
        benchmark::DoNotOptimize(count);
        block = (block + 1) % kBlocks;
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_Soxr(benchmark::State& state) {
    const auto signal = Signal();
    std::vector<float> input(signal.begin(), signal.end());
    for (float& x : input) {
        x /= 32768.0f;
    }
    std::vector<float> output(kBlock * 2);
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_QQ, 0);
    soxr_error_t error = nullptr;
    soxr_t resampler = soxr_create(48000, 64000, 1, &error, &io, &quality, nullptr);
    if (error != nullptr) {
        state.SkipWithError(error);
        return;
    }
    std::size_t block = 0;
    for (auto _ : state) {
        std::size_t used = 0, produced = 0;
        soxr_process(resampler, input.data() + block * kBlock, kBlock, &used, output.data(),
                     output.size(), &produced);
        benchmark::DoNotOptimize(output.data());
        benchmark::DoNotOptimize(produced);
        block = (block + 1) % kBlocks;
    }
    soxr_delete(resampler);
    state.SetItemsProcessed(state.iterations() * kBlock);
}

void BM_Speexdsp(benchmark::State& state) {
    const auto signal = Signal();
    std::vector<int16_t> output(kBlock * 2);
    int error = 0;
    SpeexResamplerState* resampler = speex_resampler_init(1, 48000, 64000, 0, &error);
    if (resampler == nullptr) {
        state.SkipWithError(speex_resampler_strerror(error));
        return;
    }
    std::size_t block = 0;
    for (auto _ : state) {
        spx_uint32_t in = kBlock;
        spx_uint32_t out = static_cast<spx_uint32_t>(output.size());
        speex_resampler_process_int(resampler, 0, signal.data() + block * kBlock, &in,
                                    output.data(), &out);
        benchmark::DoNotOptimize(output.data());
        benchmark::DoNotOptimize(out);
        block = (block + 1) % kBlocks;
    }
    speex_resampler_destroy(resampler);
    state.SetItemsProcessed(state.iterations() * kBlock);
}

// Console output as usual, and each entry's rate kept for the comparison at the end.
class RateReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rates;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto it = run.counters.find("items_per_second");
            if (it != run.counters.end() && !run.error_occurred) {
                rates[run.benchmark_name()] = it->second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("CSndResampler", BM_Own);
    benchmark::RegisterBenchmark("soxr", BM_Soxr);
    benchmark::RegisterBenchmark("speexdsp", BM_Speexdsp);
    benchmark::Initialize(&argc, argv);
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double own = reporter.rates["CSndResampler"];
    for (const char* peer : {"soxr", "speexdsp"}) {
        const double rate = reporter.rates[peer];
        if (own > 0 && rate > 0) {
            std::printf("CSndResampler / %s: %.2fx (%.1f vs %.1f M input samples/s)\n", peer,
                        own / rate, own / 1e6, rate / 1e6);
        }
    }
    benchmark::Shutdown();
    return 0;
}
