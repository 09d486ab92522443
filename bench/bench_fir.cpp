// What filtering costs: 96 taps over float blocks of 2048 with both FIR variants in every
// instruction set the processor has and, in the same run, two peers on the same taps: a FIR made
// of VOLK's dispatched dot product (one call per output) and liquid-dsp's firfilt_rrrf. Every
// contender's output is checked against the same filter in double precision. The report closes
// with each variant's speed relative to the peers and the share of the processor's
// multiply-accumulate peak (measured here, per instruction set) that it reaches.
#include <benchmark/benchmark.h>
#include <liquid/liquid.h>
#include <volk/volk.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "BenchProcessor.h"
#include "spectrum/CFIR2.h"
#include "spectrum/CFIR2_MMX.h"
#include "spectrum/CWindow.h"

namespace {

constexpr int kTaps = 96;
constexpr int kBlock = 2048;
constexpr int kCheckedBlocks = 4;

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

std::vector<float> Taps() {
    CFIR2 design;
    Configure(design);
    return design.GetCoefficients();
}

// A filter as the benchmark drives it: in place on one block, its history kept between calls.
using BlockFilter = std::function<void(float*, int)>;

BlockFilter OwnFilter(CFIR2& fir) {
    return [&fir](float* block, int n) { fir.Filter(block, n); };
}

// VOLK's dot product over a history line, one call per output sample.
class VolkFir {
public:
    explicit VolkFir(const std::vector<float>& taps)
        : reversed_(taps.rbegin(), taps.rend()), line_(taps.size() - 1, 0.0f) {}
    void Filter(float* block, int n) {
        const std::size_t history = reversed_.size() - 1;
        line_.resize(history);
        line_.insert(line_.end(), block, block + n);
        for (int j = 0; j < n; ++j) {
            volk_32f_x2_dot_prod_32f(block + j, line_.data() + j, reversed_.data(),
                                     static_cast<unsigned>(reversed_.size()));
        }
        line_.erase(line_.begin(), line_.end() - std::ptrdiff_t(history));
    }

private:
    std::vector<float> reversed_;
    std::vector<float> line_;
};

class LiquidFir {
public:
    explicit LiquidFir(std::vector<float> taps)
        : filter_(firfilt_rrrf_create(taps.data(), static_cast<unsigned>(taps.size()))) {}
    ~LiquidFir() { firfilt_rrrf_destroy(filter_); }
    LiquidFir(const LiquidFir&) = delete;
    LiquidFir& operator=(const LiquidFir&) = delete;
    void Filter(float* block, int n) {
        firfilt_rrrf_execute_block(filter_, block, static_cast<unsigned>(n), block);
    }

private:
    firfilt_rrrf filter_;
};

void RunBlocks(benchmark::State& state, const BlockFilter& filter) {
    const std::vector<float> input = Noise(kBlock);
    std::vector<float> block(kBlock);
    for (auto _ : state) {
        block = input;
        filter(block.data(), kBlock);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
}

template <typename Fir>
void FilterBlocks(benchmark::State& state, CFIR2Kernel::Isa isa) {
    Fir fir;
    Configure(fir);
    fir.SetInstructionSet(isa);
    RunBlocks(state, OwnFilter(fir));
}

void BM_Volk(benchmark::State& state) {
    VolkFir fir(Taps());
    RunBlocks(state, [&fir](float* block, int n) { fir.Filter(block, n); });
}

void BM_Liquid(benchmark::State& state) {
    LiquidFir fir(Taps());
    RunBlocks(state, [&fir](float* block, int n) { fir.Filter(block, n); });
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

// The multiply-accumulate peak of one instruction set: twelve independent chains, each step a
// fused multiply-add (float; SSE2 multiplies and adds) or a multiply-add of 16-bit pairs with a
// 32-bit add (fixed point), enough chains to cover the steps' latency. Returns the
// multiply-accumulates done.
#if defined(__x86_64__)
#define K740_PEAK_LOOP(Vec, init, step, lanes)                                                     \
    Vec a0 = init, a1 = init, a2 = init, a3 = init, a4 = init, a5 = init;                          \
    Vec a6 = init, a7 = init, a8 = init, a9 = init, a10 = init, a11 = init;                        \
    /* Chains the compiler cannot prove equal, so it keeps them all. */                            \
    asm volatile(""                                                                                \
                 : "+x"(a0), "+x"(a1), "+x"(a2), "+x"(a3), "+x"(a4), "+x"(a5), "+x"(a6), "+x"(a7), \
                   "+x"(a8), "+x"(a9), "+x"(a10), "+x"(a11));                                      \
    for (long i = 0; i < rounds; ++i) {                                                            \
        a0 = step(a0);                                                                             \
        a1 = step(a1);                                                                             \
        a2 = step(a2);                                                                             \
        a3 = step(a3);                                                                             \
        a4 = step(a4);                                                                             \
        a5 = step(a5);                                                                             \
        a6 = step(a6);                                                                             \
        a7 = step(a7);                                                                             \
        a8 = step(a8);                                                                             \
        a9 = step(a9);                                                                             \
        a10 = step(a10);                                                                           \
        a11 = step(a11);                                                                           \
    }                                                                                              \
    asm volatile("" ::"x"(a0), "x"(a1), "x"(a2), "x"(a3), "x"(a4), "x"(a5), "x"(a6), "x"(a7),      \
                 "x"(a8), "x"(a9), "x"(a10), "x"(a11));                                            \
    return 12.0 * double(rounds) * (lanes)

double PeakFloatSse2(long rounds) {
    const __m128 c = _mm_set1_ps(0.5f), x = _mm_set1_ps(1.0f);
#define STEP(a) _mm_add_ps(_mm_mul_ps(a, c), x)
    K740_PEAK_LOOP(__m128, x, STEP, 4);
#undef STEP
}
__attribute__((target("avx2,fma"))) double PeakFloatAvx2(long rounds) {
    const __m256 c = _mm256_set1_ps(0.5f), x = _mm256_set1_ps(1.0f);
#define STEP(a) _mm256_fmadd_ps(a, c, x)
    K740_PEAK_LOOP(__m256, x, STEP, 8);
#undef STEP
}
__attribute__((target("avx512f"))) double PeakFloatAvx512(long rounds) {
    const __m512 c = _mm512_set1_ps(0.5f), x = _mm512_set1_ps(1.0f);
#define STEP(a) _mm512_fmadd_ps(a, c, x)
    K740_PEAK_LOOP(__m512, x, STEP, 16);
#undef STEP
}
double PeakFixedSse2(long rounds) {
    const __m128i c = _mm_set1_epi16(3), x = _mm_set1_epi16(5);
#define STEP(a) _mm_add_epi32(_mm_madd_epi16(a, c), x)
    K740_PEAK_LOOP(__m128i, x, STEP, 8);
#undef STEP
}
__attribute__((target("avx2"))) double PeakFixedAvx2(long rounds) {
    const __m256i c = _mm256_set1_epi16(3), x = _mm256_set1_epi16(5);
#define STEP(a) _mm256_add_epi32(_mm256_madd_epi16(a, c), x)
    K740_PEAK_LOOP(__m256i, x, STEP, 16);
#undef STEP
}
__attribute__((target("avx512f,avx512bw"))) double PeakFixedAvx512(long rounds) {
    const __m512i c = _mm512_set1_epi16(3), x = _mm512_set1_epi16(5);
#define STEP(a) _mm512_add_epi32(_mm512_madd_epi16(a, c), x)
    K740_PEAK_LOOP(__m512i, x, STEP, 32);
#undef STEP
}
#undef K740_PEAK_LOOP
#endif

// The scalar loops run one multiply-add per step; their peak is not measured.
double (*PeakLoop(bool fixed, CFIR2Kernel::Isa isa))(long) {
#if defined(__x86_64__)
    switch (isa) {
        case CFIR2Kernel::kSse2:
            return fixed ? PeakFixedSse2 : PeakFloatSse2;
        case CFIR2Kernel::kAvx2:
            return fixed ? PeakFixedAvx2 : PeakFloatAvx2;
        case CFIR2Kernel::kAvx512:
            return fixed ? PeakFixedAvx512 : PeakFloatAvx512;
        default:
            break;
    }
#endif
    (void)fixed;
    (void)isa;
    return nullptr;
}

void Peak(benchmark::State& state, bool fixed, CFIR2Kernel::Isa isa) {
    double (*loop)(long) = PeakLoop(fixed, isa);
    double macs = 0;
    for (auto _ : state) {
        macs += loop(100000);
    }
    state.SetItemsProcessed(static_cast<int64_t>(macs));
}

// Remembers each entry's items per second for the summary at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto found = run.counters.find("items_per_second");
            if (found != run.counters.end() && !run.error_occurred) {
                rates_[run.benchmark_name()] = found->second.value;
            }
        }
    }
    double Rate(const std::string& name) const {
        const auto found = rates_.find(name);
        return found == rates_.end() ? 0 : found->second;
    }

private:
    std::map<std::string, double> rates_;
};

