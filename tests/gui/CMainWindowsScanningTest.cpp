// The scan as the operator runs it in demo mode: a pass over the band ends by itself and the
// receiver goes back where it was; pause twice resumes; every slot keeps its own loop setting.
#include <QStackedWidget>

#include "MainWindowFixture.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "scanner/CnxK740RXCtrlScanner.h"
#include "scanner/CnxK740RXCtrlScannerGraph.h"
#include "scanner/ScopeView.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxK740RXFileIniApp.h"

namespace {

class MainWindowScanning : public MainWindowTest {
protected:
    const ScopeView& View(int slot) { return window_->Graph(slot)->GetScopeView(); }

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
};

TEST_F(MainWindowScanning, ASinglePassEndsByItselfAndTheReceiverGoesBackWhereItWas) {
    Start();
    window_->FrequencySet(0, 142750000);
    window_->Scanner(0)->SetLoopValue(0);
    Key(Qt::Key_Space);
    ASSERT_TRUE(window_->ScanRun().IsScanning(0));
    EXPECT_EQ(window_->Scanner(0)->GetMode(), 1);
    EXPECT_TRUE(window_->Graph(0)->IsRunning());

    ASSERT_TRUE(PumpUntil([&] { return !window_->ScanRun().IsActive(0); }, 30s));
    EXPECT_EQ(View(0).GetFilled(), 99);
    EXPECT_EQ(ChannelsAboveNoise(0), (std::vector<int>{50, 80, 1}));
    EXPECT_EQ(window_->Scanner(0)->GetMode(), 4);
    EXPECT_FALSE(window_->Graph(0)->IsRunning());
    EXPECT_EQ(window_->GetCurrentFrequency(), 142750000);
    EXPECT_EQ(window_->Manager()->GetReceiver(0)->GetFrequency(), 142750000);
}

TEST_F(MainWindowScanning, PausingTwiceResumesAndOnlyTheSelectedScannerCommands) {
    Start();
    CnxK740RXCtrlScanner* scanner = window_->Scanner(0);
    scanner->Start();
    ASSERT_TRUE(PumpUntil([&] { return View(0).GetCount() >= 3; }));
    scanner->Pause();
    EXPECT_TRUE(window_->ScanRun().IsPaused(0));
    EXPECT_TRUE(window_->Graph(0)->IsPaused());
    const int count = View(0).GetCount();
    PumpFor(300ms);
    EXPECT_EQ(View(0).GetCount(), count) << "a paused graph takes no levels";
    scanner->Pause();  // the pause button again: back to scanning
    EXPECT_TRUE(window_->ScanRun().IsScanning(0));
    ASSERT_TRUE(PumpUntil([&] { return View(0).GetCount() > count; }));
    EXPECT_GE(View(0).GetPosition(), count) << "the sweep went on where it was";

    // The scanner of a slot that is not selected commands nothing.
    window_->Scanner(3)->Start();
    EXPECT_FALSE(window_->ScanRun().IsActive(3));
    Key(Qt::Key_Space);
    EXPECT_FALSE(window_->ScanRun().IsActive(0));
    EXPECT_EQ(scanner->GetMode(), 4);

    // Each slot shows its own scanner; each slot's loop reaches its own receiver.
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(window_->Scanner(1)->isVisible());
    EXPECT_FALSE(scanner->isVisible());
    window_->Scanner(1)->SetLoopValue(0);
    EXPECT_EQ(window_->Settings().Receiver(1).loop, 0);
    EXPECT_EQ(window_->Settings().Receiver(0).loop, 1);
}

}  // namespace
