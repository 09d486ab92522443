#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numeric>
#include <random>
#include <vector>

#include "audio/CSndResampler.h"
#include "audio/CSndResamplerKernel.h"

namespace {

// The table's rule worked out independently in double precision.
double ReferenceTap(int k, double x) {
    const double d = k - x;
    const double t = d - 3.5;
    if (std::fabs(t) < 1e-8) {
        return 0.9;
    }
    const double w = 2 * M_PI / 7;
    const double window = 0.42 - 0.5 * std::cos(w * d) + 0.08 * std::cos(2 * w * d);
    return window * std::sin(0.9 * M_PI * t) / (M_PI * t);
}

// The table's rule as written, in single precision except the trigonometric functions: the
// values the table must hold exactly.
int16_t SinglePrecisionTap(int r, int k) {
    const float x = float(r - 1024) * (1.0f / 2048.0f);
    float c[8];
    float s = 0;
    for (int i = 0; i < 8; ++i) {
        const float d = float(i) - x;
        const float t = d - 3.5f;
        if (std::fabs(t) < 1e-8f) {
            c[i] = 0.9f;
        } else {
            const float w = 2.0f * float(M_PI) / 7.0f;
            const float window = 0.42f - 0.5f * float(std::cos(double(w * d))) +
                                 0.08f * float(std::cos(double(2.0f * w * d)));
            const float pit = float(M_PI) * t;
            c[i] = window * (float(std::sin(double(0.9f * pit))) / pit);
        }
        s += c[i];
    }
    return int16_t(std::floor(32768.0f * c[k] / s + 0.5f));
}

const int16_t* Row(int r) {
    return CSndResampler::Table() + 8 * r;
}

std::vector<int16_t> Convert(CSndResampler& converter, const std::vector<int16_t>& block) {
    uint32_t count = 0;
    const int16_t* out =
        converter.Process(block.data(), static_cast<uint32_t>(block.size()), &count);
    return {out, out + count};
}

std::vector<int16_t> Sine(std::size_t n, double frequency, double rate, double amplitude,
                          std::size_t offset = 0) {
    std::vector<int16_t> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        v[i] = static_cast<int16_t>(
            std::lround(amplitude * std::sin(2 * M_PI * frequency * double(i + offset) / rate)));
    }
    return v;
}

// What the converter must give for the first block after a configuration, worked out apart from
// it: the read position in 64 bits, the table row nearest to its fraction (row r stands for r /
// 2048 of a sample), the exact weighted sum of the 8 samples around it, held at full scale.
std::vector<double> ReferenceBlock(const std::vector<int16_t>& block, uint32_t step,
                                   std::size_t count, int* beyondFullScale = nullptr) {
    std::vector<int> h(16, 0);
    h.insert(h.end(), block.begin(), block.end());
    h.push_back(0);
    std::vector<double> out;
    for (std::size_t j = 0; j < count; ++j) {
        const uint64_t position = 0x80000 + uint64_t(j) * step;
        const std::size_t i = std::size_t(position >> 16);
        const double fraction = double(position % 65536) / 65536;
        const int r = int(std::lround(fraction * 2048));
        double sum = 0;
        for (int k = 0; k < 8; ++k) {
            sum += Row(r)[k] * double(h.at(i - 3 + std::size_t(k)));
        }
        sum /= 32768;
        if (beyondFullScale != nullptr && (sum > 32767 || sum < -32768)) {
            ++*beyondFullScale;
        }
        out.push_back(std::clamp(sum, -32768.0, 32767.0));
    }
    return out;
}

// Each output within one step of the reference: the converter's shifts round down.
void ExpectReference(const std::vector<int16_t>& out, const std::vector<double>& expected) {
    ASSERT_EQ(out.size(), expected.size());
    for (std::size_t j = 0; j < out.size(); ++j) {
        ASSERT_NEAR(out[j], expected[j], 1) << "output " << j;
    }
}

std::vector<int16_t> RandomBlock(std::mt19937& random, std::size_t n, int amplitude) {
    std::uniform_int_distribution<int> sample(-amplitude, amplitude);
    std::vector<int16_t> v(n);
    for (auto& s : v) {
        s = static_cast<int16_t>(std::clamp(sample(random), -32768, 32767));
    }
    return v;
}

TEST(CSndResampler, KernelTableFollowsTheRule) {
    CSndResampler converter;
    for (int r = 0; r <= 2048; ++r) {
        double c[8];
        double s = 0;
        for (int k = 0; k < 8; ++k) {
            c[k] = ReferenceTap(k, (r - 1024) / 2048.0);
            s += c[k];
        }
        for (int k = 0; k < 8; ++k) {
            ASSERT_EQ(Row(r)[k], SinglePrecisionTap(r, k)) << "row " << r << " tap " << k;
            // The exact value may round the other way only where single precision tips it.
            ASSERT_NEAR(Row(r)[k], 32768 * c[k] / s, 0.54) << "row " << r << " tap " << k;
        }
    }
}

