// The knob box as an operator uses it: the program finds the (simulated) unit on its port, opens
// it, and the knob tunes the selected receiver.
#include "MainWindowFixture.h"
#include "MixerUnitProcess.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"

namespace {

// With simulated radios, and in demo mode, where an operator tries the box first.
class KnobBox : public MainWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(KnobBox, EightKnobCountsInChannelModeMoveTheSelectedReceiverOneChannel) {
    MixerUnitProcess unit;
    ASSERT_FALSE(unit.Path().empty());
    qputenv("K740RX_MIXER_PORTS", unit.Path().c_str());
    if (GetParam()) {
        WriteRadios(true);
    }
    Start();
    ASSERT_TRUE(unit.WaitForReceived(1)) << "the program never opened the unit";
    window_->Tuning().FrequencySet(0, 150250000);
    ASSERT_TRUE(window_->Tuning().IsChannelMode());

    unit.Do("press 2");  // channel steps
    unit.Do("turn +8");
    ASSERT_TRUE(PumpUntil([&] { return Frequency() == 150625000; })) << Frequency();
    EXPECT_EQ(window_->Manager()->GetReceiver(0)->GetFrequency(), 150625000);

    // Ten-kilohertz steps on the unit turn the window's channel mode off, and back.
    unit.Do("press 1");
    ASSERT_TRUE(PumpUntil([&] { return !window_->Tuning().IsChannelMode(); }));
    unit.Do("turn -8");
    ASSERT_TRUE(PumpUntil([&] { return Frequency() == 150615000; }));
    window_.reset();
}

INSTANTIATE_TEST_SUITE_P(MainWindow, KnobBox, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Radios" : "Demo"; });

}  // namespace
