#include "scanner/ScopeView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "ScopeRun.h"
#include "settings/CnxScanStepper.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Records what the view asks its window for.
class RecordingDisplay : public InxScopeDisplay {
public:
    std::vector<int> points;
    int repaints = 0;
    int readOuts = 0;
    int visibleParts = 0;

    void SchedulePointRepaint(int index) override { points.push_back(index); }
    void ScheduleRepaint() override { ++repaints; }
    void ReadOutChanged() override { ++readOuts; }
    void VisiblePartChanged() override { ++visibleParts; }
    TextExtent MeasureText(const QString& text) const override {
        return {6 * int(text.size()), 10, 12};
    }
};

// The weakest and strongest level the view keeps for a point.
using Pair = std::pair<double, double>;
Pair Extremes(const ScopeView& view, int index) {
    return {view.GetMin(index).value_or(kNaN), view.GetMax(index).value_or(kNaN)};
}

}  // namespace

TEST(ScopeView, PointsFollowTheScanWalkForAnyRange) {
    ScopeView view;
    EXPECT_EQ(view.GetPointCount(), 99);

    // A range across the gap off the channel raster: the graph has exactly the receiver's points.
    ASSERT_TRUE(view.SetRange(160000000, 163000000, 250000, true));
    const CnxScanStepper walk(160000000, 163000000, 250000);
    ASSERT_EQ(view.GetPointCount(), walk.GetPointCount());
    for (int i = 0; i < walk.GetPointCount(); ++i) {
        EXPECT_EQ(view.GetPointFrequency(i), walk.GetPointFrequency(i)) << i;
    }

    // Positions between points are proportional, also across the gap.
    view.SetRange(136000000, 173500000, 375000, true);
    EXPECT_DOUBLE_EQ(view.PositionOf(136000000), 0.0);
    EXPECT_DOUBLE_EQ(view.PositionOf(142750000), 18.0);
    EXPECT_DOUBLE_EQ(view.PositionOf(161500000), 67.0 + 1.0 / 3.0);
    EXPECT_DOUBLE_EQ(view.PositionOf(173875000), 99.0);
}

TEST(ScopeView, EachSampleLandsAtItsOwnPointAndOnlyTheCurrentRunIsTaken) {
    ScopeView view;
    ScopeRun none(view, 0);
    EXPECT_FALSE(view.AddLevel(none.Sample(5, -60.0)));  // no run is taken
    EXPECT_EQ(Filled(view), 0);

    ScopeRun run(view, 7);
    // Whatever came before, a sample goes where it says: no counting, no shifting.
    EXPECT_TRUE(view.AddLevel(run.Sample(68, -80.0)));
    EXPECT_TRUE(view.AddLevel(run.Sample(18, -62.0)));
    EXPECT_EQ(view.GetLevel(68), -80.0);
    EXPECT_EQ(view.GetLevel(18), -62.0);
    EXPECT_EQ(view.GetPosition(), 18);
    EXPECT_EQ(Filled(view), 2);

    // Late samples of an ended run, and points the pass does not have, are dropped.
    const ScanSample late = ScopeRun(view, 6).Sample(20, -40.0);
    view.SetRun(7);
    EXPECT_FALSE(view.AddLevel(late));
    EXPECT_FALSE(view.AddLevel(run.Sample(99, -40.0)));
    EXPECT_FALSE(view.AddLevel(run.Sample(-1, -40.0)));
    EXPECT_FALSE(view.GetLevel(20).has_value());

    // A whole sweep in walk order fills every point; the extremes need a second sweep.
    ScopeRun full(view, 8);
    full.Sweep(99, -90.0);
    EXPECT_EQ(Filled(view), 99);
    EXPECT_FALSE(view.GetMin(30).has_value() || view.GetMax(30).has_value());
    full.Add(-100.0);  // point 0 of the next sweep
    EXPECT_EQ(view.GetPosition(), 0);
    EXPECT_EQ(view.GetLevel(0), -100.0);
    EXPECT_EQ(Extremes(view, 0), Pair(-100.0, -90.0));
    EXPECT_EQ(Extremes(view, 68), Pair(-90.0, -80.0));  // the first run's level counts too
}

