// The scan as the operator runs it: a pass over the band ends by itself and the receiver goes
// back where it was; pause twice resumes; every slot keeps its own loop setting; and however the
// operator pauses, resumes, stops and starts, every sonobuoy stays at its own channel.
#include <QComboBox>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QStackedWidget>
#include <functional>
#include <optional>

#include "MainWindowFixture.h"
#include "ScopeRun.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "scanner/CnxCtrlScopeView.h"
#include "scanner/CnxK740RXDlgScanRange.h"
#include "scanner/ScopeView.h"
#include "settings/CnxChannelPlan.h"

namespace {

using Buttons = CnxK7RCtrlScanButtons;

class MainWindowScanning : public MainWindowTest {
protected:
    const ScopeView& View(int slot) { return window_->ScannerPage(slot).Graph().GetScopeView(); }

    // The channels of the points standing well above the noise floor, left to right; `ever`
    // counts a point whose strongest level over the sweeps stood there too.
    std::vector<int> ChannelsAboveNoise(int slot, bool ever = false) {
        std::vector<int> channels;
        for (int i = 0; i < View(slot).GetPointCount(); ++i) {
            const auto top = ever ? View(slot).GetMax(i) : std::nullopt;
            const auto level = View(slot).GetLevel(i);
            if ((top && *top > -95.0) || (level && *level > -95.0)) {
                channels.push_back(
                    CnxChannelPlan::ChannelOf(View(slot).GetPointFrequency(i))->number);
            }
        }
        return channels;
    }
    // Pumps until the sweep of slot 0 has moved more than `steps` times; `onStep` sees each new
    // position.
    void PumpSteps(int steps, const std::function<void(int)>& onStep = {}) {
        int seen = 0;
        int last = View(0).GetPosition();
        ASSERT_TRUE(PumpUntil(
            [&] {
                const int now = View(0).GetPosition();
                if (now != last && onStep) {
                    onStep(now);
                }
                seen += now != last;
                last = now;
                return seen > steps;
            },
            60s));
    }
    InxScanStates::State State(int slot) { return window_->Scans().GetScanState(slot); }

    // The operator's way: a click on the scanner's range opens the dialog, where the channels
    // and the priority channel are chosen.
    void ChooseChannels(int lower, int upper, int priority = 0, int every = 8) {
        AnswerNextModal<CnxK740RXDlgScanRange>([=](CnxK740RXDlgScanRange* dialog) {
            const auto choose = [](QComboBox* box, int data) {
                box->setCurrentIndex(box->findData(data));
            };
            choose(dialog->GetLowerChannel(), *CnxChannelPlan::FrequencyOfChannel(lower));
            choose(dialog->GetUpperChannel(), *CnxChannelPlan::FrequencyOfChannel(upper));
            choose(dialog->GetPriority(), priority);
            dialog->GetPriorityEvery()->setValue(every);
            dialog->accept();
        });
        window_->ScannerPage(0).Scanner().GetRangeButton()->click();
    }
    // The graph's menu item, chosen over a point.
    void MenuAt(int point, int item) {
        CnxK740RXCtrlScannerGraph& graph = window_->ScannerPage(0).Graph();
        const ScopeAxis& axis = View(0).GetAxis();
        ASSERT_TRUE(graph.PrepareContextMenu(
            QPoint(int(axis.CentreX(point)), axis.GetPlot().bottom() - 5)));
        graph.MenuCommand(item);
    }
};

TEST_F(MainWindowScanning, ASinglePassEndsByItselfAndTheReceiverGoesBackWhereItWas) {
    Start();
    window_->Tuning().FrequencySet(0, 142750000);
    Press(0, Buttons::kLoopButton);  // loop off
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
    PumpSteps(2 * 99);  // two more whole sweeps after the last resume
    EXPECT_EQ(ChannelsAboveNoise(0, true), std::vector<int>{50});
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
    EXPECT_EQ(ChannelsAboveNoise(0, true), std::vector<int>{32});
}

TEST_F(MainWindowScanning,
       ChannelsFiftyToEightyWithSixtyLockedOutMeasureThirtyAndShowThirtyOneSlots) {
    WriteSimulation(
        "[radio0]\nserial = 4711001\n[signals]\n142750000 = -62\n146500000 = -55\n"
        "154000000 = -70\n");
    Start();
    ChooseChannels(50, 80);
    EXPECT_EQ(View(0).GetPointCount(), 31);
    MenuAt(10, CnxK740RXCtrlScannerGraph::kMenuLockOut);  // channel 60, where a carrier sits
    EXPECT_EQ(window_->Settings().Receiver(0).scan.lockout, std::vector<int32_t>{60});
    EXPECT_EQ(window_->ScannerPage(0).Scanner().GetRangeText(),
              QString::fromUtf8("Ch 50–80 · 375 kHz · 1 out"));
    Switch("Channel")->click();  // the range in frequencies, as the switch says
    EXPECT_EQ(window_->ScannerPage(0).Scanner().GetRangeText(),
              QString::fromUtf8("142.750–154.000 MHz · 375 kHz · 1 out"));
    Switch("Channel")->click();

    Press(0, Buttons::kLoopButton);  // one pass
    Key(Qt::Key_Space);
    ASSERT_TRUE(PumpUntil([&] { return !window_->Scans().IsScanActive(0); }, 30s));
    EXPECT_EQ(View(0).GetPointCount(), 31);
    EXPECT_EQ(Filled(View(0)), 30);
    EXPECT_FALSE(View(0).GetLevel(10));
    EXPECT_EQ(ChannelsAboveNoise(0), (std::vector<int>{50, 80}));

    // The radio's plan is in its settings, and comes back with it.
    window_.reset();
    EXPECT_TRUE(
        IniText().contains("ScanLower=142750000\nScanUpper=154000000\nScanStep=375000\n"
                           "Lockout=60\n"))
        << IniText().toStdString();
    Start();
    EXPECT_EQ(View(0).GetPointCount(), 31);
    EXPECT_TRUE(View(0).IsLockedOut(10));
    // Unlocked, the channel is measured again.
    MenuAt(10, CnxK740RXCtrlScannerGraph::kMenuUnlockAll);
    Key(Qt::Key_Space);
    ASSERT_TRUE(PumpUntil([&] { return !window_->Scans().IsScanActive(0); }, 30s));
    EXPECT_EQ(ChannelsAboveNoise(0), (std::vector<int>{50, 60, 80}));
}

TEST_F(MainWindowScanning, ThePriorityChannelsLevelsLandAtItsOwnPoint) {
    // One sonobuoy, on the priority channel; revisited after every 3 other steps for two sweeps.
    WriteSimulation("[radio0]\nserial = 4711001\n[signals]\n144625000 = -62\n");
    Start();
    ChooseChannels(50, 80, 55, 3);
    EXPECT_EQ(window_->Settings().Receiver(0).scan.priority, 55);
    EXPECT_TRUE(window_->ScannerPage(0).Scanner().GetRangeText().endsWith("P55"));
    Key(Qt::Key_Space);
    int priorityVisits = 0;
    PumpSteps(2 * (31 + 10), [&](int now) { priorityVisits += now == 5; });
    Key(Qt::Key_Space);
    EXPECT_EQ(ChannelsAboveNoise(0, true), std::vector<int>{55});
    EXPECT_GT(priorityVisits, 2 * 5) << "seen more often than once a sweep";
    ASSERT_TRUE(View(0).GetMax(5)) << "two sweeps passed it";
    EXPECT_GT(*View(0).GetMax(5), -70.0);
}

}  // namespace
