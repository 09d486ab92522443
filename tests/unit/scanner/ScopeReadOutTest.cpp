#include "scanner/ScopeReadOut.h"

#include <gtest/gtest.h>

#include <utility>

#include "ScopeRun.h"
#include "scanner/ScopeView.h"
#include "settings/CnxChannelPlan.h"

TEST(ScopeReadOut, SUnitsChangeEverySixDbOnWholeDbBoundaries) {
    const std::pair<double, const char*> cases[] = {
        {-200.0, "(S0)"}, {-140.1, "(S0)"}, {-140.0, "(S1)"}, {-134.1, "(S1)"}, {-134.0, "(S2)"},
        {-92.0, "(S9)"},  {-86.1, "(S9)"},  {-86.0, "(S10)"}, {-80.1, "(S10)"}, {-60.0, "(S14)"},
        {-38.0, "(S18)"}, {-32.1, "(S18)"}, {-32.0, "(S19)"}, {0.0, "(S19)"},
    };
    for (const auto& [dbm, text] : cases) {
        EXPECT_EQ(ScopeReadOut::SUnitText(dbm), QString::fromLatin1(text)) << dbm;
    }
    EXPECT_EQ(ScopeReadOut::LevelLine(-86.0), "Signal Level: -86.0 dBm (S10)");
    EXPECT_EQ(ScopeReadOut::LevelLine(-86.1), "Signal Level: -86.1 dBm (S9)");
}

TEST(ScopeReadOut, FrequenciesAreWrittenInTheUnitThatSuitsThem) {
    const std::pair<int64_t, const char*> texts[] = {
        {1799, "1799 Hz"},         {1800, "1.800 kHz"},         {1799999, "1799.999 kHz"},
        {1800000, "1.8000 MHz"},   {136000000, "136.0000 MHz"}, {162625000, "162.6250 MHz"},
        {1800000000, "1.800 GHz"},
    };
    for (const auto& [f, text] : texts) {
        EXPECT_EQ(ScopeReadOut::FrequencyText(f), QString::fromLatin1(text)) << f;
    }
    EXPECT_EQ(ScopeReadOut::FrequencyLine(142750000), "Frequency: 142.7500 MHz");
}

TEST(ScopeReadOut, ChannelRuleNamesEveryPointOfTheBandAndNothingInTheGap) {
    // The steps truncate toward zero: just below a band's first channel still counts as it.
    const std::pair<int64_t, int> channels[] = {
        {136000000, 32}, {142750000, 50}, {161125000, 99}, {161500000, -1}, {161875000, -1},
        {162250000, 1},  {162625000, 17}, {173125000, 31}, {173500000, 16}, {173875000, -1},
        {135000000, -1}, {135800000, 32}, {162000000, 1},
    };
    for (const auto& [f, channel] : channels) {
        EXPECT_EQ(ScopeReadOut::ChannelOf(f), channel) << f;
    }

    // On every point of the default sweep the graph names the channel the plan gives.
    const ScopeView view;
    for (int i = 0; i < view.GetPointCount(); ++i) {
        const int64_t f = view.GetPointFrequency(i);
        EXPECT_EQ(ScopeReadOut::ChannelOf(f), CnxChannelPlan::ChannelOf(f)->number) << f;
    }
    EXPECT_EQ(ScopeReadOut::ChannelLine(142750000), "Channel:  50");
    EXPECT_EQ(ScopeReadOut::ChannelLine(161500000), "Channel: Unknown");
}

TEST(ScopeReadOut, ReadOutOfAPointShowsItsLevelAndFromTheSecondSweepItsExtremes) {
    ScopeView view;
    const int64_t step = view.GetStep();
    const auto rawOf = [&](int index) { return view.GetStart() + index * step; };
    EXPECT_EQ(view.ReadOutAt(rawOf(0)), ScopeReadOut::Bare(136000000));

    ScopeRun run(view);
    run.Add(-60.0);
    run.Add(0.0);  // shown as the top of the scale
    EXPECT_EQ(view.ReadOutAt(rawOf(0)),
              (ScopeReadOut{"Signal Level: -60.0 dBm (S14)", "Frequency: 136.0000 MHz",
                            "Channel:  32", "Min:", "Max:", "Max-Min:"}));
    EXPECT_EQ(view.ReadOutAt(rawOf(1)).level, "Signal Level: -40.0 dBm (S17)");
    EXPECT_EQ(view.ReadOutAt(rawOf(2)).level, "Signal Level:");

    run.Sweep(97, -70.0);
    run.Add(-80.0);  // point 0 in the second sweep
    EXPECT_EQ(
        view.ReadOutAt(rawOf(0)),
        (ScopeReadOut{"Signal Level: -80.0 dBm (S11)", "Frequency: 136.0000 MHz", "Channel:  32",
                      "Min: -80.0 dBm", "Max: -60.0 dBm", "Max-Min: 20.0 dB"}));
    EXPECT_EQ(view.ReadOutAt(rawOf(1)).min, "Min:");  // not passed again yet

    // A raw frequency half a step below a point still falls on it; point 68 lies over the gap.
    EXPECT_EQ(view.IndexOfRawFrequency(rawOf(5) - step / 2), 5);
    EXPECT_EQ(view.IndexOfRawFrequency(rawOf(5) + step / 2 - 1), 5);
    EXPECT_EQ(view.ReadOutAt(rawOf(68)).frequency, "Frequency: 162.2500 MHz");
    EXPECT_EQ(view.ReadOutAt(rawOf(68)).channel, "Channel:  1");
}

TEST(ScopeReadOut, CursorPixelsMapToPointsAndTheReadOutIsFrozenWhileRunning) {
    ScopeView view;
    view.SetPlot(QRect(50, 0, 990, 100));  // 10 pixels per point
    const auto indexAt = [&](int x) { return view.IndexOfRawFrequency(view.RawFrequencyAt(x)); };
    for (const auto& [x, index] : {std::pair{50, 0},
                                   {59, 0},
                                   {60, 1},
                                   {50 + 68 * 10 + 3, 68},
                                   {1039, 98},
                                   {5000, 98},
                                   {0, 0}}) {
        EXPECT_EQ(indexAt(x), index) << x;
    }

    view.SetCursor(50 + 18 * 10 + 5);
    EXPECT_EQ(view.GetReadOut().channel, "Channel:  50");
    ScopeRun(view).Add(-60.0);
    view.SetCursor(55);
    EXPECT_EQ(view.GetReadOut().channel, "Channel:  50");  // frozen
    view.SetRunning(false);                                // a pause or stop refreshes it
    EXPECT_EQ(view.GetReadOut().channel, "Channel:  32");
    EXPECT_EQ(view.GetReadOut().level, "Signal Level: -60.0 dBm (S14)");

    // Zoomed in, the same pixels stand for later points.
    view.SetZoom(99.0 / 33.0, 0);
    view.ScrollToIndex(10);
    EXPECT_EQ(indexAt(50), 10);
    EXPECT_EQ(indexAt(50 + 30), 11);
}
