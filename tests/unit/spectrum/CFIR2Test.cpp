#include "spectrum/CFIR2.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "spectrum/CFIR2Factory.h"
#include "spectrum/CFIR2Kernel.h"
#include "spectrum/CFIR2_MMX.h"

namespace {

// Gain in dB of the taps at a frequency, straight from their transform.
double GainDb(const std::vector<float>& taps, double hz, double rate) {
    std::complex<double> sum;
    for (std::size_t k = 0; k < taps.size(); ++k) {
        sum += double(taps[k]) * std::polar(1.0, -2 * std::numbers::pi * hz * double(k) / rate);
    }
    return 20 * std::log10(std::max(std::abs(sum), 1e-12));
}

// Largest and smallest gain over a frequency range, in 50 Hz steps.
std::pair<double, double> GainRange(const std::vector<float>& taps, double from, double to) {
    double low = 1e9;
    double high = -1e9;
    for (double f = from; f <= to; f += 50) {
        const double g = GainDb(taps, f, 48000);
        low = std::min(low, g);
        high = std::max(high, g);
    }
    return {low, high};
}

void Configure(CFIR2& fir, int type, float frequency, float bandwidth, int taps,
               int window = CWindow::kBlackman) {
    ASSERT_EQ(fir.SetFftSize(16384), 1);
    ASSERT_EQ(fir.SetFilterType(type), 1);
    ASSERT_EQ(fir.SetTaps(taps), 1);
    ASSERT_EQ(fir.SetSampleRate(48000), 1);
    ASSERT_EQ(fir.SetFrequency(frequency), 1);
    ASSERT_EQ(fir.SetBandwidth(bandwidth), 1);
    ASSERT_EQ(fir.SetWindowType(window), 1);
    ASSERT_EQ(fir.Design(1), 1);
}

double SumAbs(const std::vector<float>& taps) {
    double sum = 0;
    for (float c : taps) {
        sum += std::abs(c);
    }
    return sum;
}

std::vector<float> RandomBlock(std::mt19937& random, int n, float amplitude) {
    std::uniform_real_distribution<float> uniform(-amplitude, amplitude);
    std::vector<float> block(static_cast<std::size_t>(n));
    for (float& x : block) {
        x = uniform(random);
    }
    return block;
}

}  // namespace

TEST(CFIR2Test, SettersRefuseValuesOutsideTheirLimits) {
    CFIR2 fir;
    EXPECT_EQ(fir.SetTaps(16385), 0);
    EXPECT_EQ(fir.SetTaps(0), 0);
    EXPECT_EQ(fir.GetTaps(), 0);
    EXPECT_EQ(fir.SetFftSize(127), 0);
    EXPECT_EQ(fir.SetFftSize(65537), 0);
    EXPECT_EQ(fir.GetFftSize(), 8192);
    EXPECT_EQ(fir.SetFftSize(65536), 1);
    EXPECT_EQ(fir.SetFilterType(5), 0);
    EXPECT_EQ(fir.SetWindowType(11), 0);

    EXPECT_EQ(fir.SetFrequency(24000), 0);  // the Nyquist frequency itself
    EXPECT_EQ(fir.SetFrequency(0), 0);
    EXPECT_EQ(fir.SetFrequency(NAN), 0);
    EXPECT_EQ(fir.SetBandwidth(-5), 0);
    EXPECT_EQ(fir.GetFrequency(), 12000);
    EXPECT_EQ(fir.SetFrequency(23999), 1);

    EXPECT_EQ(fir.SetSlope(0.5f), 0);
    EXPECT_EQ(fir.SetSlope(-100.5f), 0);
    EXPECT_EQ(fir.SetSlope(-100), 1);

    EXPECT_EQ(fir.SetSampleRate(999), 0);
    EXPECT_EQ(fir.GetSampleRate(), 48000);
    // A lower rate pulls the frequency and bandwidth under the new Nyquist frequency.
    ASSERT_EQ(fir.SetBandwidth(15000), 1);
    EXPECT_EQ(fir.SetSampleRate(20000), 1);
    EXPECT_EQ(fir.GetNyquist(), 10000);
    EXPECT_EQ(fir.GetFrequency(), 9999);
    EXPECT_EQ(fir.GetBandwidth(), 9999);
}