TEST(ScopeView, LaterSweepsKeepTheWeakestAndStrongestLevelOfEachPoint) {
    ScopeView view;
    ScopeRun run(view);
    run.Sweep(99, -60.0);
    run.Add(-80.0);  // point 0 weaker
    run.Add(-50.0);  // point 1 stronger
    run.Add(-60.0);  // point 2 the same
    EXPECT_EQ(Extremes(view, 0), Pair(-80.0, -60.0));
    EXPECT_EQ(Extremes(view, 1), Pair(-60.0, -50.0));

    // A point measured again within its sweep (a priority channel, a resumed radio) counts once:
    // its extremes still wait for a second sweep.
    ScopeView again;
    ScopeRun twice(again);
    again.AddLevel(twice.Sample(40, -70.0));
    again.AddLevel(twice.Sample(40, -50.0));
    EXPECT_FALSE(again.GetMin(40).has_value());
    EXPECT_EQ(again.GetLevel(40), -50.0);

    // A third sweep widens the extremes only where it goes beyond them.
    run.Sweep(96, -60.0);
    run.Add(-90.0);
    run.Add(-55.0);
    EXPECT_EQ(Extremes(view, 0), Pair(-90.0, -60.0));
    EXPECT_EQ(Extremes(view, 1), Pair(-60.0, -50.0));
    EXPECT_EQ(view.GetLevel(1), -55.0);
}

TEST(ScopeView, LevelsAreClampedToTheScaleAndFailedReadingsLeaveThePointAsItWas) {
    ScopeView view;
    ScopeRun run(view);
    run.Add(-10.0);
    run.Add(-150.0);
    run.Add(-40.0);
    run.Add(-120.0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(view.GetLevel(i), i % 2 == 0 ? -40.0 : -120.0) << i;
    }
    EXPECT_EQ(ScopeView::LevelDepth(-63.25), 23.25f);

    // A failed reading in the first sweep: the sweep moves on, the point holds no level.
    run.Add(kNaN);
    EXPECT_EQ(view.GetPosition(), 4);
    EXPECT_FALSE(view.GetLevel(4).has_value());
    run.Add(-70.0);
    EXPECT_EQ(view.GetLevel(5), -70.0);

    // In the next sweep a failed reading keeps the old level; a later one starts the extremes.
    run.Sweep(93, -70.0);
    run.Add(kNaN);
    EXPECT_EQ(view.GetPosition(), 0);
    EXPECT_EQ(view.GetLevel(0), -40.0);
    run.Sweep(3, -70.0);
    run.Add(-75.0);  // point 4, which had no reading in the first sweep
    EXPECT_EQ(Extremes(view, 4), Pair(-75.0, -75.0));
}

TEST(ScopeView, ANewWalkKeepsLevelsOnlyWhenUnchangedAndUnforced) {
    ScopeView view;
    ScopeRun(view).Sweep(120, -60.0);                                 // into the second sweep
    EXPECT_FALSE(view.SetRange(136000000, 150000000, 375000, true));  // ignored during a run
    view.SetRun(0);
    view.SetRunning(false);

    // The same range without force keeps every level, and the extremes go on accumulating.
    ASSERT_TRUE(view.SetRange(136000000, 173500000, 375000, false));
    EXPECT_EQ(view.GetLevel(50), -60.0);
    ScopeRun(view, 2).Add(-90.0);
    EXPECT_EQ(Extremes(view, 0), Pair(-90.0, -60.0));
    view.SetRun(0);
    view.SetRunning(false);

    // Forced, or with another step, everything is cleared.
    ASSERT_TRUE(view.SetRange(136000000, 173500000, 375000, true));
    EXPECT_EQ(Filled(view), 0);
    ScopeRun(view, 3).Sweep(5, -60.0);
    view.SetRun(0);
    view.SetRunning(false);
    ASSERT_TRUE(view.SetRange(136000000, 173500000, 750000, false));
    EXPECT_EQ(Filled(view), 0);
    EXPECT_EQ(view.GetPointCount(), 51);

    // A range that cannot be walked leaves the old one (which ranges can is the stepper's rule).
    EXPECT_FALSE(view.SetRange(150000000, 140000000, 375000, true));
    EXPECT_EQ(view.GetStart(), 136000000);
    EXPECT_EQ(view.GetPointCount(), 51);

    // A walk with locked-out points keeps every point, so no channel moves; those are told apart.
    CnxScanStepper walk(136000000, 173500000, 375000);
    walk.SetLockedOut({28});
    ASSERT_TRUE(view.SetWalk(walk, false));
    EXPECT_EQ(view.GetPointCount(), 99);
    EXPECT_TRUE(view.IsLockedOut(28));
    EXPECT_FALSE(view.IsLockedOut(27));
}

TEST(ScopeView, ClearWorksOnlyWhenNotRunning) {
    ScopeView view;
    ScopeRun(view).Sweep(150, -60.0);
    EXPECT_FALSE(view.Clear());
    EXPECT_EQ(Filled(view), 99);
    view.SetRunning(false);
    EXPECT_TRUE(view.Clear());
    EXPECT_FALSE(view.HasReadings());

    // A failed reading after a clear shows nothing, not the level from before it.
    ScopeRun(view, 2).Add(kNaN);
    EXPECT_FALSE(view.GetLevel(0).has_value());
}

