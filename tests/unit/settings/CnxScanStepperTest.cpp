#include "settings/CnxScanStepper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "settings/CnxChannelPlan.h"

namespace {

// The visits of a walk from its start, the first included, until it stops or `limit` is reached.
std::vector<SnxScanVisit> Walk(CnxScanStepper stepper, bool loop, int limit = 1000) {
    std::vector<SnxScanVisit> visits;
    stepper.Restart();
    do {
        visits.push_back(stepper.GetCurrent());
    } while (static_cast<int>(visits.size()) < limit && stepper.Next(loop));
    return visits;
}

std::vector<int> Points(const std::vector<SnxScanVisit>& visits) {
    std::vector<int> points;
    for (const SnxScanVisit& v : visits) {
        points.push_back(v.point);
    }
    return points;
}

}  // namespace

TEST(CnxScanStepper, TheSonobuoyBandIsNinetyNineChannelsWithTheGapJumped) {
    const CnxScanStepper band;
    ASSERT_EQ(band.GetPointCount(), 99);
    EXPECT_EQ(band.GetPointFrequency(0), 136000000);
    EXPECT_EQ(band.GetPointFrequency(68), 162250000);
    EXPECT_EQ(band.GetPointFrequency(99), 0);
    EXPECT_EQ(band.IndexOf(162250000), 68);
    EXPECT_EQ(band.IndexOf(161500000), -1);  // inside the gap: never a point

    // A single pass visits every point once, in order, in sweep 0, and then stops where it was.
    const std::vector<SnxScanVisit> pass = Walk(band, false);
    ASSERT_EQ(pass.size(), 99u);
    for (int i = 0; i < 99; ++i) {
        EXPECT_EQ(pass[i], (SnxScanVisit{i, 0})) << i;
    }
}

TEST(CnxScanStepper, ALoopingWalkStartsOverInTheNextSweepAndAnyRangeAgreesWithItsPoints) {
    const CnxScanStepper part(140000000, 150000000, 375000);
    ASSERT_EQ(part.GetPointCount(), 27);  // 140.000 ... 149.750 MHz
    const std::vector<SnxScanVisit> looped = Walk(part, true, 3 * 27 + 1);
    for (int i = 0; i < 3 * 27 + 1; ++i) {
        ASSERT_EQ(looped[i], (SnxScanVisit{i % 27, uint32_t(i / 27)})) << i;
    }

    // Off the channel raster the gap rule still jumps 750 kHz where a step lands in the gap.
    const CnxScanStepper fine(161000000, 162400000, 100000);
    EXPECT_EQ(CnxScanStepper::Advance(161300000, 100000), 162150000);
    EXPECT_EQ(fine.GetPointFrequency(4), 162150000);
    EXPECT_EQ(static_cast<int>(Walk(fine, false).size()), fine.GetPointCount());
    EXPECT_TRUE(part.SameRange(CnxScanStepper(140000000, 150000000, 375000)));
    EXPECT_FALSE(part.SameRange(fine));
}

TEST(CnxScanStepper, AtEveryStepTheWalkMeasuresEveryChannelAcrossTheGapAndNothingInIt) {
    // From channel 96 to channel 3, a little off the raster, at each step the operator can choose.
    for (const int64_t step : {5000, 10000, 12500, 25000, 50000, 100000, 375000}) {
        const CnxScanStepper walk(160000000 + step / 5, 164000000, step);
        ASSERT_TRUE(walk.IsValid()) << step;
        std::vector<int> heard;
        int jumps = 0;
        for (int i = 0; i < walk.GetPointCount(); ++i) {
            const int64_t f = walk.GetPointFrequency(i);
            const auto channel = CnxChannelPlan::ChannelOf(f);
            ASSERT_TRUE(channel) << "a point in the gap: " << f << " at step " << step;
            heard.push_back(channel->number);
            if (i > 0) {
                const int64_t apart = f - walk.GetPointFrequency(i - 1);
                jumps += apart != step;
                ASSERT_TRUE(apart == step || apart == step + CnxChannelPlan::kGapJump) << f;
            }
        }
        EXPECT_EQ(jumps, 1) << step;
        for (const int channel : {96, 97, 98, 99, 1, 17, 2, 18}) {
            EXPECT_NE(std::find(heard.begin(), heard.end(), channel), heard.end())
                << "channel " << channel << " never measured at step " << step;
        }
    }

    // The count, worked out without laying the points out, agrees with the points for ranges
    // that start below, in and above the gap, and end anywhere.
    for (int64_t lower = 160900000; lower < 162500000; lower += 137500) {
        for (int64_t upper = lower; upper < 163000000; upper += 211111) {
            for (const int64_t step : {5000, 12500, 100000, 375000, 1000000}) {
                ASSERT_EQ(CnxScanStepper::CountPoints(lower, upper, step),
                          CnxScanStepper(lower, upper, step).GetPointCount())
                    << lower << " " << upper << " " << step;
            }
        }
    }
}