TEST(CFIR2Test, DesignIsRedoneOnlyAfterAChange) {
    CFIR2 fir;
    EXPECT_EQ(fir.Design(0), 0);  // no taps yet
    Configure(fir, CFIR2::kLowPass, 8000, 1000, 64);
    EXPECT_TRUE(fir.IsDesigned());
    // Setting what is already set keeps the design.
    EXPECT_EQ(fir.SetFrequency(8000), 1);
    EXPECT_EQ(fir.SetTaps(64), 1);
    EXPECT_TRUE(fir.IsDesigned());
    EXPECT_EQ(fir.SetFrequency(4000), 1);
    EXPECT_FALSE(fir.IsDesigned());
    // More taps than FFT points cannot be cut from the impulse response.
    ASSERT_EQ(fir.SetFftSize(128), 1);
    ASSERT_EQ(fir.SetTaps(129), 1);
    EXPECT_EQ(fir.Design(0), 0);
}

TEST(CFIR2Test, EachShapePassesItsBandAndStopsTheRest) {
    using Ranges = std::vector<std::pair<double, double>>;
    struct Shape {
        int type;
        float frequency;
        float bandwidth;
        Ranges pass;
        Ranges stop;
    };
    const Shape shapes[] = {
        {CFIR2::kLowPass, 6000, 1000, {{0, 4000}}, {{8000, 24000}}},
        {CFIR2::kHighPass, 6000, 1000, {{8000, 23000}}, {{0, 4000}}},
        {CFIR2::kBandPass, 10000, 6000, {{9000, 11000}}, {{0, 5000}, {15000, 24000}}},
        {CFIR2::kBandStop, 10000, 8000, {{0, 4000}, {16000, 22000}}, {{9000, 11000}}},
    };
    CFIR2 fir;
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.type);
        Configure(fir, shape.type, shape.frequency, shape.bandwidth, 129);
        for (const auto& [from, to] : shape.pass) {
            const auto [low, high] = GainRange(fir.GetCoefficients(), from, to);
            EXPECT_GT(low, -0.1);
            EXPECT_LT(high, 0.01);
        }
        for (const auto& [from, to] : shape.stop) {
            EXPECT_LT(GainRange(fir.GetCoefficients(), from, to).second, -60);
        }
    }
}

TEST(CFIR2Test, SlopeTiltsTheLowPassBand) {
    CFIR2 fir;
    ASSERT_EQ(fir.SetSlope(-6), 1);
    Configure(fir, CFIR2::kLowPass, 12000, 1000, 257);
    const std::vector<float>& taps = fir.GetCoefficients();
    // One octave up costs about 6 dB.
    EXPECT_NEAR(GainDb(taps, 2000, 48000) - GainDb(taps, 4000, 48000), 6, 0.5);
    EXPECT_NEAR(GainDb(taps, 4000, 48000) - GainDb(taps, 8000, 48000), 6, 0.5);
    EXPECT_LT(GainDb(taps, 16000, 48000), -60);
}

TEST(CFIR2Test, TapsAreScaledToAPeakGainOfOne) {
    CFIR2 fir;
    for (int type : {CFIR2::kLowPass, CFIR2::kHighPass, CFIR2::kBandPass, CFIR2::kBandStop}) {
        Configure(fir, type, 9000, 3000, 96);
        double peak = -1e9;
        for (int bin = 0; bin <= 8192; ++bin) {
            peak = std::max(peak, GainDb(fir.GetCoefficients(), bin * 48000.0 / 16384, 48000));
        }
        EXPECT_NEAR(peak, 0, 1e-3) << "type " << type;
        const std::vector<float>& response = fir.GetResponse();
        ASSERT_EQ(response.size(), 8193u);
        EXPECT_NEAR(*std::max_element(response.begin(), response.end()), 0, 1e-3);
        // The stored response agrees with the taps at a bin in the stop band and one in the pass.
        EXPECT_NEAR(response[6144], GainDb(fir.GetCoefficients(), 18000, 48000), 0.5);
        EXPECT_NEAR(response[3072], GainDb(fir.GetCoefficients(), 9000, 48000), 0.01);
    }
}