TEST(CSndResampler, KernelWindowsDifferAndFallBackToRectangular) {
    // Away from the centre the windows weigh the sinc differently; an unknown number is no window.
    const float x = 0.25f;
    const float sinc =
        static_cast<float>(std::sin(0.9 * M_PI * (1 - x - 3.5)) / (M_PI * (1 - x - 3.5)));
    EXPECT_NEAR(CSndResampler::Kernel(1, x, 99), sinc, 1e-6);
    EXPECT_NEAR(CSndResampler::Kernel(1, x, 2), ReferenceTap(1, x), 1e-6);
    for (int window = 0; window < 8; ++window) {
        EXPECT_LT(std::fabs(CSndResampler::Kernel(1, x, window)), std::fabs(sinc)) << window;
        EXPECT_NEAR(CSndResampler::Kernel(3, -0.5f, window), 0.9f, 1e-6) << window;
    }
    EXPECT_NE(CSndResampler::Kernel(1, x, 0), CSndResampler::Kernel(1, x, 1));
}

TEST(CSndResampler, EqualRatesDelayByEightSamplesAcrossBlocks) {
    CSndResampler converter;  // 48000 -> 48000, 2048
    EXPECT_EQ(converter.GetStep(), 65536u);
    std::vector<int16_t> first(2048, 0);
    std::vector<int16_t> second(2048, 0);
    first[100] = 20000;
    first[2044] = 12000;  // crosses into the next block through the kept history
    const auto a = Convert(converter, first);
    const auto b = Convert(converter, second);
    ASSERT_EQ(a.size(), 2048u);
    ASSERT_EQ(b.size(), 2048u);
    // At f = 0 only the centre tap of row 0 weighs the sample; the kernel is not a copy.
    const int expected = (Row(0)[3] * 20000 >> 1) >> 14;
    EXPECT_EQ(a[108], expected);
    EXPECT_EQ(b[4], (Row(0)[3] * 12000 >> 1) >> 14);
    // The neighbours see the same impulse through the other taps, in mirror order.
    EXPECT_EQ(a[107], ((Row(0)[4] * 20000) >> 1) >> 14);
}

TEST(CSndResampler, AnotherBlockLengthReconfiguresAndClearsHistory) {
    CSndResampler converter;
    ASSERT_EQ(converter.Configure(48000, 64000, 2048), 1);
    Convert(converter, Sine(2048, 700, 48000, 20000));
    const auto shortBlock = Sine(1000, 440, 48000, 15000, 3);
    const auto out = Convert(converter, shortBlock);
    EXPECT_EQ(converter.GetBlockLength(), 1000u);
    EXPECT_EQ(out.size(), 1333u);

    CSndResampler fresh;
    ASSERT_EQ(fresh.Configure(48000, 64000, 1000), 1);
    EXPECT_EQ(out, Convert(fresh, shortBlock));

    // The same length again keeps the history, so the result now differs from a fresh start.
    CSndResampler other;
    ASSERT_EQ(other.Configure(48000, 64000, 1000), 1);
    const auto again = Convert(converter, shortBlock);
    EXPECT_NE(again, Convert(other, shortBlock));
}

TEST(CSndResampler, VectorLoopMatchesTheScalarRuleBitForBit) {
    CSndResampler converter;  // builds the table
    std::mt19937 random(42);
    std::uniform_int_distribution<int> sample(-32768, 32767);
    for (uint32_t trial = 0; trial < 200; ++trial) {
        const uint32_t n = 1 + random() % 3000;
        std::vector<int16_t> history(n + 17);
        for (auto& s : history) {
            // Full-scale extremes are where a wrong shift or a saturating pack would show.
            s = static_cast<int16_t>(trial % 4 == 0 ? (random() % 2 ? 32767 : -32768)
                                                    : sample(random));
        }
        const uint32_t step = 16384 + random() % 120000;
        const uint32_t count = 1 + random() % 4000;
        std::vector<int16_t> scalar(count), vector(count);
        CSndResamplerKernel::Job job{CSndResampler::Table(),
                                     history.data(),
                                     n,
                                     static_cast<uint32_t>(random() % 0x100000),
                                     step,
                                     scalar.data(),
                                     count};
        const uint32_t endScalar = CSndResamplerKernel::RunScalar(job);
        job.out = vector.data();
        const uint32_t endVector = CSndResamplerKernel::RunVector(job);
        ASSERT_EQ(scalar, vector) << "trial " << trial;
        ASSERT_EQ(endScalar, endVector);
    }
}

