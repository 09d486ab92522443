// The scan as the operator runs it: a pass over the band ends by itself and the receiver goes
// back where it was; pause twice resumes; every slot keeps its own loop setting; and however the
// operator pauses, resumes, stops and starts, every sonobuoy stays at its own channel.
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStackedWidget>

#include "MainWindowFixture.h"
#include "ScopeRun.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "scanner/ScopeView.h"
#include "settings/CnxChannelPlan.h"

namespace {

using Buttons = CnxK7RCtrlScanButtons;

class MainWindowScanning : public MainWindowTest {
protected:
    const ScopeView& View(int slot) { return window_->ScannerPage(slot).Graph().GetScopeView(); }

    // The channels of the points standing well above the noise floor, left to right.
    std::vector<int> ChannelsAboveNoise(int slot) {
        std::vector<int> channels;
        for (int i = 0; i < View(slot).GetPointCount(); ++i) {
            const auto level = View(slot).GetLevel(i);
            if (level && *level > -95.0) {
                channels.push_back(
                    CnxChannelPlan::ChannelOf(View(slot).GetPointFrequency(i))->number);
            }
        }
        return channels;
    }
    // The channels whose strongest level over the sweeps stood above the noise floor.
    std::vector<int> ChannelsEverAboveNoise(int slot) {
        std::vector<int> channels;
        for (int i = 0; i < View(slot).GetPointCount(); ++i) {
            const auto top = View(slot).GetMax(i);
            const auto level = View(slot).GetLevel(i);
            if ((top && *top > -95.0) || (level && *level > -95.0)) {
                channels.push_back(
                    CnxChannelPlan::ChannelOf(View(slot).GetPointFrequency(i))->number);
            }
        }
        return channels;
    }
    InxScanStates::State State(int slot) { return window_->Scans().GetScanState(slot); }
};

TEST_F(MainWindowScanning, ASinglePassEndsByItselfAndTheReceiverGoesBackWhereItWas) {
    Start();
    window_->Tuning().FrequencySet(0, 142750000);
    Press(0, Buttons::kLoopButton);  // loop off
    EXPECT_EQ(window_->Settings().Receiver(0).loop, 0);
    Key(Qt::Key_Space);
    ASSERT_TRUE(window_->Scans().IsScanning(0));
    EXPECT_EQ(window_->ScannerPage(0).Scanner().GetMode(), Buttons::kModeScan);
    EXPECT_TRUE(window_->ScannerPage(0).Graph().IsRunning());

    ASSERT_TRUE(PumpUntil([&] { return !window_->Scans().IsScanActive(0); }, 30s));
    EXPECT_EQ(Filled(View(0)), 99);
    EXPECT_EQ(ChannelsAboveNoise(0), (std::vector<int>{50, 80, 1}));
    EXPECT_EQ(window_->ScannerPage(0).Scanner().GetMode(), Buttons::kModeStop);
    EXPECT_FALSE(window_->ScannerPage(0).Graph().IsRunning());
    EXPECT_EQ(Frequency(), 142750000);
    EXPECT_EQ(window_->Manager()->GetReceiver(0)->GetFrequency(), 142750000);
}

TEST_F(MainWindowScanning, PausingTwiceResumesAndOnlyTheSelectedScannerCommands) {
    Start();
    Press(0, Buttons::kModeScan);
    ASSERT_TRUE(PumpUntil([&] { return View(0).GetPosition() >= 3; }));
    Press(0, Buttons::kModePause);
    EXPECT_EQ(State(0), InxScanStates::State::kPaused);
    EXPECT_EQ(window_->ScannerPage(0).Scanner().GetMode(), Buttons::kModePause);
    EXPECT_FALSE(window_->ScannerPage(0).Graph().IsRunning());
    PumpFor(200ms);
    const int held = View(0).GetPosition();
    PumpFor(300ms);
    EXPECT_EQ(View(0).GetPosition(), held) << "a held scan measures nothing";
    Press(0, Buttons::kModePause);  // the pause button again: back to scanning
    EXPECT_TRUE(window_->Scans().IsScanning(0));
    ASSERT_TRUE(PumpUntil([&] { return View(0).GetPosition() > held; }));
    EXPECT_LE(View(0).GetPosition(), held + 3) << "the sweep went on where it was";

    // The scanner of a slot that is not selected commands nothing.
    Press(3, Buttons::kModeScan);
    EXPECT_FALSE(window_->Scans().IsScanActive(3));
    Key(Qt::Key_Space);
    EXPECT_FALSE(window_->Scans().IsScanActive(0));
    EXPECT_EQ(window_->ScannerPage(0).Scanner().GetMode(), Buttons::kModeStop);

    // Each slot shows its own scanner; each slot's loop reaches its own settings and receiver.
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(window_->ScannerPage(1).isVisible());
    EXPECT_FALSE(window_->ScannerPage(0).isVisible());
    Press(1, Buttons::kLoopButton);
    EXPECT_EQ(window_->Settings().Receiver(1).loop, 0);
    EXPECT_EQ(window_->Settings().Receiver(0).loop, 1);
    EXPECT_EQ(window_->ScannerPage(1).Scanner().GetLoop(), 0);
}

TEST_F(MainWindowScanning, PausesAndResumesAtAHumanPaceLeaveTheSonobuoyOnItsChannel) {
    // A simulated radio with one sonobuoy on channel 50; pause and resume a dozen times in a loop
    // scan, 200 to 600 ms apart, with the real processing thread.
    WriteSimulation("[radio0]\nserial = 4711001\n[signals]\n142750000 = -62\n");
    g_optSettle2 = {true, 20};
    Start();
    Key(Qt::Key_Space);
    QRandomGenerator pace(17);
    for (int press = 0; press < 24; ++press) {
        PumpFor(std::chrono::milliseconds(200 + pace.bounded(400)));
        Press(0, Buttons::kModePause);
    }
    ASSERT_TRUE(window_->Scans().IsScanning(0));
    // Two more whole sweeps after the last resume.
    const int sweeps = 2 * 99;
    int seen = 0;
    int last = View(0).GetPosition();
    ASSERT_TRUE(PumpUntil(
        [&] {
            const int now = View(0).GetPosition();
            seen += now != last;
            last = now;
            return seen > sweeps;
        },
        60s));
    EXPECT_EQ(ChannelsEverAboveNoise(0), std::vector<int>{50});
    Key(Qt::Key_Space);
}

TEST_F(MainWindowScanning, StopFollowedAtOnceByStartLeavesEveryChannelWhereItIs) {
    // A sonobuoy on the first point (channel 32); a step settles a quarter of a second, so each
    // stop lands while one is under way and its reading comes after the next start.
    WriteSimulation("[radio0]\nserial = 4711001\n[signals]\n136000000 = -62\n");
    g_optSettle2 = {true, 2500};
    Start();
    for (int round = 0; round < 3; ++round) {
        Key(Qt::Key_Space);
        PumpFor(std::chrono::milliseconds(600 + 130 * round));
        Key(Qt::Key_Space);
        Key(Qt::Key_Space);
        // Two points of the new run measured.
        ASSERT_TRUE(PumpUntil(
            [&] { return window_->Scans().GetSweepPosition(0).value_or(0) >= 136750000; }, 10s));
        Key(Qt::Key_Space);
    }
    PumpFor(600ms);  // whatever the old steps still deliver comes now
    EXPECT_EQ(ChannelsEverAboveNoise(0), std::vector<int>{32});
}

}  // namespace
