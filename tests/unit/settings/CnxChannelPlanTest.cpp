#include "settings/CnxChannelPlan.h"

#include <gtest/gtest.h>

#include <set>

namespace {

void ExpectChannel(int64_t frequency, int number, bool onChannel) {
    SCOPED_TRACE(frequency);
    const auto channel = CnxChannelPlan::ChannelOf(frequency);
    ASSERT_TRUE(channel.has_value());
    EXPECT_EQ(channel->number, number);
    EXPECT_EQ(CnxChannelPlan::IsOnChannel(frequency), onChannel);
}

}  // namespace

TEST(CnxChannelPlan, LowBandWindowsEndJustUnderHalfASpacingAboveTheChannel) {
    ExpectChannel(136000000, 32, true);
    ExpectChannel(136187499, 32, false);
    ExpectChannel(136187500, 33, false);
    ExpectChannel(135812500, 32, false);
    ExpectChannel(161125000, 99, true);
    ExpectChannel(161312499, 99, false);
}

TEST(CnxChannelPlan, HighBandInterleavesChannelsOneToThirtyOne) {
    ExpectChannel(162062500, 1, false);
    ExpectChannel(162250000, 1, true);
    ExpectChannel(162437500, 17, false);
    ExpectChannel(162625000, 17, true);
    ExpectChannel(163000000, 2, true);
    ExpectChannel(173125000, 31, true);
    ExpectChannel(173500000, 16, true);
}

TEST(CnxChannelPlan, GapAndOutsideAreUndefined) {
    for (int64_t f : {int64_t{135812499}, int64_t{161312500}, int64_t{161700000},
                      int64_t{162062499}, int64_t{173500001}, int64_t{225000000}, int64_t{0},
                      int64_t{-136000000}, int64_t{1} << 40}) {
        SCOPED_TRACE(f);
        EXPECT_FALSE(CnxChannelPlan::ChannelOf(f).has_value());
        EXPECT_FALSE(CnxChannelPlan::IsOnChannel(f));
    }
}

TEST(CnxChannelPlan, EveryChannelOneToNinetyNineMapsBothWays) {
    std::set<int32_t> frequencies;
    for (int n = 1; n <= 99; ++n) {
        SCOPED_TRACE(n);
        const auto f = CnxChannelPlan::FrequencyOfChannel(n);
        ASSERT_TRUE(f.has_value());
        frequencies.insert(*f);
        const auto channel = CnxChannelPlan::ChannelOf(*f);
        ASSERT_TRUE(channel.has_value());
        EXPECT_EQ(channel->number, n);
        EXPECT_EQ(channel->frequency, *f);
    }
    EXPECT_EQ(frequencies.size(), 99u);
    EXPECT_EQ(CnxChannelPlan::FrequencyOfChannel(32), 136000000);
    EXPECT_EQ(CnxChannelPlan::FrequencyOfChannel(99), 161125000);
    EXPECT_EQ(CnxChannelPlan::FrequencyOfChannel(1), 162250000);
    EXPECT_EQ(CnxChannelPlan::FrequencyOfChannel(16), 173500000);
    EXPECT_EQ(CnxChannelPlan::FrequencyOfChannel(17), 162625000);
    EXPECT_EQ(CnxChannelPlan::FrequencyOfChannel(31), 173125000);
    EXPECT_FALSE(CnxChannelPlan::FrequencyOfChannel(0).has_value());
    EXPECT_FALSE(CnxChannelPlan::FrequencyOfChannel(100).has_value());
    EXPECT_FALSE(CnxChannelPlan::FrequencyOfChannel(-1).has_value());
}

TEST(CnxChannelPlan, HighBandArraysHoldTheInterleavedOrder) {
    const auto& numbers = CnxChannelPlan::HighBandNumbers();
    const std::array<int32_t, 6> head{1, 17, 2, 18, 3, 19};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), numbers.begin()));
    EXPECT_EQ(numbers[28], 15);
    EXPECT_EQ(numbers[29], 31);
    EXPECT_EQ(numbers[30], 16);
    EXPECT_EQ(CnxChannelPlan::HighBandFrequencies()[1], 162625000);
    EXPECT_EQ(CnxChannelPlan::LowBandNumbers().front(), 32);
    EXPECT_EQ(CnxChannelPlan::LowBandFrequencies()[67], 161125000);
}

TEST(CnxChannelPlan, ChannelTextIsFormattedLikePrintfSpaceFlag) {
    EXPECT_EQ(CnxChannelPlan::ChannelText(162250000), "Channel  1");
    EXPECT_EQ(CnxChannelPlan::ChannelText(162625000), "Channel  17");
    EXPECT_EQ(CnxChannelPlan::ChannelText(161125000), "Channel  99");
    EXPECT_EQ(CnxChannelPlan::ChannelText(161312500), "Channel Undefined");
}
