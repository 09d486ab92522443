#include "smeter/CnxSMeterLevelRules.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(CnxSMeterLevelRulesTest, ADemoReceiverShowsItsSonobuoysAndTheNoiseFloor) {
    EXPECT_EQ(CnxSMeterLevelRules::DemoLevel(162250000, false), -80.0);
    EXPECT_EQ(CnxSMeterLevelRules::DemoLevel(162250000, true), -98.0);
    EXPECT_EQ(CnxSMeterLevelRules::DemoLevel(142750000, false), -60.0);
    EXPECT_EQ(CnxSMeterLevelRules::DemoLevel(142750000, true), -78.0);
    EXPECT_EQ(CnxSMeterLevelRules::DemoLevel(154000000, false), -70.0);
    EXPECT_EQ(CnxSMeterLevelRules::DemoLevel(154000000, true), -88.0);
    EXPECT_EQ(CnxSMeterLevelRules::DemoLevel(154000001, false), -105.0);
    EXPECT_EQ(CnxSMeterLevelRules::DemoLevel(136000000, true), -105.0);
}

TEST(CnxSMeterLevelRulesTest, TheOffsetIsAddedToTheReadingOrToTheDemoLevel) {
    EXPECT_DOUBLE_EQ(CnxSMeterLevelRules::ShownLevel(-12.3, 25, true, 142750000, false), -57.5);
    EXPECT_DOUBLE_EQ(CnxSMeterLevelRules::ShownLevel(-12.3, -7, true, 150000000, false), -105.7);
    EXPECT_DOUBLE_EQ(CnxSMeterLevelRules::ShownLevel(-83.4, 25, false, 142750000, false), -80.9);
    EXPECT_DOUBLE_EQ(CnxSMeterLevelRules::ShownLevel(-83.4, 0, false, 142750000, true), -83.4);
    // A receiver that cannot be read shows no reading, whatever the offset.
    EXPECT_TRUE(std::isnan(CnxSMeterLevelRules::ShownLevel(std::nan(""), 25, false, 0, false)));
}

TEST(CnxSMeterLevelRulesTest, OnlyAChangedOrForcedOffsetReshowsTheReadingBehindTheMeter) {
    // Shown -77.5 under +2.5 dB: the reading behind it is -80.
    EXPECT_DOUBLE_EQ(*CnxSMeterLevelRules::ReadingToReshow(25, -10, false, -77.5), -80.0);
    EXPECT_DOUBLE_EQ(*CnxSMeterLevelRules::ReadingToReshow(25, 25, true, -77.5), -80.0);
    EXPECT_FALSE(CnxSMeterLevelRules::ReadingToReshow(25, 25, false, -77.5).has_value());
    // Without an S-meter the reading taken as shown is -120 dBm.
    EXPECT_DOUBLE_EQ(
        *CnxSMeterLevelRules::ReadingToReshow(-5, 0, false, CnxSMeterLevelRules::kNoMeterLevel),
        -119.5);
}

TEST(CnxSMeterLevelRulesTest, OffsetsInDecibelsBecomeTenthsTruncatedTowardZero) {
    EXPECT_EQ(CnxSMeterLevelRules::OffsetTenths(-0.35), -3);
    EXPECT_EQ(CnxSMeterLevelRules::OffsetTenths(0.35), 3);
    EXPECT_EQ(CnxSMeterLevelRules::OffsetTenths(-0.09), 0);
    // Every tenth within the dialog's range, reached by division or by stepping in tenths.
    double stepped = 0.0;
    for (int tenths = 0; tenths <= 500; ++tenths) {
        EXPECT_EQ(CnxSMeterLevelRules::OffsetTenths(tenths / 10.0), tenths);
        EXPECT_EQ(CnxSMeterLevelRules::OffsetTenths(-tenths / 10.0), -tenths);
        EXPECT_EQ(CnxSMeterLevelRules::OffsetTenths(stepped), tenths);
        stepped += 0.1;
    }
}
