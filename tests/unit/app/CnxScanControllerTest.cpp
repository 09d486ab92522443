// The scan rules against recording views and demo receivers scanning on their own threads.
#include "app/CnxScanController.h"

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

#include "ControllerTestSupport.h"
#include "scanner/InxScanView.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxScanStepper.h"
#include "settings/SnxScanPlan.h"

namespace {

class RecordingScanView : public InxScanView {
public:
    std::vector<int32_t> modes;
    uint16_t run = 0;
    bool loop = true;
    int walks = 0;
    int64_t step = 0;
    std::optional<CnxScanStepper> walk;
    SnxScanPlan plan;
    bool channels = false;
    std::vector<ScanSample> samples;

    void ShowScan(int32_t mode, uint16_t shownRun) override {
        modes.push_back(mode);
        run = shownRun;
    }
    void ShowLoop(bool on) override { loop = on; }
    void ShowPlan(const SnxScanPlan& shown, bool inChannels) override {
        plan = shown;
        channels = inChannels;
    }
    bool ShowWalk(const CnxScanStepper& shown) override {
        ++walks;
        step = shown.GetStep();
        walk = shown;
        return true;
    }
    // The samples of one run, in the order they came.
    std::vector<ScanSample> SamplesOf(uint16_t ofRun) const {
        std::vector<ScanSample> found;
        std::copy_if(samples.begin(), samples.end(), std::back_inserter(found),
                     [ofRun](const ScanSample& s) { return s.run == ofRun; });
        return found;
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
        Record(scans_->OnStateChanged, changes_);
    }
    void ReleaseControllers() override { scans_.reset(); }
    RecordingScanView& View(int slot) { return views_[size_t(slot)]; }

