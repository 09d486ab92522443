#include "tuning/CnxKnobModel.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kUp = CnxKnobModel::kDirectionUp;
constexpr int kDown = CnxKnobModel::kDirectionDown;

using Steps = std::vector<int32_t>;

class Knob : public ::testing::Test {
protected:
    void SetUp() override {
        knob.SetStep(375000);
        listening = knob.FrequencyKnobChangeStep.Subscribe(
            [this](void*, int32_t step) { steps.push_back(step); });
    }

    CnxKnobModel knob;
    Steps steps;
    TmySubscription listening;
};

TEST_F(Knob, AccelerationAndAltScaleTheStep) {
    EXPECT_EQ(knob.StepFor(kUp, 0, false), 375000);
    EXPECT_EQ(knob.StepFor(kUp, 2, false), 3750000);
    EXPECT_EQ(knob.StepFor(kUp, 1, false), 37500000);
    EXPECT_EQ(knob.StepFor(kUp, 2, true), 37500) << "Alt counts as code 4, whatever the code";
    EXPECT_EQ(knob.StepFor(kDown, 2, false), -3750000);
    EXPECT_EQ(knob.StepFor(7, 0, false), -375000) << "any direction but 1 is down";

    knob.SetStep(10005);
    EXPECT_EQ(knob.StepFor(kUp, 0, true), 1000) << "integer division";

    knob.SetStep(INT32_MAX);
    EXPECT_EQ(knob.StepFor(kUp, 1, false), INT32_MAX);
    EXPECT_EQ(knob.StepFor(kDown, 1, false), -INT32_MAX);
}

TEST_F(Knob, FixedStepIgnoresAccelerationAndAlt) {
    knob.SetFixedStep(true);
    for (int code : {0, 1, 2, 4}) {
        EXPECT_EQ(knob.StepFor(kUp, code, false), 375000) << code;
        EXPECT_EQ(knob.StepFor(kDown, code, true), -375000) << code;
    }
}

TEST_F(Knob, EachTurnAndWheelNotchRaisesOneSignedStep) {
    knob.Turn(kUp, 2, false);
    knob.Turn(kDown, 0, true);
    knob.Turn(kDown, 0, false);
    EXPECT_EQ(steps, (Steps{3750000, -37500, -375000}));
    EXPECT_EQ(knob.Position(), -1);

    // Wheel notches turn one detent each; half a notch waits for the other half.
    steps.clear();
    knob.Wheel(120, false);
    knob.Wheel(-240, false);
    knob.Wheel(60, true);
    EXPECT_EQ(steps.size(), 3u);
    knob.Wheel(60, true);
    EXPECT_EQ(steps, (Steps{375000, -375000, -375000, 37500}));
}

TEST_F(Knob, SlowDragsTurnOnePlainStepPerDetent) {
    knob.BeginDrag(90, 0);
    knob.DragTo(80, 1000, false);
    EXPECT_TRUE(steps.empty()) << "less than a detent";
    knob.DragTo(60, 2000, false);
    EXPECT_EQ(steps, (Steps{375000, 375000})) << "30 degrees clockwise";
    knob.DragTo(90, 3000, false);
    EXPECT_EQ(steps, (Steps{375000, 375000, -375000, -375000}));

    steps.clear();
    knob.BeginDrag(170, 0);
    knob.DragTo(-175, 1000, false);
    EXPECT_EQ(steps, Steps{-375000}) << "the short way across the 180 degree line";
    knob.DragTo(170, 2000, true);
    EXPECT_EQ(steps, (Steps{-375000, 37500}));
}

TEST_F(Knob, FastDragsEarnAccelerationCodes) {
    EXPECT_EQ(CnxKnobModel::AccelerationCodeFor(0), CnxKnobModel::kVeryFast);

    knob.BeginDrag(0, 1000);
    knob.DragTo(-15, 1030, false);  // a detent in 30 ms
    knob.DragTo(-45, 1040, false);  // two detents in 10 ms
    knob.DragTo(-60, 2040, false);  // and a slow one
    EXPECT_EQ(steps, (Steps{3750000, 37500000, 37500000, 375000}));
}

}  // namespace
