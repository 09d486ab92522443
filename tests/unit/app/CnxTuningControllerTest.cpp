// The tuning rules against a recording view and real (demo or simulated) receivers.
#include "app/CnxTuningController.h"

#include <array>
#include <vector>

#include "ControllerTestSupport.h"
#include "tuning/InxTuningView.h"

namespace {

class RecordingTuningView : public InxTuningView {
public:
    std::vector<int32_t> shown;
    int32_t upper = 0;
    bool channelMode = false;
    int32_t knobStep = 0;
    bool attenuator = false;
    bool rfAmplifier = false;

    void ShowFrequency(int32_t f) override { shown.push_back(f); }
    void ShowLimits(int32_t, int32_t top) override { upper = top; }
    void ShowChannelMode(bool on) override { channelMode = on; }
    void ShowKnobStep(int32_t step) override { knobStep = step; }
    void ShowAttenuator(bool on) override { attenuator = on; }
    void ShowRfAmplifier(bool on) override { rfAmplifier = on; }
};

class FakeScanStates : public InxScanStates {
public:
    std::array<State, kK740RXSlotCount> states{};
    int64_t position = 0;
    State GetScanState(int slot) const override { return states[size_t(slot)]; }
    std::optional<int64_t> GetSweepPosition(int) const override { return position; }
};

class TuningControllerTest : public ControllerTest {
protected:
    void Start() {
        StartReceivers();
        tuning_ =
            std::make_unique<CnxTuningController>(*settings_, *manager_, nullptr, scans_, view_);
        Record(tuning_->OnSelectedTuned, tuned_);
        Record(tuning_->OnSlotFrequencyChanged, listed_);
        tuning_->SelectSlot(0);
    }
    void ReleaseControllers() override { tuning_.reset(); }
    // Tunes the selected slot from `from` to `to`; gives what it is tuned to then.
    int32_t Move(int32_t from, int32_t to) {
        tuning_->FrequencySet(0, from, true);
        tuning_->FrequencySet(0, to);
        return tuning_->GetFrequency(0);
    }

    RecordingTuningView view_;
    FakeScanStates scans_;
    std::unique_ptr<CnxTuningController> tuning_;
    std::vector<int32_t> tuned_;
    std::vector<int> listed_;
};

}  // namespace

TEST_F(TuningControllerTest, ChannelModeMovesOntoTheRasterAndJumpsTheGapTheWayItWasGoing) {
    Start();
    ASSERT_TRUE(tuning_->IsChannelMode());
    EXPECT_EQ(view_.knobStep, 375000);
    EXPECT_EQ(Move(150000000, 136187500), 136000000);
    EXPECT_EQ(Move(150000000, 136187501), 136375000);
    EXPECT_EQ(Move(161125000, 161500000), 162250000);
    EXPECT_EQ(Move(162250000, 161500000), 161125000);
    EXPECT_EQ(Move(150000000, 173500001), 173500000);  // clamped for a standard receiver
    EXPECT_EQ(Move(150000000, 100), 136000000);
    // What the receiver took, the entry, the list and the demo sound's listener all agree on.
    EXPECT_EQ(Receiver(0).GetFrequency(), 136000000);
    EXPECT_EQ(view_.shown.back(), 136000000);
    EXPECT_EQ(tuned_.back(), 136000000);
    EXPECT_EQ(listed_.back(), 0);

    // A spin step goes by its step even in channel mode; a raster step lands on a channel even
    // without it.
    tuning_->OnEntrySpin(150010000);
    EXPECT_EQ(tuning_->GetFrequency(0), 150010000);
    tuning_->SetChannelMode(false);
    EXPECT_EQ(view_.knobStep, CnxTuningController::kFineStep);
    EXPECT_FALSE(view_.channelMode);
    tuning_->OnEntryRaster(150100000);
    EXPECT_EQ(tuning_->GetFrequency(0), 150250000);
    tuning_->TuneBy(12345);
    EXPECT_EQ(tuning_->GetFrequency(0), 150262345);
}

TEST_F(TuningControllerTest, EachSlotKeepsItsOwnLimitsAndOnlyTheSelectedOneIsShown) {
    DescribeRadios("[radio0]\nserial = 4711001\nextended = 1\n[radio1]\nserial = 4711002\n");
    Start();
    EXPECT_EQ(view_.upper, 225000000);
    EXPECT_EQ(Move(150000000, 200100000), 200125000);

    // Another slot is tuned within its own limits, listed, and not shown in the entry.
    view_.shown.clear();
    listed_.clear();
    tuning_->FrequencySet(1, 200000000);
    EXPECT_EQ(tuning_->GetFrequency(1), 173500000);
    EXPECT_EQ(Receiver(1).GetFrequency(), 173500000);
    EXPECT_EQ(listed_, std::vector<int>{1});
    EXPECT_TRUE(view_.shown.empty());
    EXPECT_EQ(tuning_->GetFrequency(0), 200125000);
}

TEST_F(TuningControllerTest, AScanHoldsTheRadioAndItsEndGivesTheRadioItsOwnFrequency) {
    DescribeRadios("[radio0]\nserial = 4711001\n[radio1]\nserial = 4711002\n");
    Start();
    tuning_->FrequencySet(0, 150250000);
    tuning_->SetAttenuator(false, true);
    tuned_.clear();

    scans_.states[0] = State::kScanning;
    scans_.position = 142750000;
    tuning_->ScanStateChanged(0);
    EXPECT_EQ(view_.shown.back(), 142750000);  // the entry follows the sweep

    // Tuned meanwhile (the remote control, the keys): kept, not given to the sweeping radio.
    tuning_->FrequencySet(0, 154000000);
    tuning_->SetAttenuator(true);
    EXPECT_EQ(tuning_->GetFrequency(0), 154000000);
    EXPECT_EQ(Receiver(0).GetFrequency(), 150250000);
    EXPECT_FALSE(Receiver(0).GetAttenuator());
    EXPECT_TRUE(tuned_.empty());
    EXPECT_TRUE(settings_->Receiver(0).atten != 0);

    // Held or ended, the radio goes where the slot is tuned.
    scans_.states[0] = State::kPaused;
    tuning_->ScanStateChanged(0);
    EXPECT_EQ(Receiver(0).GetFrequency(), 154000000);
    EXPECT_TRUE(Receiver(0).GetAttenuator());
    EXPECT_EQ(view_.shown.back(), 154000000);
    EXPECT_EQ(tuned_, std::vector<int32_t>{154000000});

    // The RF amplifier stays on whatever is asked; the attenuator of another slot is its own.
    tuning_->SetRFAmplifier(false, true);
    EXPECT_TRUE(view_.rfAmplifier);
    EXPECT_TRUE(Receiver(0).GetRfAmplifier());
    tuning_->SetSlotAttenuator(1, true);
    EXPECT_TRUE(Receiver(1).GetAttenuator());
    EXPECT_TRUE(view_.attenuator);  // still the selected slot's
}