TEST(CSndResampler, EachOutputTakesTheNearestRowAtFineFractions) {
    // 44100 -> 48000 Hz steps by 60211 / 65536 of a sample, so the fractions run through every
    // residue of the row spacing, halfway points included.
    struct Rates {
        float in;
        float out;
        uint32_t step;
        std::size_t count;
    };
    const Rates cases[] = {{44100, 48000, 60211, 2229},
                           {48000, 44100, 71331, 1881},
                           {22050, 48000, 30105, 4458},
                           {48000, 64000, 49152, 2730}};
    std::mt19937 random(23);
    for (const Rates& rates : cases) {
        SCOPED_TRACE(rates.in);
        CSndResampler converter;
        ASSERT_EQ(converter.Configure(rates.in, rates.out, 2048), 1);
        EXPECT_EQ(converter.GetStep(), rates.step);
        const auto block = RandomBlock(random, 2048, 20000);
        ExpectReference(Convert(converter, block), ReferenceBlock(block, rates.step, rates.count));
    }
}

TEST(CSndResampler, FullScaleAndClippedInputSaturatesInsteadOfWrapping) {
    std::mt19937 random(5);
    // A 5 kHz sine clipped at full scale, and full-scale samples of random sign.
    std::vector<int16_t> clipped(2048), extremes(2048);
    for (std::size_t i = 0; i < clipped.size(); ++i) {
        const double v = 1.6 * 32767 * std::sin(2 * M_PI * 5000 * double(i) / 48000);
        clipped[i] = static_cast<int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
        extremes[i] = static_cast<int16_t>(random() % 2 ? 32767 : -32768);
    }
    for (const auto* block : {&clipped, &extremes}) {
        CSndResampler converter;
        ASSERT_EQ(converter.Configure(48000, 64000, 2048), 1);
        int beyond = 0;
        const auto expected = ReferenceBlock(*block, 49152, 2730, &beyond);
        EXPECT_GT(beyond, 50);  // the kernel's overshoot does reach past full scale here
        ExpectReference(Convert(converter, *block), expected);
    }
}

TEST(CSndResampler, LongestBlockKeepsItsReadPositionInRange) {
    // The read position reaches 8 + the block length in 16.16 bits: 65527 samples is the most.
    const uint32_t longest = CSndResampler::kMaxBlockLength;
    CSndResampler converter;
    ASSERT_EQ(converter.Configure(48000, 48000, longest), 1);
    std::vector<int16_t> block(longest, 0);
    block[longest - 20] = 20000;
    const auto out = Convert(converter, block);
    ASSERT_EQ(out.size(), longest);
    EXPECT_EQ(out[longest - 12], (Row(0)[3] * 20000 >> 1) >> 14);
    EXPECT_EQ(std::count(out.begin(), out.end(), 0), std::ptrdiff_t(longest) - 8);

    EXPECT_EQ(converter.Configure(48000, 48000, longest + 1), 0);
    EXPECT_EQ(converter.Configure(8000, 8e6f, 60000), 0);  // 60 million samples out of one block
    block.push_back(1000);
    EXPECT_TRUE(Convert(converter, block).empty());
    // Upward the same block length still fits.
    ASSERT_EQ(converter.Configure(48000, 64000, longest), 1);
    block.pop_back();
    EXPECT_EQ(Convert(converter, block).size(), 87369u);
}

TEST(CSndResampler, ImpossibleRatesAreRefusedAndNothingIsConverted) {
    const float inf = std::numeric_limits<float>::infinity();
    // The last two: less than 1/65536 of a sample per output, and a step beyond 32 bits.
    const std::pair<float, float> refused[] = {{48000, 0},   {0, 64000},   {-48000, 64000},
                                               {NAN, 64000}, {48000, inf}, {inf, 64000},
                                               {1, 1e9f},    {1e9f, 1}};
    const std::vector<int16_t> block(2048, 1000);
    for (const auto& [in, out] : refused) {
        SCOPED_TRACE(testing::Message() << in << " -> " << out);
        CSndResampler converter;
        ASSERT_EQ(converter.Configure(48000, 64000, 2048), 1);
        EXPECT_EQ(converter.Configure(in, out, 2048), 0);
        EXPECT_FALSE(CSndResampler::IsPossible(in, out, 2048));
        // Neither this block length nor another one converts anything.
        uint32_t count = 99;
        converter.Process(block.data(), 2048, &count);
        EXPECT_EQ(count, 0u);
        EXPECT_TRUE(Convert(converter, std::vector<int16_t>(1000, 1000)).empty());
        EXPECT_EQ(converter.Configure(48000, 64000, 2048), 1);
        EXPECT_EQ(Convert(converter, block).size(), 2730u);
    }
}

}  // namespace
