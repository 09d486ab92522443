#include "smeter/CnxSMeterModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Everything an event list raised, with its sender.
struct Raised {
    std::vector<int32_t> values;
    std::vector<void*> senders;
    TmySubscriptions subscriptions;
    void Listen(TmyEventList<int32_t>& list) {
        subscriptions.push_back(list.Subscribe([this](void* sender, int32_t value) {
            senders.push_back(sender);
            values.push_back(value);
        }));
    }
};

}  // namespace

TEST(CnxSMeterModelTest, ALevelAtTheThresholdOpensTheSquelchAndOneBelowClosesIt) {
    int panel = 0;
    CnxSMeterModel model(&panel);
    Raised squelch;
    squelch.Listen(model.OnSquelchChanged);
    EXPECT_TRUE(model.IsSquelched());

    // At the initial threshold of -120 dBm, everything from -120 up is a signal.
    model.SetLevel(-120.0);
    EXPECT_FALSE(model.IsSquelched());
    model.SetLevel(-30.0);  // held at the top of the scale
    EXPECT_EQ(model.GetLevel(), -40.0);
    EXPECT_EQ(squelch.values, (std::vector<int32_t>{0}));
    EXPECT_EQ(squelch.senders, (std::vector<void*>{&panel}));

    model.SetSquelchThreshold(-90.0);
    model.SetLevel(-90.0);  // at the threshold: still present, nothing raised
    EXPECT_FALSE(model.IsSquelched());
    model.SetLevel(-90.1);
    model.SetLevel(-100.0);  // every level below raises it again
    EXPECT_TRUE(model.IsSquelched());
    model.SetLevel(-89.0);
    model.SetLevel(-70.0);
    EXPECT_EQ(squelch.values, (std::vector<int32_t>{0, 1, 1, 0}));

    // Defeated, levels leave the squelch alone.
    model.SetSquelchDefeat(true);
    model.SetLevel(-110.0);
    EXPECT_FALSE(model.IsSquelched());
    model.SetSquelchDefeat(false);
    model.SetLevel(-110.0);
    EXPECT_TRUE(model.IsSquelched());
    EXPECT_EQ(squelch.values, (std::vector<int32_t>{0, 1, 1, 0, 1}));
}

TEST(CnxSMeterModelTest, AGCAndAVCClicksCycleOneToFourAndReportDifferently) {
    int panel = 0;
    CnxSMeterModel model(&panel);
    Raised agc;
    Raised avc;
    agc.Listen(model.OnAGCClicked);
    avc.Listen(model.OnAVCClicked);
    EXPECT_EQ(model.AGCStatus().tone, CnxSMeterModel::Tone::kUnknown);

    std::vector<std::string> agcTexts;
    std::vector<std::string> avcTexts;
    for (int i = 0; i < 5; ++i) {
        model.ClickAGC();
        model.ClickAVC();
        agcTexts.push_back(model.AGCStatus().text);
        avcTexts.push_back(model.AVCStatus().text);
    }
    EXPECT_EQ(agcTexts,
              (std::vector<std::string>{"AGC OFF", "AGC SLOW", "AGC MED", "AGC FAST", "AGC OFF"}));
    EXPECT_EQ(avcTexts,
              (std::vector<std::string>{"AVC OFF", "AVC SLOW", "AVC MED", "AVC FAST", "AVC OFF"}));
    EXPECT_EQ(agc.values, (std::vector<int32_t>{0, 1, 2, 3, 0}));  // the new mode - 1
    EXPECT_EQ(avc.values, (std::vector<int32_t>{1, 2, 3, 4, 1}));  // the new mode
    EXPECT_EQ(agc.senders.front(), &panel);

    // Off is the alert colour, the speeds the normal one.
    model.SetAGCMode(0);
    EXPECT_EQ(model.AGCStatus().text, "AGC OFF");
    EXPECT_EQ(model.AGCStatus().tone, CnxSMeterModel::Tone::kAlert);
    model.SetAGCMode(3);
    EXPECT_EQ(model.AGCStatus().tone, CnxSMeterModel::Tone::kNormal);
    // A mode outside 0..4 is stored but shows nothing new; the next click starts over at 1.
    model.SetAGCMode(9);
    EXPECT_EQ(model.GetAGCMode(), 9);
    EXPECT_EQ(model.AGCStatus().text, "AGC MED");
    model.ClickAGC();
    EXPECT_EQ(model.GetAGCMode(), 1);
}

TEST(CnxSMeterModelTest, NoReadingShowsNoLevelAndLeavesTheSquelchAsItWas) {
    constexpr double kNoReading = std::numeric_limits<double>::quiet_NaN();
    CnxSMeterModel model(nullptr);
    Raised squelch;
    squelch.Listen(model.OnSquelchChanged);
    model.SetSquelchThreshold(-100.0);
    model.SetLevel(-90.0);
    ASSERT_TRUE(model.HasReading());
    ASSERT_FALSE(model.IsSquelched());

    // Not the bottom of the scale, and the squelch does not close.
    model.SetLevel(kNoReading);
    EXPECT_FALSE(model.HasReading());
    EXPECT_TRUE(std::isnan(model.GetLevel()));
    EXPECT_FALSE(model.IsSquelched());
    EXPECT_EQ(squelch.values, (std::vector<int32_t>{0}));

    // A closed squelch stays closed too; the next reading decides again.
    model.SetLevel(-110.0);
    model.SetLevel(kNoReading);
    EXPECT_TRUE(model.IsSquelched());
    model.SetLevel(-95.0);
    EXPECT_TRUE(model.HasReading());
    EXPECT_EQ(model.GetLevel(), -95.0);
    EXPECT_EQ(squelch.values, (std::vector<int32_t>{0, 1, 0}));
}