TEST(CnxScanStepper, ARangeThatCannotBeWalkedHasNoPoints) {
    EXPECT_FALSE(CnxScanStepper(-1, 150000000, 375000).IsValid());
    EXPECT_FALSE(CnxScanStepper(150000000, 140000000, 375000).IsValid());
    EXPECT_FALSE(CnxScanStepper(136000000, 173500000, 0).IsValid());
    EXPECT_EQ(CnxScanStepper(136000000, 136000000, 375000).GetPointCount(), 1);
    // A step so fine that a pass would exceed the graph's points is refused as a whole, never
    // cut short: the walk and the graph must hold the same points.
    EXPECT_EQ(CnxScanStepper::CountPoints(136000000, 173500000, 100),
              CnxScanStepper::kMaxPoints + 1);
    EXPECT_FALSE(CnxScanStepper(136000000, 173500000, 100).IsValid());
    EXPECT_EQ(CnxScanStepper::CountPoints(136000000, 145999900, 100), CnxScanStepper::kMaxPoints);
    EXPECT_FALSE(CnxScanStepper(136000000, 173500000, 100).Next(true));
}

TEST(CnxScanStepper, LockedOutPointsAreSkippedAndThePriorityPointComesBackAfterEveryFewOthers) {
    // Channels 50-80 (points 18-48 of the band) with channel 60 (point 28) locked out.
    CnxScanStepper band;
    std::vector<int> outside;
    for (int i = 0; i < 99; ++i) {
        if (i < 18 || i > 48 || i == 28) {
            outside.push_back(i);
        }
    }
    band.SetLockedOut(outside);
    EXPECT_EQ(band.GetWalkedCount(), 30);
    std::vector<int> expected;
    for (int i = 18; i <= 48; ++i) {
        if (i != 28) {
            expected.push_back(i);
        }
    }
    EXPECT_EQ(Points(Walk(band, false)), expected);

    // Priority on point 40 every 3: after every 3 other visits the walk goes back to it, within
    // the sweep it interrupts.
    band.SetPriority(40, 3);
    const std::vector<int> withPriority = Points(Walk(band, false, 12));
    EXPECT_EQ(withPriority, (std::vector<int>{18, 19, 20, 40, 21, 22, 23, 40, 24, 25, 26, 40}));
    int longestGap = 0;
    int since = 0;
    for (const SnxScanVisit& v : Walk(band, true, 200)) {
        since = v.point == 40 ? 0 : since + 1;
        longestGap = std::max(longestGap, since);
    }
    EXPECT_LE(longestGap, 3);

    // A locked-out priority point is not measured at all; everything locked out walks nothing.
    band.SetLockedOut({40});
    for (const SnxScanVisit& v : Walk(band, true, 300)) {
        ASSERT_NE(v.point, 40);
    }
    std::vector<int> all(99);
    for (int i = 0; i < 99; ++i) {
        all[i] = i;
    }
    band.SetLockedOut(all);
    EXPECT_FALSE(band.Next(true));
}
