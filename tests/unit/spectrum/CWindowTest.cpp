#include "spectrum/CWindow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace {

// The window applied to a block of ones: the weights themselves.
std::vector<float> Applied(CWindow& window, int type, int n) {
    std::vector<float> block(std::size_t(n), 1.0f);
    EXPECT_TRUE(window.Apply(type, block.data(), n));
    return block;
}

void ExpectWeights(CWindow& window, int type, const std::vector<double>& expected) {
    const std::vector<float> got = Applied(window, type, int(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(got[i], expected[i], 2e-6) << CWindow::Name(type) << " i=" << i;
    }
}

}  // namespace

TEST(CWindowTest, WeightsFollowEachWindowsFormula) {
    CWindow window;
    // Bell shapes peak at half the length, not at the centre.
    ExpectWeights(window, CWindow::kHanning, {0, 0.25, 0.75, 1, 0.75, 0.25});
    ExpectWeights(window, CWindow::kHamming, {0.08, 0.31, 0.77, 1, 0.77, 0.31});
    ExpectWeights(window, CWindow::kBlackman, {0, 0.13, 0.63, 1, 0.63, 0.13});
    ExpectWeights(window, CWindow::kGaussian,
                  {0.04393693, 0.2493522, 0.7066483, 1, 0.7066483, 0.2493522});
    ExpectWeights(window, CWindow::kGaussian, {0.04393693, 0.4578334, 1, 0.4578334, 0.04393693});
    ExpectWeights(window, CWindow::kFlatTop,
                  {-0.0417934, -0.04011983, 0.7636763, 0.7636763, -0.04011983});
    ExpectWeights(window, CWindow::kFlatTop,
                  {-0.0417934, -0.07840465, 0.4424925, 1.000001, 0.4424926, -0.07840465});
    ExpectWeights(window, CWindow::kBartlettHanning,
                  {0, 0.3585735, 0.8794265, 0.8794265, 0.3585735, 0});
    ExpectWeights(window, CWindow::kBlackmanHarris,
                  {6e-05, 0.1030115, 0.7938335, 0.7938335, 0.1030115, 6e-05});
    // Even and odd lengths take separate paths to the same rule.
    ExpectWeights(window, CWindow::kBartlett, {0, 0.4, 0.8, 0.8, 0.4, 0});
    ExpectWeights(window, CWindow::kBartlett, {0, 0.5, 1, 0.5, 0});
    // Bohman mirrors the first half and spares the odd middle.
    const double third = 1 / std::numbers::pi;
    ExpectWeights(window, CWindow::kBohman, {0, third, third, 0});
    // n = 5: c = 2.5, t = 1 and 0.6 for the first two samples.
    const double t = 0.6;
    const double w1 = (1 - t) * std::cos(std::numbers::pi * t) +
                      std::sin(std::numbers::pi * t) / std::numbers::pi;
    ExpectWeights(window, CWindow::kBohman, {0, w1, 1, w1, 0});
    ExpectWeights(window, CWindow::kTriangular, {0.25, 0.75, 0.75, 0.25});
    ExpectWeights(window, CWindow::kTriangular, {1.0 / 3, 2.0 / 3, 1, 2.0 / 3, 1.0 / 3});
}

TEST(CWindowTest, ApplyScalesTheGivenSamplesAndRefusesBadArguments) {
    CWindow window;
    std::vector<float> block = {2, -4, 6, 8, -10, 12, 14, 16};
    const std::vector<float> original = block;
    ASSERT_TRUE(window.Apply(CWindow::kHanning, block.data(), 8));
    EXPECT_FLOAT_EQ(block[2], 3);
    EXPECT_NEAR(block[7], 16 * 0.1464466, 1e-5);

    block = original;
    EXPECT_TRUE(window.Apply(CWindow::kRectangular, block.data(), 8));
    EXPECT_EQ(block, original);
    EXPECT_FALSE(window.Apply(11, block.data(), 8));
    EXPECT_FALSE(window.Apply(-1, block.data(), 8));
    EXPECT_FALSE(window.Apply(CWindow::kHanning, block.data(), 0));
    EXPECT_FALSE(window.Apply(CWindow::kHanning, nullptr, 8));
    EXPECT_EQ(block, original);

    // One sample is left as it is by every window.
    for (int type = 0; type < CWindow::kTypeCount; ++type) {
        float one = 3;
        EXPECT_TRUE(window.Apply(type, &one, 1));
        EXPECT_FLOAT_EQ(one, 3) << CWindow::Name(type);
    }
}

TEST(CWindowTest, CachedTablesStayApartPerTypeAndLength) {
    CWindow window;
    // Alternate lengths and types so a table cached under the wrong key would show.
    for (int round = 0; round < 3; ++round) {
        EXPECT_NEAR(Applied(window, CWindow::kHanning, 6)[1], 0.25, 1e-6);
        EXPECT_NEAR(Applied(window, CWindow::kHanning, 8)[1], 0.1464466, 1e-6);
        EXPECT_NEAR(Applied(window, CWindow::kHamming, 6)[1], 0.31, 1e-6);
    }
    // Far more lengths than the cache holds still give the right weights.
    for (int n = 2; n < 200; ++n) {
        const std::vector<float> w = Applied(window, CWindow::kHanning, n);
        EXPECT_NEAR(w[n / 2], 1.0, 1e-6) << n;
        EXPECT_NEAR(w[0], 0.0, 1e-6) << n;
    }
    EXPECT_NEAR(Applied(window, CWindow::kHanning, 6)[1], 0.25, 1e-6);
}

TEST(CWindowTest, NamesAreCopiedAsFarAsTheBufferGoesWithTheirFullLength) {
    char buffer[32];
    EXPECT_EQ(CWindow::GetName(CWindow::kBartlettHanning, buffer, sizeof buffer), 18);
    EXPECT_STREQ(buffer, "Bartlett - Hanning");
    EXPECT_EQ(CWindow::GetName(11, buffer, sizeof buffer), 3);
    EXPECT_STREQ(buffer, "N/A");
    EXPECT_EQ(CWindow::GetName(-3, buffer, sizeof buffer), 3);
    EXPECT_EQ(CWindow::GetName(CWindow::kBlackmanHarris, buffer, 6), 17);
    EXPECT_STREQ(buffer, "Black");
}
