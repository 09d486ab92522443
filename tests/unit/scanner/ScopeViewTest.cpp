#include "scanner/ScopeView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "receiver/CnxScanStepper.h"

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

void Sweep(ScopeView& view, int levels, double dbm) {
    for (int i = 0; i < levels; ++i) {
        view.AddLevel(dbm);
    }
}

// Where the sweep stands: position, levels in this sweep, points filled, points with extremes.
using Progress = std::tuple<int, int, int, int>;
Progress ProgressOf(const ScopeView& view) {
    return {view.GetPosition(), view.GetCount(), view.GetFilled(), view.GetMinMaxValid()};
}

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

TEST(ScopeView, FirstSweepFillsPointsAndTheHundredthLevelStartsTheNext) {
    ScopeView view;
    view.AddLevel(-60.0);  // not running: dropped
    EXPECT_EQ(ProgressOf(view), Progress(0, 0, 0, 0));

    view.SetRunning(true);
    view.AddLevel(-60.0);
    EXPECT_EQ(ProgressOf(view), Progress(0, 1, 1, 0));
    Sweep(view, 67, -70.0);
    view.AddLevel(-80.0);  // the 69th sample
    EXPECT_EQ(view.GetPosition(), 68);
    EXPECT_EQ(view.GetPointFrequency(68), 162250000);
    EXPECT_EQ(view.GetLevel(68), -80.0);
    Sweep(view, 30, -90.0);  // the 99th lands on the last point
    // During the first sweep the extremes are not valid yet.
    EXPECT_EQ(ProgressOf(view), Progress(98, 99, 99, 0));
    EXPECT_FALSE(view.GetMin(0).has_value() || view.GetMax(0).has_value());

    view.AddLevel(-100.0);  // the 100th begins a new sweep
    EXPECT_EQ(ProgressOf(view), Progress(0, 1, 99, 1));
    EXPECT_EQ(view.GetLevel(0), -100.0);
}

TEST(ScopeView, LaterSweepsKeepTheWeakestAndStrongestLevelOfEachPoint) {
    ScopeView view;
    view.SetRunning(true);
    Sweep(view, 99, -60.0);
    view.AddLevel(-80.0);  // point 0 weaker
    view.AddLevel(-50.0);  // point 1 stronger
    view.AddLevel(-60.0);  // point 2 the same
    EXPECT_EQ(view.GetMinMaxValid(), 3);
    EXPECT_EQ(Extremes(view, 0), Pair(-80.0, -60.0));
    EXPECT_EQ(Extremes(view, 1), Pair(-60.0, -50.0));
    EXPECT_EQ(Extremes(view, 2), Pair(-60.0, -60.0));
    EXPECT_FALSE(view.GetMin(3).has_value());  // not passed in this sweep yet

    // A third sweep widens the extremes only where it goes beyond them.
    Sweep(view, 96, -60.0);
    EXPECT_EQ(view.GetMinMaxValid(), 99);
    view.AddLevel(-90.0);
    view.AddLevel(-55.0);
    EXPECT_EQ(view.GetMinMaxValid(), 99);
    EXPECT_EQ(Extremes(view, 0), Pair(-90.0, -60.0));
    EXPECT_EQ(Extremes(view, 1), Pair(-60.0, -50.0));
    EXPECT_EQ(view.GetLevel(1), -55.0);
}

TEST(ScopeView, LevelsAreClampedToTheScaleAndFailedReadingsLeaveThePointAsItWas) {
    ScopeView view;
    view.SetRunning(true);
    view.AddLevel(-10.0);
    view.AddLevel(-150.0);
    view.AddLevel(-40.0);
    view.AddLevel(-120.0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(view.GetLevel(i), i % 2 == 0 ? -40.0 : -120.0) << i;
    }
    EXPECT_EQ(ScopeView::LevelDepth(-63.25), 23.25f);

    // A failed reading in the first sweep: the sweep moves on, the point holds no level.
    view.AddLevel(kNaN);
    EXPECT_EQ(view.GetPosition(), 4);
    EXPECT_EQ(view.GetCount(), 5);
    EXPECT_FALSE(view.GetLevel(4).has_value());
    view.AddLevel(-70.0);
    EXPECT_EQ(view.GetLevel(5), -70.0);

    // In the next sweep a failed reading keeps the old level; a later one starts the extremes.
    Sweep(view, 93, -70.0);
    view.AddLevel(kNaN);
    EXPECT_EQ(view.GetPosition(), 0);
    EXPECT_EQ(view.GetLevel(0), -40.0);
    Sweep(view, 3, -70.0);
    view.AddLevel(-75.0);  // point 4, which had no reading in the first sweep
    EXPECT_EQ(Extremes(view, 4), Pair(-75.0, -75.0));
}

