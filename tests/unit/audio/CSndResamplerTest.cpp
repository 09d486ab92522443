#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
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

TEST(CSndResampler, KernelTableFollowsTheRuleAndIsSymmetric) {
    CSndResampler converter;
    for (int r = 0; r <= 2048; ++r) {
        double c[8];
        double s = 0;
        for (int k = 0; k < 8; ++k) {
            c[k] = ReferenceTap(k, (r - 1024) / 2048.0);
            s += c[k];
        }
        int sum = 0;
        for (int k = 0; k < 8; ++k) {
            const double expected = std::floor(32768 * c[k] / s + 0.5);
            // Single precision may round a borderline value the other way.
            ASSERT_NEAR(Row(r)[k], expected, 1) << "row " << r << " tap " << k;
            sum += Row(r)[k];
        }
        EXPECT_NEAR(sum, 32768, 4) << "row " << r;
        // Row r and row 2048 - r are mirror images, up to single-precision rounding.
        for (int k = 0; k < 8; ++k) {
            ASSERT_NEAR(Row(r)[k], Row(2048 - r)[7 - k], 1) << "rows " << r << ", " << 2048 - r;
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

TEST(CSndResampler, FortyEightToSixtyFourThousand) {
    CSndResampler converter;
    ASSERT_EQ(converter.Configure(48000, 64000, 2048), 1);
    EXPECT_EQ(converter.GetStep(), 49152u);
    // A 1 kHz tone stays a 1 kHz tone at the new rate: 64 output samples per period.
    std::vector<int16_t> all;
    for (int b = 0; b < 4; ++b) {
        const auto out = Convert(converter, Sine(2048, 1000, 48000, 10000, b * 2048));
        ASSERT_EQ(out.size(), 2730u);
        all.insert(all.end(), out.begin(), out.end());
    }
    // Compare the second block with an ideal tone of the right phase (blocks restart at 8.0, so
    // compare within one block only): correlation near 1, amplitude near the input's.
    const std::vector<int16_t> block(all.begin() + 2730 + 32, all.begin() + 2 * 2730 - 32);
    double best = 0;
    for (int phase = 0; phase < 64; ++phase) {
        double dot = 0, norm = 0;
        for (std::size_t i = 0; i < block.size(); ++i) {
            const double ideal = std::sin(2 * M_PI * (double(i) + phase) / 64);
            dot += block[i] * ideal;
            norm += ideal * ideal;
        }
        best = std::max(best, dot / norm);
    }
    EXPECT_NEAR(best, 10000, 300);
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

TEST(CSndResampler, ImpossibleRatesAreRefused) {
    CSndResampler converter;
    EXPECT_EQ(converter.Configure(48000, 0, 2048), 0);
    std::vector<int16_t> block(2048, 1);
    uint32_t count = 99;
    converter.Process(block.data(), 2048, &count);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(converter.Configure(48000, 64000, 2048), 1);
    converter.Process(block.data(), 2048, &count);
    EXPECT_EQ(count, 2730u);
}

}  // namespace
