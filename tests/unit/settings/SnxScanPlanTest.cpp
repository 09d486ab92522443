#include "settings/SnxScanPlan.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int32_t Channel(int number) {
    return *CnxChannelPlan::FrequencyOfChannel(number);
}

// The points a walk visits from its start, until it stops or `limit` is reached.
std::vector<int> Visits(CnxScanStepper walk, bool loop, int limit = 100) {
    std::vector<int> points;
    walk.Restart();
    do {
        points.push_back(walk.GetCurrent().point);
    } while (int(points.size()) < limit && walk.Next(loop));
    return points;
}

}  // namespace

TEST(SnxScanPlan, AWalkOverTheGapSkipsLockedOutChannelsAndComesBackToThePriorityOne) {
    // Channels 96 ... 99 and 1, 17, 2: the two raster points between 99 and 1 are no points.
    SnxScanPlan plan;
    plan.lower = Channel(96);
    plan.upper = Channel(2);
    plan.lockout = {99, 17};
    plan.priority = 98;
    plan.priorityEvery = 2;
    const CnxScanStepper walk = plan.Walk();
    ASSERT_EQ(walk.GetPointCount(), 7);
    EXPECT_EQ(walk.GetPointFrequency(3), Channel(99));
    EXPECT_EQ(walk.GetPointFrequency(4), Channel(1));
    EXPECT_EQ(walk.GetWalkedCount(), 5);
    EXPECT_EQ(walk.GetPriorityPoint(), 2);

    // One pass ends after its last point and the revisit that falls due there; a looping walk
    // starts the next sweep at the first point.
    const std::vector<int> pass{0, 1, 2, 2, 4, 6, 2};
    EXPECT_EQ(Visits(walk, false), pass);
    std::vector<int> twice = pass;
    twice.insert(twice.end(), pass.begin(), pass.end());
    EXPECT_EQ(Visits(walk, true, 14), twice);
}

TEST(SnxScanPlan, AChannelIsLockedOutWithEveryPointInItsWindow) {
    // 25 kHz steps: channel 51 (143.125 MHz) owns 142.9375 up to 143.3125 MHz.
    SnxScanPlan plan;
    plan.lower = 142500000;
    plan.upper = 143500000;
    plan.step = 25000;
    plan.lockout = {51};
    plan.priority = 50;
    const CnxScanStepper walk = plan.Walk();
    ASSERT_EQ(walk.GetPointCount(), 41);
    std::vector<int> locked;
    for (int i = 0; i < walk.GetPointCount(); ++i) {
        if (walk.IsLockedOut(i)) {
            locked.push_back(i);
        }
    }
    ASSERT_EQ(locked.size(), 15u);
    EXPECT_EQ(walk.GetPointFrequency(locked.front()), 142950000);
    EXPECT_EQ(walk.GetPointFrequency(locked.back()), 143300000);
    EXPECT_EQ(walk.GetPointFrequency(walk.GetPriorityPoint()), Channel(50));

    // Off the raster the priority channel is measured at its point nearest its own frequency;
    // a priority channel outside the range has no point.
    plan.lower = 142600000;
    plan.step = 100000;
    EXPECT_EQ(plan.Walk().GetPointFrequency(plan.Walk().GetPriorityPoint()), 142700000);
    plan.priority = 32;
    EXPECT_EQ(plan.Walk().GetPriorityPoint(), -1);
}

TEST(SnxScanPlan, ACheckedPlanIsOneAScanCanWalk) {
    SnxScanPlan plan;
    plan.lower = 180000000;
    plan.upper = 100000000;
    plan.step = 0;
    plan.lockout = {0, 60, 60, 100, 5};
    plan.priority = 100;
    plan.priorityEvery = 0;
    SnxScanPlan checked;
    checked.lockout = {5, 60};
    checked.priorityEvery = 1;
    EXPECT_EQ(plan.Checked(), checked);

    // A step too fine for the graph over this range falls back to the raster; over a narrow
    // range the same step fits.
    plan = SnxScanPlan();
    plan.step = 100;
    plan.priorityEvery = 500;
    EXPECT_EQ(plan.Checked().step, 375000);
    EXPECT_EQ(plan.Checked().priorityEvery, SnxScanPlan::kMaxPriorityEvery);
    plan.upper = 137000000;
    EXPECT_EQ(plan.Checked().step, 100);
}

TEST(SnxScanPlan, ChannelListsAreReadAsWrittenAndWhatIsNoChannelIsNamed) {
    std::string refused = "stale";
    EXPECT_EQ(SnxScanPlan::ParseChannels("60, 62-64,1", &refused),
              (std::vector<int32_t>{1, 60, 62, 63, 64}));
    EXPECT_EQ(refused, "");
    EXPECT_EQ(SnxScanPlan::ParseChannels(" 64 - 62 ,,64"), (std::vector<int32_t>{62, 63, 64}));
    EXPECT_EQ(SnxScanPlan::ParseChannels("60,abc,61,0", &refused), (std::vector<int32_t>{60, 61}));
    EXPECT_EQ(refused, "abc");
    for (const char* bad : {"0", "100", "99-101", "6o", "-5", "1-", "1.5"}) {
        EXPECT_TRUE(SnxScanPlan::ParseChannels(bad, &refused).empty()) << bad;
        EXPECT_EQ(refused, bad);
    }
    EXPECT_TRUE(SnxScanPlan::ParseChannels("", &refused).empty());
    EXPECT_EQ(refused, "");

    SnxScanPlan plan;
    plan.upper = Channel(99);
    plan.SetLockedOut(60, true);
    plan.SetLockedOut(1, true);
    plan.SetLockedOut(60, true);
    EXPECT_EQ(plan.LockoutText(), "1,60");
    EXPECT_TRUE(plan.IsLockedOut(1));
    EXPECT_EQ(plan.CountLockedOutInRange(), 1) << "channel 1 lies above channel 99";
    plan.SetLockedOut(60, false);
    EXPECT_EQ(plan.lockout, std::vector<int32_t>{1});
}