TEST(CFIR2Test, FilterConvolvesAcrossBlocksAndRedesignsLazily) {
    CFIR2 fir;
    Configure(fir, CFIR2::kLowPass, 5000, 1000, 40);
    const std::vector<float> taps = fir.GetCoefficients();
    // An impulse split over blocks of odd sizes comes out as the taps, in order.
    std::vector<float> out;
    for (int size : {7, 1, 19, 33}) {
        std::vector<float> block(std::size_t(size), 0.0f);
        if (out.empty()) {
            block[0] = 1;
        }
        fir.Filter(block.data(), size);
        out.insert(out.end(), block.begin(), block.end());
    }
    ASSERT_EQ(out.size(), 60u);
    for (std::size_t k = 0; k < 60; ++k) {
        EXPECT_NEAR(out[k], k < 40 ? taps[k] : 0.0f, 1e-7) << k;
    }

    // A new cut-off takes effect at the next call, without an explicit design; cleared history
    // leaves nothing of the loud samples before.
    std::vector<float> loud(50, 0.9f);
    fir.Filter(loud.data(), 50);
    ASSERT_EQ(fir.SetFrequency(9000), 1);
    fir.ClearHistory();
    std::vector<float> impulse(64, 0.0f);
    impulse[0] = 1;
    fir.Filter(impulse.data(), 64);
    ASSERT_TRUE(fir.IsDesigned());
    EXPECT_NE(fir.GetCoefficients(), taps);
    for (std::size_t k = 0; k < 40; ++k) {
        EXPECT_NEAR(impulse[k], fir.GetCoefficients()[k], 1e-7) << k;
    }
}

TEST(CFIR2Test, SixteenBitEntryFiltersTheScaledSamples) {
    CFIR2 fir;
    Configure(fir, CFIR2::kLowPass, 5000, 1000, 24);
    std::vector<std::int16_t> impulse(30, 0);
    impulse[0] = 16384;
    fir.Filter(impulse.data(), 30);
    for (std::size_t k = 0; k < 24; ++k) {
        EXPECT_NEAR(impulse[k], fir.GetCoefficients()[k] * 16384, 0.51) << k;
    }
    // Without a filter type both entries pass samples unchanged, full scale included.
    ASSERT_EQ(fir.SetFilterType(CFIR2::kNone), 1);
    std::vector<std::int16_t> edge = {32767, -32768, 100};
    fir.Filter(edge.data(), 3);
    EXPECT_EQ(edge, (std::vector<std::int16_t>{32767, -32768, 100}));
    std::mt19937 random(7);
    std::vector<float> block = RandomBlock(random, 100, 1.0f);
    const std::vector<float> original = block;
    fir.Filter(block.data(), 100);
    EXPECT_EQ(block, original);
}

TEST(CFIR2_MMXTest, TapsRoundUpToSixteensAndFixedCoefficientsAreTheTapsTruncated) {
    CFIR2_MMX fir;
    EXPECT_EQ(fir.SetTaps(16385), 0);
    Configure(fir, CFIR2::kLowPass, 7000, 1000, 97);
    EXPECT_EQ(fir.GetTaps(), 112);
    ASSERT_EQ(fir.GetFixedCoefficients().size(), 112u);
    for (std::size_t k = 0; k < 112; ++k) {
        EXPECT_EQ(fir.GetFixedCoefficients()[k],
                  std::int16_t(std::trunc(fir.GetCoefficients()[k] * 32767)))
            << k;
    }
}