TEST(ScopeView, RepaintsAreAskedForTheNewPointWhileVisibleAndAZoomedViewFollowsTheSweep) {
    ScopeView view;
    RecordingDisplay display;
    view.SetDisplay(&display);
    view.SetPlot(QRect(0, 0, 990, 200));
    ScopeRun first(view);
    first.Sweep(3, -60.0);  // hidden
    EXPECT_TRUE(display.points.empty());
    view.SetVisible(true);
    first.Sweep(3, -60.0);
    EXPECT_EQ(display.points, (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(display.repaints, 0);  // no whole-graph repaint for a level
    view.SetRunning(false);
    ASSERT_TRUE(view.Clear());

    // Zoomed in, the visible part goes with the sweep and back to the start for a new one.
    view.SetPlot(QRect(0, 0, 400, 200));
    display.visibleParts = 0;
    view.SetZoom(4.0, 0);
    EXPECT_EQ(view.GetVisibleCount(), 25);
    EXPECT_EQ(view.GetFirstVisible(), 0);
    EXPECT_EQ(display.visibleParts, 1);
    view.SetZoom(1000.0, 50);  // as far as it goes, around point 50
    EXPECT_EQ(view.GetVisibleCount(), ScopeView::kMinVisiblePoints);
    EXPECT_TRUE(view.GetAxis().Shows(50));
    view.SetZoom(4.0, 0);
    view.ScrollToIndex(0);

    ScopeRun second(view, 2);
    second.Sweep(25, -60.0);
    EXPECT_EQ(view.GetFirstVisible(), 0);
    display.points.clear();
    second.Add(-60.0);  // point 25: the view moves on by one
    EXPECT_EQ(view.GetFirstVisible(), 1);
    EXPECT_EQ(display.points, std::vector<int>{25});
    second.Sweep(73, -60.0);
    EXPECT_EQ(view.GetFirstVisible(), 99 - 25);
    second.Add(-60.0);  // a new sweep
    EXPECT_EQ(view.GetPosition(), 0);
    EXPECT_EQ(view.GetFirstVisible(), 0);

    // Scrolling to a frequency starts the visible part at its point.
    view.SetRunning(false);
    view.ScrollTo(142750000);
    EXPECT_EQ(view.GetFirstVisible(), 18);
    view.ScrollTo(173500000);
    EXPECT_EQ(view.GetFirstVisible(), 99 - 25);  // no further than the end
    view.SetZoom(1.0, 0);
    EXPECT_EQ(view.GetVisibleCount(), 99);
    EXPECT_EQ(view.GetFirstVisible(), 0);
}

TEST(ScopeView, ActivityStaysWithItsFrequencyAndTheReadOutSaysHowOftenAndWhenItWasHeard) {
    ScopeView view;
    RecordingDisplay display;
    view.SetDisplay(&display);
    view.SetVisible(true);
    const int64_t lastUtcMs = (14 * 3600 + 2 * 60 + 11) * 1000LL + 456;
    view.SetActivity(142750000, {7, lastUtcMs, false});
    EXPECT_EQ(view.GetActivity(18), (SnxPointActivity{7, lastUtcMs, false}));
    EXPECT_EQ(view.GetActivity(-1).hits, 0);
    EXPECT_EQ(view.ReadOutAt(view.GetPointFrequency(18)).activity,
              QStringLiteral("heard 7\u00d7, last 14:02:11"));
    EXPECT_TRUE(view.ReadOutAt(view.GetPointFrequency(17)).activity.isEmpty());

    // Told again unchanged, nothing is repainted; changed, the whole picture is.
    const int repaints = display.repaints;
    view.SetActivity(142750000, {7, lastUtcMs, false});
    EXPECT_EQ(display.repaints, repaints);
    view.SetActivity(142750000, {8, lastUtcMs, true});
    EXPECT_EQ(display.repaints, repaints + 1);

    // A walk with another step puts the frequency at another point; the activity goes with it.
    ASSERT_TRUE(view.SetRange(136000000, 173500000, 750000, true));
    EXPECT_EQ(view.GetActivity(9), (SnxPointActivity{8, lastUtcMs, true}));

    view.SetThreshold(-95.0);
    EXPECT_EQ(view.GetThreshold(), -95.0);
    EXPECT_EQ(display.repaints, repaints + 3);  // the new walk, and the threshold
    view.SetThreshold(-95.0);
    EXPECT_EQ(display.repaints, repaints + 3);
}
