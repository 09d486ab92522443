#include "receiver/CnxScanStepper.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// What a single pass measures: every step's previous frequency until the walk says stop.
std::vector<int64_t> OnePass(CnxScanStepper stepper) {
    std::vector<int64_t> measured;
    stepper.Restart();
    while (stepper.Next(false)) {
        measured.push_back(stepper.GetPrevious());
    }
    return measured;
}

}  // namespace

TEST(CnxScanStepper, TheSonobuoyBandIsNinetyNineChannelsWithTheGapJumped) {
    const CnxScanStepper band;
    ASSERT_EQ(band.GetPointCount(), 99);
    EXPECT_EQ(band.GetPointFrequency(0), 136000000);
    EXPECT_EQ(band.GetPointFrequency(67), 161125000);
    EXPECT_EQ(band.GetPointFrequency(68), 162250000);
    EXPECT_EQ(band.GetPointFrequency(98), 173500000);
    EXPECT_EQ(band.GetPointFrequency(99), 0);
    EXPECT_EQ(band.GetPointFrequency(-1), 0);
    EXPECT_EQ(CnxScanStepper::Advance(160750000, 375000), 161125000);
    EXPECT_EQ(CnxScanStepper::Advance(161125000, 375000), 162250000);

    // The walk measures exactly the laid-out points; the step after the wrap ends the pass.
    const std::vector<int64_t> measured = OnePass(band);
    ASSERT_EQ(measured.size(), 99u);
    for (int i = 0; i < 99; ++i) {
        EXPECT_EQ(measured[i], band.GetPointFrequency(i)) << i;
    }
}

TEST(CnxScanStepper, LoopingWalkStartsOverAndAnyRangeAgreesWithItsPoints) {
    CnxScanStepper part(140000000, 150000000, 375000);
    ASSERT_EQ(part.GetPointCount(), 27);  // 140.000 ... 149.750 MHz
    part.Restart();
    for (int i = 0; i < 3 * 27; ++i) {
        ASSERT_TRUE(part.Next(true));
        ASSERT_EQ(part.GetPrevious(), part.GetPointFrequency(i % 27)) << i;
    }

    // Off the channel raster the gap rule still jumps 750 kHz where a step lands in the gap, and
    // the graph's points follow the walk exactly.
    const CnxScanStepper fine(161000000, 162400000, 100000);
    EXPECT_EQ(CnxScanStepper::Advance(161200000, 100000), 162050000);
    const std::vector<int64_t> walked = OnePass(fine);
    ASSERT_EQ(static_cast<int>(walked.size()), fine.GetPointCount());
    for (int i = 0; i < fine.GetPointCount(); ++i) {
        EXPECT_EQ(walked[i], fine.GetPointFrequency(i)) << i;
    }
    EXPECT_TRUE(part.SameRange(CnxScanStepper(140000000, 150000000, 375000)));
    EXPECT_FALSE(part.SameRange(fine));
}

TEST(CnxScanStepper, ARangeThatCannotBeWalkedHasNoPoints) {
    EXPECT_FALSE(CnxScanStepper(-1, 150000000, 375000).IsValid());
    EXPECT_FALSE(CnxScanStepper(150000000, 140000000, 375000).IsValid());
    EXPECT_FALSE(CnxScanStepper(136000000, 173500000, 0).IsValid());
    EXPECT_FALSE(CnxScanStepper(136000000, 173500000, -375000).IsValid());
    EXPECT_EQ(CnxScanStepper(136000000, 136000000, 375000).GetPointCount(), 1);
    EXPECT_EQ(CnxScanStepper(0, 225000000, 1).GetPointCount(), CnxScanStepper::kMaxPoints);
}