TEST(CFIR2_MMXTest, AgreesWithTheFloatFilterWithinSixteenBitQuantisation) {
    CFIR2 reference;
    CFIR2_MMX fixed;
    CFIR2_MMX full;
    for (CFIR2* fir : {static_cast<CFIR2*>(&reference), static_cast<CFIR2*>(&fixed),
                       static_cast<CFIR2*>(&full)}) {
        Configure(*fir, CFIR2::kBandPass, 6000, 4000, 96);
    }
    const double sumAbs = SumAbs(reference.GetCoefficients());
    // Input rounding (half a step through all taps), coefficient truncation (a step per tap on
    // inputs up to 0.5) and the output's shift (one step).
    const double bound = (0.5 * sumAbs + 0.5 * 96 + 1) / 32767;
    std::mt19937 random(11);
    double worst = 0;
    double worstFull = 0;
    for (int size : {2048, 5, 1000, 3, 2048}) {
        std::vector<float> a = RandomBlock(random, size, 0.5f);
        std::vector<float> b = a;
        std::vector<float> c = a;
        reference.Filter(a.data(), size);
        fixed.Filter(b.data(), size);
        full.FilterFull(c.data(), size);
        for (int i = 0; i < size; ++i) {
            worst = std::max(worst, double(std::abs(a[i] - b[i])));
            worstFull = std::max(worstFull, double(std::abs(a[i] - c[i])));
        }
    }
    // Random input through the pass band is far from silent, so this bound is not trivial.
    EXPECT_LT(worst, bound);
    EXPECT_LT(worstFull, bound);
}

TEST(CFIR2_MMXTest, SixteenBitEntryAndHistory) {
    CFIR2_MMX fir;
    Configure(fir, CFIR2::kLowPass, 5000, 1000, 32);
    std::vector<std::int16_t> loud(70, 30000);
    fir.Filter(loud.data(), 70);
    // A DC input at the pass band's gain of 1 comes out at the same level.
    EXPECT_NEAR(loud[69], 30000, 60);
    fir.ClearHistory();
    std::vector<std::int16_t> impulse(40, 0);
    impulse[0] = 32767;
    fir.Filter(impulse.data(), 40);
    for (std::size_t k = 0; k < 32; ++k) {
        // (32767 * c16) >> 15 is c16 or one below it.
        const int c16 = fir.GetFixedCoefficients()[k];
        EXPECT_LE(impulse[k], c16) << k;
        EXPECT_GE(impulse[k], c16 - 1) << k;
    }
    EXPECT_EQ(impulse[35], 0);
}

TEST(CFIR2FactoryTest, MakesTheFixedPointVariantWhenTheProcessorHasIt) {
    const std::unique_ptr<CFIR2> fir = CFIR2Factory::Create();
    const bool fixedPoint = dynamic_cast<CFIR2_MMX*>(fir.get()) != nullptr;
    EXPECT_EQ(fixedPoint, CFIR2Factory::HasPackedMultiplyAdd());
#if defined(__x86_64__)
    EXPECT_TRUE(fixedPoint);
#endif
}

namespace {

// The instruction sets this processor runs besides the portable loops.
std::vector<CFIR2Kernel::Isa> FasterInstructionSets() {
    std::vector<CFIR2Kernel::Isa> sets;
    for (int isa = CFIR2Kernel::kPortable + 1; isa < CFIR2Kernel::kIsaCount; ++isa) {
        if (CFIR2Kernel::IsSupported(CFIR2Kernel::Isa(isa))) {
            sets.push_back(CFIR2Kernel::Isa(isa));
        }
    }
    return sets;
}

// What the 16-bit entry must give, summed apart from the filter in 64 bits: each output the sum
// of 16-bit products over the fixed coefficients, shifted right by 15 and held at full scale.
// Counts the sums that leave 32 bits and the outputs that leave 16.
struct FixedReference {
    std::vector<std::int16_t> out;
    int beyond32 = 0;
    int beyond16 = 0;
};

FixedReference FilterFixed(const std::vector<std::int16_t>& taps,
                           const std::vector<std::int16_t>& input) {
    FixedReference result;
    for (std::size_t t = 0; t < input.size(); ++t) {
        std::int64_t sum = 0;
        for (std::size_t k = 0; k < taps.size() && k <= t; ++k) {
            sum += std::int64_t(taps[k]) * input[t - k];
        }
        result.beyond32 += sum > INT32_MAX || sum < INT32_MIN;
        const std::int64_t shifted = sum >> 15;
        result.beyond16 += shifted > 32767 || shifted < -32768;
        result.out.push_back(std::int16_t(std::clamp<std::int64_t>(shifted, -32768, 32767)));
    }
    return result;
}

// Full scale with the sign of the tap that weighs each sample at the last output: the largest sum
// these taps can give.
std::vector<std::int16_t> WorstCase(const std::vector<std::int16_t>& taps) {
    std::vector<std::int16_t> input(taps.size());
    for (std::size_t k = 0; k < taps.size(); ++k) {
        input[taps.size() - 1 - k] = taps[k] >= 0 ? 32767 : -32768;
    }
    return input;
}

std::vector<std::int16_t> ClippedSine(int n, double hz, double amplitude) {
    std::vector<std::int16_t> input(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double v = amplitude * 32767 * std::sin(2 * std::numbers::pi * hz * i / 48000);
        input[std::size_t(i)] = std::int16_t(std::clamp(std::lround(v), -32768L, 32767L));
    }
    return input;
}

}  // namespace