TEST(ScopeView, SetRangeKeepsLevelsOnlyWhenUnchangedAndUnforced) {
    ScopeView view;
    view.SetRunning(true);
    Sweep(view, 120, -60.0);                                          // into the second sweep
    EXPECT_FALSE(view.SetRange(136000000, 150000000, 375000, true));  // ignored while running
    view.SetRunning(false);

    // The same range without force only begins the next sweep at point 0.
    ASSERT_TRUE(view.SetRange(136000000, 173500000, 375000, false));
    EXPECT_EQ(ProgressOf(view), Progress(0, 0, 99, 21));
    EXPECT_EQ(view.GetLevel(50), -60.0);
    view.SetRunning(true);
    view.AddLevel(-90.0);
    EXPECT_EQ(view.GetPosition(), 0);
    EXPECT_EQ(Extremes(view, 0), Pair(-90.0, -60.0));  // accumulated on the earlier sweeps
    view.SetRunning(false);

    // Forced, or with another step, everything is cleared.
    ASSERT_TRUE(view.SetRange(136000000, 173500000, 375000, true));
    EXPECT_EQ(view.GetFilled(), 0);
    EXPECT_FALSE(view.GetLevel(50).has_value());
    view.SetRunning(true);
    Sweep(view, 5, -60.0);
    view.SetRunning(false);
    ASSERT_TRUE(view.SetRange(136000000, 173500000, 750000, false));
    EXPECT_EQ(view.GetFilled(), 0);
    EXPECT_EQ(view.GetPointCount(), 51);

    // A range that cannot be walked leaves the old one (which ranges can is the stepper's rule).
    EXPECT_FALSE(view.SetRange(150000000, 140000000, 375000, true));
    EXPECT_EQ(view.GetStart(), 136000000);
    EXPECT_EQ(view.GetPointCount(), 51);
}

TEST(ScopeView, ClearWorksOnlyWhenNotRunning) {
    ScopeView view;
    view.SetRunning(true);
    Sweep(view, 150, -60.0);
    EXPECT_FALSE(view.Clear());
    EXPECT_EQ(view.GetFilled(), 99);
    EXPECT_EQ(view.GetPosition(), 50);

    view.SetRunning(false);
    EXPECT_TRUE(view.Clear());
    EXPECT_EQ(ProgressOf(view), Progress(0, 0, 0, 0));
    EXPECT_FALSE(view.GetLevel(0).has_value());

    // A failed reading after a clear shows nothing, not the level from before it.
    view.SetRunning(true);
    view.AddLevel(kNaN);
    EXPECT_FALSE(view.GetLevel(0).has_value());
}

TEST(ScopeView, RepaintsAreAskedForTheNewPointWhileVisibleAndAZoomedViewFollowsTheSweep) {
    ScopeView view;
    RecordingDisplay display;
    view.SetDisplay(&display);
    view.SetPlot(QRect(0, 0, 990, 200));
    view.SetRunning(true);
    Sweep(view, 3, -60.0);  // hidden
    EXPECT_TRUE(display.points.empty());
    view.SetVisible(true);
    Sweep(view, 3, -60.0);
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

    view.SetRunning(true);
    Sweep(view, 25, -60.0);
    EXPECT_EQ(view.GetFirstVisible(), 0);
    display.points.clear();
    view.AddLevel(-60.0);  // point 25: the view moves on by one
    EXPECT_EQ(view.GetFirstVisible(), 1);
    EXPECT_EQ(display.points, std::vector<int>{25});
    Sweep(view, 73, -60.0);
    EXPECT_EQ(view.GetFirstVisible(), 99 - 25);
    view.AddLevel(-60.0);  // a new sweep
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