    std::array<RecordingScanView, kK740RXSlotCount> views_;
    std::unique_ptr<CnxScanController> scans_;
    std::vector<int> changes_;
};

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

// Channels 50 to 80 of the plan.
SnxScanPlan Channels50To80() {
    SnxScanPlan plan;
    plan.lower = *CnxChannelPlan::FrequencyOfChannel(50);
    plan.upper = *CnxChannelPlan::FrequencyOfChannel(80);
    return plan;
}

std::set<int> PointsOf(const std::vector<ScanSample>& samples) {
    std::set<int> points;
    for (const ScanSample& sample : samples) {
        points.insert(sample.point);
    }
    return points;
}

TEST_F(ScanControllerTest, ARangeWithALockedOutChannelMeasuresOnlyItsOtherChannels) {
    Start();
    SnxScanPlan plan = Channels50To80();
    plan.lockout = {60};
    scans_->SetPlan(0, plan);
    EXPECT_EQ(settings_->Receiver(0).scan, plan) << "kept with the radio's values";
    EXPECT_EQ(View(0).plan, plan);
    EXPECT_TRUE(View(0).channels);
    ASSERT_TRUE(View(0).walk);
    EXPECT_EQ(View(0).walk->GetPointCount(), 31);
    EXPECT_TRUE(View(0).walk->IsLockedOut(10));  // channel 60
    EXPECT_EQ(View(1).plan, SnxScanPlan()) << "another slot keeps its own";

    scans_->SetLoop(0, false);
    scans_->Command(0, InxScanView::kModeScan);
    ASSERT_TRUE(PumpUntil([&] { return !scans_->IsScanActive(0); }, 30s));
    // One pass: 30 channels, each once, channel 60 never; the demo sonobuoys at their points.
    ASSERT_EQ(View(0).samples.size(), 30u);
    EXPECT_EQ(PointsOf(View(0).samples).size(), 30u);
    EXPECT_EQ(PointsOf(View(0).samples).count(10), 0u);
    for (const ScanSample& sample : View(0).samples) {
        const double demo = sample.point == 0 ? -60.0 : sample.point == 30 ? -70.0 : -105.0;
        EXPECT_DOUBLE_EQ(sample.level, demo) << sample.point;
    }

    // Shown in frequencies once the slot's Channel switch is off.
    settings_->Receiver(0).stepChannel = 0;
    scans_->ShowPlan(0);
    EXPECT_FALSE(View(0).channels);
}

TEST_F(ScanControllerTest, ThePriorityChannelComesBackAfterEveryFewStepsWithItsOwnLevel) {
    Start();
    SnxScanPlan plan = Channels50To80();
    plan.priority = 80;  // a demo sonobuoy at -70 dBm, the last point
    plan.priorityEvery = 3;
    scans_->SetPlan(0, plan);
    scans_->SetLoop(0, false);
    scans_->Command(0, InxScanView::kModeScan);
    ASSERT_TRUE(PumpUntil([&] { return !scans_->IsScanActive(0); }, 30s));

    const std::vector<ScanSample>& samples = View(0).samples;
    EXPECT_EQ(PointsOf(samples).size(), 31u);
    int visits = 0;
    int since = 0;
    int longest = 0;
    for (const ScanSample& sample : samples) {
        if (sample.point == 30) {
            ++visits;
            since = 0;
            EXPECT_DOUBLE_EQ(sample.level, -70.0) << "its level, at its own point";
        } else {
            longest = std::max(longest, ++since);
            EXPECT_NE(sample.level, -70.0) << "the priority level at point " << sample.point;
        }
    }
    EXPECT_EQ(visits, 11) << "after the 3rd, 6th, ... 30th other step, and once in order";
    EXPECT_LE(longest, 3);
    EXPECT_EQ(samples.size(), 30u + 11u);
}

TEST_F(ScanControllerTest, ARunningScanGoesOnOverNewPointsAtOnceAndAPausedOneWhenItGoesOn) {
    Start();
    scans_->Command(0, InxScanView::kModeScan);
    ASSERT_TRUE(PumpUntil([&] { return View(0).samples.size() >= 3; }));
    const uint16_t first = View(0).run;

    // Locking a channel out while scanning: a new run over the new points, no change of state.
    scans_->SetLockedOut(0, 34, true);  // point 2 of the band
    const uint16_t second = View(0).run;
    EXPECT_NE(second, first);
    EXPECT_EQ(changes_, std::vector<int>{0});
    ASSERT_TRUE(View(0).walk && View(0).walk->IsLockedOut(2));
    ASSERT_TRUE(PumpUntil([&] { return View(0).SamplesOf(second).size() >= 5; }));
    EXPECT_EQ(View(0).SamplesOf(second).front().point, 0) << "the new run starts at the start";
    EXPECT_EQ(PointsOf(View(0).SamplesOf(second)).count(2), 0u);

    // A new range while paused: the graph shows it at once and takes nothing of the held run;
    // going on starts a run over the new points.
    scans_->Command(0, InxScanView::kModePause);
    scans_->SetPlan(0, Channels50To80());
    EXPECT_EQ(View(0).run, 0);
    EXPECT_EQ(View(0).walk->GetPointCount(), 31);
    EXPECT_EQ(scans_->GetScanState(0), State::kPaused);
    scans_->Command(0, InxScanView::kModeScan);
    const uint16_t third = View(0).run;
    EXPECT_NE(third, second);
    ASSERT_TRUE(PumpUntil([&] { return View(0).SamplesOf(third).size() >= 3; }));
    EXPECT_EQ(View(0).SamplesOf(third).front().point, 0);
    EXPECT_EQ(scans_->GetSweepPosition(0),
              142750000 + 375000 * View(0).SamplesOf(third).back().point);
    EXPECT_EQ(View(0).modes, (std::vector<int32_t>{4, 1, 1, 1, 3, 3, 1}));
    scans_->Stop(0);
}

TEST_F(ScanControllerTest, StepsAndLockoutsAreEachSlotsOwnAndKeptWithIt) {
    Start();
    // The remote link's step: refused when a pass would not fit, else the slot's own.
    for (const int64_t refused : {100, 0, -375000}) {
        EXPECT_FALSE(scans_->SetScanStep(2, refused)) << refused;
    }
    EXPECT_FALSE(scans_->SetScanStep(9, 12500));
    ASSERT_TRUE(scans_->SetScanStep(2, 12500));
    EXPECT_EQ(settings_->Receiver(2).scan.step, 12500);
    EXPECT_EQ(View(2).step, 12500);
    EXPECT_EQ(scans_->GetScanStep(0), 375000);

    scans_->SetLockedOut(0, 61, true);
    scans_->SetLockedOut(0, 60, true);
    scans_->SetLockedOut(0, 120, true);  // no such channel
    EXPECT_EQ(settings_->Receiver(0).scan.lockout, (std::vector<int32_t>{60, 61}));
    EXPECT_EQ(View(0).walk->GetWalkedCount(), 97);
    scans_->SetLockedOut(0, 60, false);
    EXPECT_EQ(View(0).plan.lockout, std::vector<int32_t>{61});
    scans_->UnlockAll(0);
    EXPECT_TRUE(settings_->Receiver(0).scan.lockout.empty());
    EXPECT_EQ(View(0).walk->GetWalkedCount(), 99);

    // A plan that cannot be walked as it is comes out as what can.
    SnxScanPlan upsideDown = Channels50To80();
    std::swap(upsideDown.lower, upsideDown.upper);
    upsideDown.step = 0;
    scans_->SetPlan(1, upsideDown);
    EXPECT_EQ(settings_->Receiver(1).scan, Channels50To80());
}