TEST(CFIR2KernelTest, EveryInstructionSetAgreesWithThePortableLoops) {
    std::mt19937 random(29);
    // Odd lengths and starting points, so every loop's whole blocks, single vectors and scalar
    // tail run, on unaligned data too.
    const int lengths[] = {1, 3, 17, 63, 64, 65, 129, 255, 511, 1023, 2047};
    std::vector<float> source = RandomBlock(random, 4096, 1.0f);
    std::vector<std::int16_t> source16(4096);
    for (auto& s : source16) {
        s = std::int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random));
    }
    for (CFIR2Kernel::Isa isa : FasterInstructionSets()) {
        for (int taps : {16, 48, 96, 208}) {
            SCOPED_TRACE(testing::Message() << CFIR2Kernel::Name(isa) << ", " << taps << " taps");
            CFIR2 portable, candidate;
            CFIR2_MMX portable16, candidate16;
            for (CFIR2* fir :
                 {&portable, &candidate,  //
                  static_cast<CFIR2*>(&portable16), static_cast<CFIR2*>(&candidate16)}) {
                Configure(*fir, CFIR2::kBandPass, 9000, 12000, taps);
            }
            ASSERT_EQ(portable.SetInstructionSet(CFIR2Kernel::kPortable), 1);
            ASSERT_EQ(portable16.SetInstructionSet(CFIR2Kernel::kPortable), 1);
            ASSERT_EQ(candidate.SetInstructionSet(isa), 1);
            ASSERT_EQ(candidate16.SetInstructionSet(isa), 1);
            std::size_t offset = 0;
            for (int n : lengths) {
                offset = (offset + 1) % 7;
                const auto slice = [&](const auto& v) {
                    return std::vector(v.begin() + std::ptrdiff_t(offset),
                                       v.begin() + std::ptrdiff_t(offset) + n);
                };
                std::vector<float> a = slice(source), b = a;
                portable.Filter(a.data(), n);
                candidate.Filter(b.data(), n);
                for (int i = 0; i < n; ++i) {
                    ASSERT_NEAR(a[i], b[i], 1e-5) << "length " << n << ", output " << i;
                }
                std::vector<std::int16_t> c = slice(source16), d = c;
                portable16.Filter(c.data(), n);
                candidate16.Filter(d.data(), n);
                ASSERT_EQ(c, d) << "length " << n;
                std::vector<float> e = slice(source), f = e;
                portable16.FilterFull(e.data(), n);
                candidate16.FilterFull(f.data(), n);
                ASSERT_EQ(e, f) << "length " << n;
            }
        }
    }
    CFIR2 fir;
    const CFIR2Kernel::Isa best = fir.GetInstructionSet();
    EXPECT_EQ(best, CFIR2Kernel::Best());
    EXPECT_EQ(fir.SetInstructionSet(CFIR2Kernel::Isa(CFIR2Kernel::kIsaCount)), 0);
    EXPECT_EQ(fir.GetInstructionSet(), best);
}