std::string Name(const char* variant, CFIR2Kernel::Isa isa) {
    return std::string(variant) + "/" + CFIR2Kernel::Name(isa);
}

std::string PeakName(bool fixed, CFIR2Kernel::Isa isa) {
    return std::string("peak_MAC/") + (fixed ? "int16/" : "float/") + CFIR2Kernel::Name(isa);
}

// Largest difference from the filter in double precision over a few blocks, in full scale.
double LargestError(const std::vector<float>& taps, const BlockFilter& filter) {
    std::vector<float> input;
    for (int b = 0; b < kCheckedBlocks; ++b) {
        std::vector<float> block = Noise(kBlock);
        std::reverse(block.begin(), block.begin() + b * 97 % kBlock);  // no two blocks alike
        input.insert(input.end(), block.begin(), block.end());
    }
    std::vector<float> output = input;
    for (int b = 0; b < kCheckedBlocks; ++b) {
        filter(output.data() + std::ptrdiff_t(b) * kBlock, kBlock);
    }
    double largest = 0;
    for (std::size_t t = 0; t < input.size(); ++t) {
        double exact = 0;
        for (std::size_t k = 0; k < taps.size() && k <= t; ++k) {
            exact += double(taps[k]) * input[t - k];
        }
        largest = std::max(largest, std::fabs(exact - output[t]));
    }
    return largest;
}

