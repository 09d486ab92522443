#include "settings/CnxChannelPlan.h"

#include <gtest/gtest.h>

// Low-band windows end just under half a spacing above the channel; the high band interleaves
// channels 1 to 31; the gap and everything outside belong to no channel (0 here).
TEST(CnxChannelPlan, EachFrequencyFallsInOneChannelsWindow) {
    const struct {
        int64_t frequency;
        int channel;
        bool onChannel;
    } cases[] = {{136000000, 32, true},       {136187499, 32, false}, {136187500, 33, false},
                 {135812500, 32, false},      {161125000, 99, true},  {161312499, 99, false},
                 {162062500, 1, false},       {162250000, 1, true},   {162437500, 17, false},
                 {162625000, 17, true},       {163000000, 2, true},   {173125000, 31, true},
                 {173500000, 16, true},       {135812499, 0, false},  {161312500, 0, false},
                 {161700000, 0, false},       {162062499, 0, false},  {173500001, 0, false},
                 {225000000, 0, false},       {0, 0, false},          {-136000000, 0, false},
                 {int64_t{1} << 40, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frequency);
        EXPECT_EQ(CnxChannelPlan::ChannelOf(c.frequency).value_or(SnxSonobuoyChannel{}).number,
                  c.channel);
        EXPECT_EQ(CnxChannelPlan::IsOnChannel(c.frequency), c.onChannel);
    }
}

TEST(CnxChannelPlan, EveryChannelOneToNinetyNineMapsBothWays) {
    // Distinct frequencies and the channels' own places follow from the windows above.
    for (int n = 1; n <= 99; ++n) {
        SCOPED_TRACE(n);
        const auto f = CnxChannelPlan::FrequencyOfChannel(n);
        ASSERT_TRUE(f.has_value());
        const auto channel = CnxChannelPlan::ChannelOf(*f);
        ASSERT_TRUE(channel.has_value());
        EXPECT_EQ(channel->number, n);
        EXPECT_EQ(channel->frequency, *f);
    }
    EXPECT_FALSE(CnxChannelPlan::FrequencyOfChannel(0).has_value());
    EXPECT_FALSE(CnxChannelPlan::FrequencyOfChannel(100).has_value());

    // The demo sonobuoys sit exactly on the channels they are named after.
    for (const SnxDemoSignal& signal : CnxChannelPlan::kDemoSignals) {
        EXPECT_EQ(CnxChannelPlan::FrequencyOfChannel(signal.channel), signal.frequency);
        EXPECT_EQ(CnxChannelPlan::DemoSignalAt(signal.frequency)->tenthsDbm, signal.tenthsDbm);
    }
    EXPECT_FALSE(CnxChannelPlan::DemoSignalAt(142750001).has_value());
}

TEST(CnxChannelPlan, ChannelTextIsFormattedLikePrintfSpaceFlag) {
    EXPECT_EQ(CnxChannelPlan::ChannelText(162250000), "Channel  1");
    EXPECT_EQ(CnxChannelPlan::ChannelText(161125000), "Channel  99");
    EXPECT_EQ(CnxChannelPlan::ChannelText(161312500), "Channel Undefined");
}
