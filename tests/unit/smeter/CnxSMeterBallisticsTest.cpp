#include "smeter/CnxSMeterBallistics.h"

#include <gtest/gtest.h>

namespace {

// Steps until everything rests; the number of frames it took, or -1 when it never settles.
int FramesToRest(CnxSMeterBallistics& ballistics, int limit = 10000) {
    for (int frame = 1; frame <= limit; ++frame) {
        if (!ballistics.Step()) {
            return frame;
        }
    }
    return -1;
}

}  // namespace

TEST(CnxSMeterBallisticsTest, TheNeedleGlidesToTheLevelFasterUpThanDownAndComesToRest) {
    CnxSMeterBallistics ballistics(-120.0);
    EXPECT_FALSE(ballistics.IsMoving());
    ballistics.SetTarget(-60.0);
    double previous = ballistics.Needle();
    for (int i = 0; i < 5; ++i) {
        ballistics.Step();
        EXPECT_GT(ballistics.Needle(), previous);
        EXPECT_LT(ballistics.Needle(), -60.0);
        previous = ballistics.Needle();
    }
    const double risen = ballistics.Needle() - -120.0;
    EXPECT_GT(FramesToRest(ballistics), 0);
    EXPECT_EQ(ballistics.Needle(), -60.0);
    EXPECT_EQ(ballistics.Readout(), -60.0);

    ballistics.SetTarget(-120.0);
    for (int i = 0; i < 5; ++i) {
        ballistics.Step();
    }
    const double fallen = -60.0 - ballistics.Needle();
    EXPECT_GT(risen, fallen);
    EXPECT_GT(fallen, 0.0);
    EXPECT_GT(FramesToRest(ballistics), 0);
    EXPECT_EQ(ballistics.Needle(), -120.0);
}

TEST(CnxSMeterBallisticsTest, ThePeakMarkHoldsThenSinksToTheNeedle) {
    CnxSMeterBallistics ballistics(-120.0);
    ballistics.SetTarget(-50.0);
    ASSERT_GT(FramesToRest(ballistics), 0);
    EXPECT_EQ(ballistics.Peak(), -50.0);

    ballistics.SetTarget(-100.0);
    for (int i = 0; i < CnxSMeterBallistics::kPeakHoldFrames; ++i) {
        ballistics.Step();
        EXPECT_EQ(ballistics.Peak(), -50.0) << i;
    }
    ASSERT_GT(FramesToRest(ballistics), 0);
    EXPECT_EQ(ballistics.Peak(), -100.0);
    EXPECT_EQ(ballistics.Needle(), -100.0);
}

TEST(CnxSMeterBallisticsTest, SettleAndOutOfRangeFactorsStillBringEverythingToTheLevel) {
    CnxSMeterBallistics ballistics(-120.0, {0.0, -1.0, 0.0, 5.0});
    ballistics.SetTarget(-70.0);
    EXPECT_GT(FramesToRest(ballistics), 0);
    EXPECT_EQ(ballistics.Needle(), -70.0);
    ballistics.SetTarget(-110.0);
    EXPECT_GT(FramesToRest(ballistics), 0);
    EXPECT_EQ(ballistics.Peak(), -110.0);

    ballistics.SetFactors(CnxSMeterBallistics::kPanelFactors);
    ballistics.SetTarget(-45.0);
    ballistics.Settle();
    EXPECT_FALSE(ballistics.IsMoving());
    EXPECT_EQ(ballistics.Needle(), -45.0);
    EXPECT_EQ(ballistics.Readout(), -45.0);
    EXPECT_EQ(ballistics.Peak(), -45.0);
}
