// 48000 -> 64000 Hz conversion of 2048-sample blocks: the program's converter against libsoxr
// (quick, float) and speexdsp (quality 0), run one after the other on the same signal. Prints
// each one's input samples per second and the converter's speed relative to the two others, and
// checks the peers' outputs: how many samples they produce, and how closely they agree with the
// converter on a sine (as a signal-to-noise ratio).
#include <benchmark/benchmark.h>
#include <soxr.h>
#include <speex/speex_resampler.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "BenchProcessor.h"
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

// The output check: a 1 kHz sine at half full scale through each converter, block by block.
constexpr int kCheckBlocks = 48;
constexpr double kExpectedOutput = kCheckBlocks * kBlock * 64000.0 / 48000;

std::vector<int16_t> CheckSine() {
    std::vector<int16_t> v(kBlock * kCheckBlocks);
    for (std::size_t i = 0; i < v.size(); ++i) {
        v[i] = static_cast<int16_t>(std::lround(16384 * std::sin(2 * M_PI * 1000 * i / 48000.0)));
    }
    return v;
}

std::vector<float> OwnOutput(const std::vector<int16_t>& input) {
    CSndResampler converter;
    converter.Configure(48000, 64000, kBlock);
    std::vector<float> out;
    for (int b = 0; b < kCheckBlocks; ++b) {
        uint32_t count = 0;
        const int16_t* block = converter.Process(input.data() + b * kBlock, kBlock, &count);
        out.insert(out.end(), block, block + count);
    }
    return out;
}

std::vector<float> SoxrOutput(const std::vector<int16_t>& input) {
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_QQ, 0);
    soxr_error_t error = nullptr;
    soxr_t resampler = soxr_create(48000, 64000, 1, &error, &io, &quality, nullptr);
    std::vector<float> out;
    if (error != nullptr) {
        return out;
    }
    std::vector<float> block(kBlock), produced(kBlock * 2);
    for (int b = 0; b < kCheckBlocks; ++b) {
        std::transform(input.begin() + b * kBlock, input.begin() + (b + 1) * kBlock, block.begin(),
                       [](int16_t x) { return x / 32768.0f; });
        std::size_t used = 0, done = 0;
        soxr_process(resampler, block.data(), kBlock, &used, produced.data(), produced.size(),
                     &done);
        for (std::size_t i = 0; i < done; ++i) {
            out.push_back(produced[i] * 32768);
        }
    }
    soxr_delete(resampler);
    return out;
}

std::vector<float> SpeexOutput(const std::vector<int16_t>& input) {
    int error = 0;
    SpeexResamplerState* resampler = speex_resampler_init(1, 48000, 64000, 0, &error);
    std::vector<float> out;
    if (resampler == nullptr) {
        return out;
    }
    std::vector<int16_t> produced(kBlock * 2);
    for (int b = 0; b < kCheckBlocks; ++b) {
        spx_uint32_t in = kBlock;
        spx_uint32_t done = static_cast<spx_uint32_t>(produced.size());
        speex_resampler_process_int(resampler, 0, input.data() + b * kBlock, &in, produced.data(),
                                    &done);
        out.insert(out.end(), produced.begin(), produced.begin() + done);
    }
    speex_resampler_destroy(resampler);
    return out;
}

// Where block b of the converter's output lies in a continuous stream: blocks start afresh at
// the whole input sample where each began, so every third one starts on a whole output sample
// of the stream (b x 2048 x 4 / 3).
std::size_t OwnBlockStart(int b) {
    return std::size_t(b) * 2730;  // the converter's own output: 2730 per block
}
std::size_t StreamStart(int b) {
    return std::size_t(b) * kBlock * 4 / 3;
}

// The peer's stream read between its samples, at position.
double Between(const std::vector<float>& stream, double position) {
    const auto i = static_cast<std::size_t>(std::floor(position));
    const double mu = position - double(i);
    return (1 - mu) * stream[i] + mu * stream[i + 1];
}

// Signal-to-difference ratio in dB of the peer against the converter over the inner part of every
// third block, after the shift (the peers' own delay) that agrees best.
double AgreementDb(const std::vector<float>& own, const std::vector<float>& peer) {
    auto ratio = [&](double shift) {
        double signal = 0, noise = 0;
        for (int b = 3; b + 1 < kCheckBlocks; b += 3) {
            for (std::size_t k = 32; k + 32 < 2730; ++k) {
                const double position = double(StreamStart(b) + k) + shift;
                if (position < 0 || position + 1 >= double(peer.size())) {
                    return 0.0;
                }
                const double a = own[OwnBlockStart(b) + k];
                const double difference = a - Between(peer, position);
                signal += a * a;
                noise += difference * difference;
            }
        }
        return noise > 0 ? 10 * std::log10(signal / noise) : 200;
    };
    double best = 0;
    for (double shift = -64; shift <= 64; shift += 0.05) {
        best = std::max(best, ratio(shift));
    }
    return best;
}

void CheckPeers() {
    const auto input = CheckSine();
    const auto own = OwnOutput(input);
    std::printf(
        "\nOutputs for %d blocks of a 1 kHz sine (%.0f samples expected at 64000 Hz; the "
        "converter gives 2730 per block):\n",
        kCheckBlocks, kExpectedOutput);
    std::printf("  CSndResampler  %zu samples\n", own.size());
    const std::pair<const char*, std::vector<float>> peers[] = {{"soxr", SoxrOutput(input)},
                                                                {"speexdsp", SpeexOutput(input)}};
    for (const auto& [name, out] : peers) {
        const double agreement = AgreementDb(own, out);
        const bool countOk =
            std::fabs(double(out.size()) - kExpectedOutput) < 0.01 * kExpectedOutput;
        std::printf("  %-14s %zu samples (%s), agreement with CSndResampler %.1f dB (%s)\n", name,
                    out.size(), countOk ? "ok" : "WRONG", agreement,
                    agreement > 30 ? "ok" : "WRONG");
    }
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
    std::printf("Processor: %s\n", ProcessorName().c_str());
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
            std::printf("CSndResampler / %s: %.2fx (%.1f vs %.1f M input samples/s; goal %s)\n",
                        peer, own / rate, own / 1e6, rate / 1e6,
                        std::string(peer) == "soxr" ? "2.5x" : "3x");
        }
    }
    CheckPeers();
    benchmark::Shutdown();
    return 0;
}
