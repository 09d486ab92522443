#include <gtest/gtest.h>

#include "tuning/CnxTuningRules.h"

namespace {
constexpr int32_t kUpper = CnxChannelPlan::kUpperLimit;
constexpr int32_t kExtended = CnxChannelPlan::kExtendedUpperLimit;

int32_t Snap(int32_t f, int32_t previous = 136000000, int32_t upper = kUpper) {
    return CnxTuningRules::SnapToChannelRaster(f, previous, upper);
}
}  // namespace

TEST(CnxTuningRules, ClampKeepsFrequenciesInsideTheLimits) {
    EXPECT_EQ(CnxTuningRules::Clamp(100000000, kUpper), 136000000);
    EXPECT_EQ(CnxTuningRules::Clamp(173500001, kUpper), 173500000);
    EXPECT_EQ(CnxTuningRules::Clamp(200000000, kExtended), 200000000);
    EXPECT_EQ(CnxTuningRules::Clamp(int64_t(1) << 40, kExtended), kExtended);
}

TEST(CnxTuningRules, RasterRoundsToTheNearestChannelWithTiesDown) {
    EXPECT_EQ(Snap(136187500), 136000000);
    EXPECT_EQ(Snap(136187501), 136375000);
    EXPECT_EQ(Snap(162300000), 162250000);
    EXPECT_EQ(Snap(173500000), 173500000);
    EXPECT_EQ(Snap(173400000), 173500000);
    // Below the band the frequency is first brought up to the lowest channel.
    EXPECT_EQ(Snap(120000000), 136000000);
}

TEST(CnxTuningRules, TheGapIsJumpedInTheDirectionOfTravel) {
    EXPECT_EQ(Snap(161500000, 161125000), 162250000);
    EXPECT_EQ(Snap(161500000, 162250000), 161125000);
    EXPECT_EQ(Snap(161875000, 161125000), 162250000);
    EXPECT_EQ(Snap(161875000, 170000000), 161125000);
    // The channels at the gap's edges are not moved.
    EXPECT_EQ(Snap(161125000, 170000000), 161125000);
    EXPECT_EQ(Snap(162250000, 136000000), 162250000);
}

TEST(CnxTuningRules, ExtendedReceiversSnapWithoutPassingTheirLimit) {
    // 225 MHz is not a raster point: the nearest one below it is taken.
    EXPECT_EQ(Snap(225000000, 136000000, kExtended), 224875000);
    EXPECT_EQ(Snap(200000000, 136000000, kExtended), 200125000);
}
