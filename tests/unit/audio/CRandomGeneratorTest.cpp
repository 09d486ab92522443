#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "audio/CRandomGenerator.h"

namespace {

// The published shift-register step, written out for comparison.
uint32_t ReferenceShr3(uint32_t& state) {
    const uint32_t previous = state;
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return previous + state;
}

double NormalCdf(double x) {
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

TEST(CRandomGenerator, GeneratorsShareOneShiftRegister) {
    const uint32_t before = CRandomGenerator::State();
    CRandomGenerator first(0x1234);
    EXPECT_EQ(CRandomGenerator::State(), before ^ 0x1234u);
    CRandomGenerator second(0x00FF0000);
    uint32_t state = before ^ 0x1234u ^ 0x00FF0000u;
    EXPECT_EQ(CRandomGenerator::State(), state);
    // Drawing from either continues one sequence.
    for (int i = 0; i < 100; ++i) {
        CRandomGenerator& g = i % 3 == 0 ? first : second;
        ASSERT_EQ(g.Next(), ReferenceShr3(state)) << i;
    }
    const float u = first.Uniform();
    EXPECT_FLOAT_EQ(u, float(0.5 + int32_t(ReferenceShr3(state)) * 0.2328306e-9));
}

TEST(CRandomGenerator, NormalVariatesFollowTheNormalDistribution) {
    CRandomGenerator g(42);
    constexpr int kCount = 2000000;
    // Bins of width 0.5 from -4 to 4, plus the two tails.
    std::vector<int> bins(18, 0);
    int beyondTail = 0;
    for (int i = 0; i < kCount; ++i) {
        const double x = g.Normal();
        if (std::fabs(x) > 3.442620) {
            ++beyondTail;  // only the tail routine produces these
        }
        const int bin = x < -4 ? 0 : x >= 4 ? 17 : 1 + int(std::floor((x + 4) / 0.5));
        ++bins[bin];
    }
    const double tailP = 2 * (1 - NormalCdf(3.442620));
    EXPECT_NEAR(beyondTail, tailP * kCount, 5 * std::sqrt(tailP * kCount));
    double chi2 = 0;
    for (int b = 0; b < 18; ++b) {
        const double lo = b == 0 ? -INFINITY : -4 + (b - 1) * 0.5;
        const double hi = b == 17 ? INFINITY : -4 + b * 0.5;
        const double expected = kCount * (NormalCdf(hi) - NormalCdf(lo));
        chi2 += (bins[b] - expected) * (bins[b] - expected) / expected;
    }
    EXPECT_LT(chi2, 45.0);  // 17 degrees of freedom: 45 is far beyond the 99.9th percentile
}

TEST(CRandomGenerator, ExponentialAndUniformVariates) {
    CRandomGenerator g(7);
    constexpr int kCount = 1000000;
    double expSum = 0, uniSum = 0;
    int expBeyond3 = 0;
    float uniMin = 1, uniMax = 0;
    for (int i = 0; i < kCount; ++i) {
        const double e = g.Exponential();
        ASSERT_GE(e, 0.0);
        expSum += e;
        expBeyond3 += e > 3;
        const float u = g.Uniform();
        uniSum += u;
        uniMin = std::min(uniMin, u);
        uniMax = std::max(uniMax, u);
    }
    EXPECT_NEAR(expSum / kCount, 1.0, 0.01);
    EXPECT_NEAR(expBeyond3, std::exp(-3.0) * kCount, 5 * std::sqrt(std::exp(-3.0) * kCount));
    EXPECT_NEAR(uniSum / kCount, 0.5, 0.002);
    EXPECT_GE(uniMin, 0.0f);
    EXPECT_LE(uniMax, 1.0f);
    EXPECT_LT(uniMin, 0.001f);
    EXPECT_GT(uniMax, 0.999f);
}

}  // namespace
