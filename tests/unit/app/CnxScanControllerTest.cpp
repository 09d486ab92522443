// The scan rules against recording views and demo receivers scanning on their own threads.
#include "app/CnxScanController.h"

#include <vector>

#include "ControllerTestSupport.h"
#include "scanner/InxScanView.h"
#include "settings/CnxScanStepper.h"

namespace {

class RecordingScanView : public InxScanView {
public:
    std::vector<int32_t> modes;
    uint16_t run = 0;
    bool loop = true;
    int walks = 0;
    int64_t step = 0;
    std::vector<ScanSample> samples;

    void ShowScan(int32_t mode, uint16_t shownRun) override {
        modes.push_back(mode);
        run = shownRun;
    }
    void ShowLoop(bool on) override { loop = on; }
    bool ShowWalk(const CnxScanStepper& walk) override {
        ++walks;
        step = walk.GetStep();
        return true;
    }
    // As the graph: only the shown run's samples are taken.
    bool ShowSample(const ScanSample& sample) override {
        if (sample.run != run || run == 0) {
            return false;
        }
        samples.push_back(sample);
        return true;
    }
    void ScrollBy(int) override {}
};

class ScanControllerTest : public ControllerTest {
protected:
    void Start() {
        StartReceivers();
        scans_ = std::make_unique<CnxScanController>(*settings_, *manager_, nullptr);
        router_.scans = scans_.get();
        for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
            scans_->SetView(slot, &views_[size_t(slot)]);
        }
        changed_ =
            scans_->OnStateChanged.Subscribe([this](void*, int slot) { changes_.push_back(slot); });
    }
    void TearDown() override {
        router_.scans = nullptr;
        scans_.reset();
        ControllerTest::TearDown();
    }
    RecordingScanView& View(int slot) { return views_[size_t(slot)]; }

    std::array<RecordingScanView, kK740RXSlotCount> views_;
    std::unique_ptr<CnxScanController> scans_;
    std::vector<int> changes_;
    TmySubscription changed_;
};

using State = InxScanStates::State;

}  // namespace

TEST_F(ScanControllerTest, OnlyTheSelectedSlotCommandsAndEveryStateShowsOnItsView) {
    Start();
    EXPECT_EQ(View(0).modes, std::vector<int32_t>{InxScanView::kModeStop});
    scans_->Command(3, InxScanView::kModeScan);
    EXPECT_EQ(scans_->GetScanState(3), State::kStopped);

    scans_->Command(0, InxScanView::kModeScan);
    ASSERT_TRUE(scans_->IsScanning(0));
    const uint16_t run = View(0).run;
    EXPECT_NE(run, 0);
    EXPECT_EQ(View(0).step, 375000);
    ASSERT_TRUE(PumpUntil([&] { return View(0).samples.size() >= 3; }));
    EXPECT_EQ(View(0).samples[0].point, 0);
    EXPECT_EQ(scans_->GetSweepPosition(0), 136000000 + 375000 * View(0).samples.back().point);

    // Pause holds the run, a scan command resumes the same one.
    scans_->Command(0, InxScanView::kModePause);
    EXPECT_EQ(scans_->GetScanState(0), State::kPaused);
    EXPECT_TRUE(scans_->IsScanActive(0));
    scans_->Command(0, InxScanView::kModeScan);
    EXPECT_EQ(View(0).run, run);
    const std::size_t before = View(0).samples.size();
    ASSERT_TRUE(PumpUntil([&] { return View(0).samples.size() > before + 2; }));

    // Stopped, nothing more lands, and the next start is a new run from the first point.
    scans_->Toggle();
    EXPECT_EQ(View(0).run, 0);
    PumpFor(200ms);
    const std::size_t stopped = View(0).samples.size();
    PumpFor(200ms);
    EXPECT_EQ(View(0).samples.size(), stopped);
    scans_->Toggle();
    EXPECT_NE(View(0).run, run);
    EXPECT_EQ(View(0).modes, (std::vector<int32_t>{4, 1, 3, 1, 4, 1}));
    EXPECT_EQ(changes_, (std::vector<int>{0, 0, 0, 0, 0}));
    scans_->Stop(0);
}

TEST_F(ScanControllerTest, TheEndOfASinglePassEndsOnlyItsOwnRun) {
    Start();
    scans_->SetLoop(0, false);
    EXPECT_FALSE(View(0).loop);
    EXPECT_EQ(settings_->Receiver(0).loop, 0);
    EXPECT_EQ(settings_->Receiver(1).loop, 1);

    scans_->Command(0, InxScanView::kModeScan);
    const uint16_t run = View(0).run;
    // An end named after another run (one stopped by hand before) changes nothing.
    scans_->OnScanEnd(&Receiver(0), uint16_t(run + 1));
    EXPECT_TRUE(scans_->IsScanning(0));
    // A single pass of the demo receiver ends by itself: 99 points, then stopped.
    ASSERT_TRUE(PumpUntil([&] { return !scans_->IsScanActive(0); }, 30s));
    EXPECT_EQ(View(0).samples.size(), 99u);
    EXPECT_EQ(View(0).modes.back(), InxScanView::kModeStop);
}

TEST_F(ScanControllerTest, AStepTooFineForTheGraphIsRefusedAndAGoodOneTakesTheNextRun) {
    Start();
    EXPECT_FALSE(scans_->SetScanStep(100));  // more than a pass can hold
    EXPECT_FALSE(scans_->SetScanStep(0));
    EXPECT_FALSE(scans_->SetScanStep(-375000));
    EXPECT_EQ(scans_->GetScanStep(), 375000);
    ASSERT_TRUE(scans_->SetScanStep(750000));
    scans_->Command(0, InxScanView::kModeScan);
    EXPECT_EQ(View(0).step, 750000);
    ASSERT_TRUE(PumpUntil([&] { return View(0).samples.size() >= 2; }));
    EXPECT_EQ(scans_->GetSweepPosition(0), 136000000 + 750000 * View(0).samples.back().point);
    scans_->Stop(0);
}