TEST(CFIR2_MMXTest, FullScaleAndClippedInputSaturatesAndNeverWraps) {
    struct Design {
        int taps;
        int window;
    };
    // The program's filter, and a long sharp one.
    const Design designs[] = {{96, CWindow::kBlackman}, {1024, CWindow::kRectangular}};
    for (const Design& design : designs) {
        SCOPED_TRACE(design.taps);
        CFIR2 reference;
        CFIR2_MMX fir;
        Configure(reference, CFIR2::kLowPass, 16000, 1000, design.taps, design.window);
        Configure(fir, CFIR2::kLowPass, 16000, 1000, design.taps, design.window);
        // Both can sum beyond 32 bits on full-scale input.
        ASSERT_TRUE(fir.IsWide());
        const std::vector<std::int16_t>& taps = fir.GetFixedCoefficients();
        const std::vector<std::vector<std::int16_t>> inputs = {
            WorstCase(taps), ClippedSine(3000, 5000, 1.6), ClippedSine(3000, 15000, 4)};
        std::vector<CFIR2Kernel::Isa> sets = FasterInstructionSets();
        sets.push_back(CFIR2Kernel::kPortable);
        for (CFIR2Kernel::Isa isa : sets) {
            ASSERT_EQ(fir.SetInstructionSet(isa), 1);
            int beyond32 = 0;
            int beyond16 = 0;
            for (const auto& input : inputs) {
                const FixedReference expected = FilterFixed(taps, input);
                beyond32 += expected.beyond32;
                beyond16 += expected.beyond16;
                fir.ClearHistory();
                std::vector<std::int16_t> out = input;
                fir.Filter(out.data(), int(out.size()));
                ASSERT_EQ(out, expected.out) << CFIR2Kernel::Name(isa);
            }
            // The inputs do reach past 16 bits, and past 32.
            EXPECT_GT(beyond16, 100);
            EXPECT_GT(beyond32, 0);
        }

        // The float entries agree with the floating-point filter on the largest sum, far beyond
        // full scale, within the 16-bit quantisation.
        const double sumAbs = SumAbs(reference.GetCoefficients());
        const double bound = (0.5 * sumAbs + design.taps + 1) / 32767;
        std::vector<float> worst(taps.size());
        std::transform(taps.begin(), taps.end(), worst.rbegin(),
                       [](std::int16_t c) { return c >= 0 ? 1.0f : -1.0f; });
        std::vector<float> expected = worst;
        std::vector<float> shifted = worst;
        std::vector<float> full = worst;
        reference.Filter(expected.data(), int(expected.size()));
        fir.ClearHistory();
        fir.Filter(shifted.data(), int(shifted.size()));
        fir.ClearHistory();
        fir.FilterFull(full.data(), int(full.size()));
        EXPECT_NEAR(expected.back(), sumAbs, 1e-3);
        EXPECT_NEAR(shifted.back(), expected.back(), bound);
        EXPECT_NEAR(full.back(), expected.back(), bound);
    }
}

TEST(CFIR2_MMXTest, FloatSamplesBecomeSixteenBitRoundedToNearestAndHeldAtFullScale) {
    // Without a filter the single tap 32767 passes each 16-bit sample through, and the whole sum
    // (sample x 32767) comes back.
    CFIR2_MMX fir;
    ASSERT_EQ(fir.SetTaps(16), 1);
    ASSERT_EQ(fir.Design(0), 1);
    ASSERT_EQ(fir.GetFixedCoefficients()[0], 32767);
    // Each value in full scale, and what it becomes: x 32767, rounded, held at 16 bits.
    const float values[] = {
        2.5f / 32767, -2.7f / 32767, 2.2f / 32767, 3.5f / 32767,      -1000.6f / 32767,
        1.0f,         -1.0f,         0.25f,        -20000.4f / 32767, -1.5f,
        2.7f / 32767, 1.5f,          NAN};
    const std::int16_t expected[] = {2,    -3,     2,      4, -1001, 32767, -32767,
                                     8192, -20000, -32768, 3, 32767, -32768};
    // From several starts, so the last samples meet both the four-at-a-time loop and the
    // one-at-a-time rest.
    for (int start : {0, 1, 2, 3}) {
        std::vector<float> block(std::begin(values) + start, std::end(values));
        fir.ClearHistory();
        fir.FilterFull(block.data(), int(block.size()));
        for (std::size_t i = 0; i < block.size(); ++i) {
            const std::size_t k = i + std::size_t(start);
            EXPECT_EQ(block[i], float(expected[k] * 32767) / (1 << 30)) << values[k];
        }
    }
}