struct Check {
    std::string name;
    double error;
    double limit;
};

std::vector<Check> CheckOutputs() {
    const std::vector<float> taps = Taps();
    double sumAbs = 0;
    for (float c : taps) {
        sumAbs += std::fabs(c);
    }
    // Float: rounding only. 16-bit: inputs rounded (half a step through all taps), coefficients
    // truncated (a step per tap on inputs up to 0.5) and the output's shift (one step).
    const double floatLimit = 1e-5;
    const double fixedLimit = (0.5 * sumAbs + 0.5 * kTaps + 1) / 32767;
    std::vector<Check> checks;
    for (int i = 0; i < CFIR2Kernel::kIsaCount; ++i) {
        const auto isa = CFIR2Kernel::Isa(i);
        if (!CFIR2Kernel::IsSupported(isa)) {
            continue;
        }
        CFIR2 fir;
        CFIR2_MMX fixed;
        Configure(fir);
        Configure(fixed);
        fir.SetInstructionSet(isa);
        fixed.SetInstructionSet(isa);
        checks.push_back({Name("CFIR2", isa), LargestError(taps, OwnFilter(fir)), floatLimit});
        checks.push_back(
            {Name("CFIR2_MMX", isa), LargestError(taps, OwnFilter(fixed)), fixedLimit});
    }
    VolkFir volk(taps);
    checks.push_back(
        {"VOLK", LargestError(taps, [&](float* b, int n) { volk.Filter(b, n); }), floatLimit});
    LiquidFir liquid(taps);
    checks.push_back(
        {"liquid", LargestError(taps, [&](float* b, int n) { liquid.Filter(b, n); }), floatLimit});
    return checks;
}

void PrintSummary(const RatioReporter& reporter) {
    std::printf(
        "\nOutputs against the filter in double precision (%d blocks of %d, full scale 1):\n",
        kCheckedBlocks, kBlock);
    for (const Check& check : CheckOutputs()) {
        std::printf("  %-22s largest error %.2e (allowed %.1e) %s\n", check.name.c_str(),
                    check.error, check.limit, check.error <= check.limit ? "ok" : "WRONG");
    }
    const double volk = reporter.Rate("VOLK");
    const double liquid = reporter.Rate("liquid");
    std::printf(
        "\nM samples/s, relative to the peers, and the share of the measured %d-tap\n"
        "multiply-accumulate peak of the instruction set each runs:\n",
        kTaps);
    for (const char* variant : {"CFIR2", "CFIR2_MMX"}) {
        const bool fixed = std::string(variant) == "CFIR2_MMX";
        for (int i = 0; i < CFIR2Kernel::kIsaCount; ++i) {
            const auto isa = CFIR2Kernel::Isa(i);
            const double rate = reporter.Rate(Name(variant, isa));
            if (rate <= 0) {
                continue;
            }
            std::printf("  %-22s %7.1f  %5.2fx VOLK  %5.2fx liquid", Name(variant, isa).c_str(),
                        rate / 1e6, volk > 0 ? rate / volk : 0, liquid > 0 ? rate / liquid : 0);
            const double peak = reporter.Rate(PeakName(fixed, isa));
            if (peak > 0) {
                std::printf("  %3.0f%% of %.1f G MAC/s", 100 * rate * kTaps / peak, peak / 1e9);
            }
            std::printf("\n");
        }
    }
    const CFIR2Kernel::Isa best = CFIR2Kernel::Best();
    if (volk > 0) {
        std::printf(
            "\nAs the program runs them (%s): CFIR2 %.2fx VOLK (goal 1.5x), "
            "CFIR2_MMX %.2fx VOLK (goal 2.5x); VOLK %.1f, liquid %.1f M samples/s\n",
            CFIR2Kernel::Name(best), reporter.Rate(Name("CFIR2", best)) / volk,
            reporter.Rate(Name("CFIR2_MMX", best)) / volk, volk / 1e6, liquid / 1e6);
    }
}

void RegisterBenchmarks() {
    for (int i = 0; i < CFIR2Kernel::kIsaCount; ++i) {
        const auto isa = CFIR2Kernel::Isa(i);
        if (!CFIR2Kernel::IsSupported(isa)) {
            continue;
        }
        benchmark::RegisterBenchmark(Name("CFIR2", isa).c_str(), FilterBlocks<CFIR2>, isa);
        benchmark::RegisterBenchmark(Name("CFIR2_MMX", isa).c_str(), FilterBlocks<CFIR2_MMX>, isa);
    }
    benchmark::RegisterBenchmark("VOLK", BM_Volk);
    benchmark::RegisterBenchmark("liquid", BM_Liquid);
    for (bool fixed : {false, true}) {
        for (int i = 0; i < CFIR2Kernel::kIsaCount; ++i) {
            const auto isa = CFIR2Kernel::Isa(i);
            if (CFIR2Kernel::IsSupported(isa) && PeakLoop(fixed, isa) != nullptr) {
                benchmark::RegisterBenchmark(PeakName(fixed, isa).c_str(), Peak, fixed, isa);
            }
        }
    }
    benchmark::RegisterBenchmark("CFIR2_Redesign", Redesign<CFIR2>)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("CFIR2_MMX_Redesign", Redesign<CFIR2_MMX>)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("CWindow_Apply", BM_WindowApply)->Arg(4096);
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("Processor: %s; instruction sets:", ProcessorName().c_str());
    for (int i = 0; i < CFIR2Kernel::kIsaCount; ++i) {
        if (CFIR2Kernel::IsSupported(CFIR2Kernel::Isa(i))) {
            std::printf(" %s", CFIR2Kernel::Name(CFIR2Kernel::Isa(i)));
        }
    }
    std::printf("\n");
    RegisterBenchmarks();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
