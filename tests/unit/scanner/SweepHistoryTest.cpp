// The sweep history without a window: a row per sweep, newest first, made when the sweep is
// over; a held and resumed sweep stays one row; the oldest rows go once it is full; a clear
// forgets everything; the memory it takes is bounded; and its export as a spreadsheet.
#include "scanner/CnxSweepHistory.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QStringList>
#include <cmath>
#include <vector>

#include "scanner/CnxSweepColourMap.h"
#include "scanner/CnxSweepHistoryCsv.h"
#include "scanner/ScopeView.h"

namespace {

constexpr int64_t kSecond = 1000;

// Feeds a history as a receiver's run does: sweeps of samples, each named after its run and
// sweep, a second apart.
class SweepFeed {
public:
    SweepFeed(CnxSweepHistory& history, uint16_t run) : history_(history), run_(run) {}

    // One sample; true when it ended the sweep before it.
    bool Sample(uint32_t sweep, int point, double dbm) {
        ScanSample sample;
        sample.run = run_;
        sample.sweep = sweep;
        sample.point = point;
        sample.level = dbm;
        return history_.Add(sample, (time_ += kSecond));
    }
    // The points from `first` up to (not including) `end`, each at `dbm` plus its point number.
    int Points(uint32_t sweep, int first, int end, double dbm) {
        int rowsMade = 0;
        for (int point = first; point < end; ++point) {
            rowsMade += Sample(sweep, point, dbm + point) ? 1 : 0;
        }
        return rowsMade;
    }
    void NewRun(uint16_t run) { run_ = run; }
    int64_t Now() const { return time_; }

private:
    CnxSweepHistory& history_;
    uint16_t run_;
    int64_t time_ = 0;
};

// A row's levels, "-" where it has none.
std::string Row(const CnxSweepHistory& history, int row) {
    std::string text;
    for (int point = 0; point < history.GetPointCount(); ++point) {
        const auto level = history.GetLevel(row, point);
        text += (point > 0 ? " " : "") + (level ? std::to_string(int(std::lround(*level))) : "-");
    }
    return text;
}

TEST(CnxSweepHistory, ARowJoinsOnlyWhenItsSweepIsOverAndTheNewestComesFirst) {
    CnxSweepHistory history(4);
    SweepFeed feed(history, 7);
    EXPECT_EQ(feed.Points(0, 0, 4, -100), 0);
    EXPECT_EQ(history.GetRowCount(), 0) << "the sweep under way is not a row yet";
    EXPECT_TRUE(feed.Sample(1, 0, -50));
    ASSERT_EQ(history.GetRowCount(), 1);
    EXPECT_EQ(Row(history, 0), "-100 -99 -98 -97");
    EXPECT_EQ(history.GetTime(0), 1 * kSecond) << "a row is timed by its sweep's first sample";
    EXPECT_EQ(feed.Points(1, 1, 4, -60), 0);
    EXPECT_TRUE(history.EndSweep()) << "the end of the run ends its sweep";
    EXPECT_FALSE(history.EndSweep());
    ASSERT_EQ(history.GetRowCount(), 2);
    EXPECT_EQ(Row(history, 0), "-50 -59 -58 -57");
    EXPECT_EQ(Row(history, 1), "-100 -99 -98 -97");
    EXPECT_EQ(history.GetTime(0), 5 * kSecond);
    EXPECT_EQ(history.GetRowsMade(), 2u);

    // A new run ends the sweep of the one before, however far it went; failed readings and
    // points the pass does not have leave nothing.
    feed.NewRun(8);
    feed.Sample(0, 1, -70);
    ScanSample failed;
    failed.run = 8;
    failed.point = 2;
    history.Add(failed, feed.Now());
    EXPECT_FALSE(feed.Sample(0, 4, -20));
    EXPECT_FALSE(feed.Sample(0, -1, -20));
    EXPECT_EQ(history.GetRowCount(), 2);
    feed.NewRun(9);
    EXPECT_TRUE(feed.Sample(0, 0, -80));
    EXPECT_EQ(Row(history, 0), "- -70 - -");
    EXPECT_EQ(history.GetRow(3), nullptr);
}

TEST(CnxSweepHistory, AHeldAndResumedSweepStaysOneRow) {
    CnxSweepHistory history(6);
    SweepFeed feed(history, 3);
    feed.Points(0, 0, 6, -110);
    feed.Points(1, 0, 2, -90);
    // Held here: the scan's samples stop and come again, of the same run and sweep; the point
    // the radio measured last is measured again.
    feed.Points(1, 1, 6, -80);
    feed.Points(2, 0, 6, -110);
    ASSERT_EQ(history.GetRowCount(), 2);
    EXPECT_EQ(Row(history, 0), "-90 -79 -78 -77 -76 -75");
    EXPECT_EQ(history.GetTime(0), 7 * kSecond);
}

TEST(CnxSweepHistory, WhenFullTheOldestRowsGoFirst) {
    CnxSweepHistory history(3, 5);
    EXPECT_EQ(history.GetCapacity(), 5);
    SweepFeed feed(history, 1);
    for (uint32_t sweep = 0; sweep < 12; ++sweep) {
        feed.Points(sweep, 0, 3, -120 + 10 * double(sweep));
    }
    history.EndSweep();
    ASSERT_EQ(history.GetRowCount(), 5);
    for (int row = 0; row < 5; ++row) {
        const int sweep = 11 - row;
        EXPECT_EQ(history.GetLevel(row, 0), -120 + 10 * sweep) << row;
        EXPECT_EQ(history.GetTime(row), (3 * sweep + 1) * kSecond) << row;
    }
    EXPECT_EQ(history.GetRowsMade(), 12u);
}

TEST(CnxSweepHistory, AClearForgetsTheRowsAndTheSweepUnderWay) {
    CnxSweepHistory history(2);
    SweepFeed feed(history, 1);
    feed.Points(0, 0, 2, -100);
    feed.Points(1, 0, 1, -90);
    history.Clear();
    EXPECT_EQ(history.GetRowCount(), 0);
    EXPECT_FALSE(history.EndSweep());
    // The held sweep goes on after the clear: only what came since is its row.
    feed.Points(1, 1, 2, -80);
    feed.Points(2, 0, 1, -70);
    ASSERT_EQ(history.GetRowCount(), 1);
    EXPECT_EQ(Row(history, 0), "- -79");
    // Other points forget the rows; the same number keeps them.
    history.SetPointCount(2);
    EXPECT_EQ(history.GetRowCount(), 1);
    history.SetPointCount(3);
    EXPECT_EQ(history.GetRowCount(), 0);
    EXPECT_FALSE(history.EndSweep());
}

TEST(CnxSweepHistory, MemoryIsBoundedHoweverFineThePass) {
    // 500 sweeps of the 99 channels: two bytes a level and a time a row, with the sweep under way.
    CnxSweepHistory channels(99);
    SweepFeed channelFeed(channels, 1);
    for (uint32_t sweep = 0; sweep <= 600; ++sweep) {
        channelFeed.Points(sweep, 0, 99, -110);
    }
    EXPECT_EQ(channels.GetRowCount(), 500);
    EXPECT_EQ(channels.GetMemoryBytes(), std::size_t(500 * (99 * 2 + 8) + 99 * 2));
    // A pass of the finest step keeps fewer rows, within the bound.
    CnxSweepHistory fine(CnxScanStepper::kMaxPoints);
    SweepFeed feed(fine, 1);
    for (uint32_t sweep = 0; sweep < 30; ++sweep) {
        feed.Sample(sweep, sweep, -100);
    }
    EXPECT_EQ(fine.GetCapacity(),
              int(CnxSweepHistory::kMaxBytes / (2 * CnxScanStepper::kMaxPoints)));
    EXPECT_EQ(fine.GetRowCount(), fine.GetCapacity());
    EXPECT_LE(fine.GetMemoryBytes(), CnxSweepHistory::kMaxBytes + 2 * CnxScanStepper::kMaxPoints +
                                         8 * std::size_t(fine.GetCapacity()));
}

TEST(CnxSweepHistoryCsv, ALinePerSweepOldestFirstWithTheTimeThenEveryPointsLevel) {
    ScopeView points;  // the whole band in channel steps: 99 points
    CnxSweepHistory history(points.GetPointCount());
    const int64_t start =
        QDateTime::fromString("2025-03-04T05:06:07.089Z", Qt::ISODateWithMs).toMSecsSinceEpoch();
    for (uint32_t sweep = 0; sweep < 2; ++sweep) {
        for (int point = 0; point < 99; ++point) {
            ScanSample sample;
            sample.run = 1;
            sample.sweep = sweep;
            sample.point = point;
            if (point != 5) {  // a reading that failed
                sample.level = point == 18 ? -61.5 - sweep : -110.0;
            }
            history.Add(sample, start + (sweep * 99 + point) * 40);
        }
    }
    history.EndSweep();
    const QStringList lines = QString::fromUtf8(CnxSweepHistoryCsv::Write(history, points))
                                  .split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QStringList header = lines[0].split(',');
    ASSERT_EQ(header.size(), 100);
    EXPECT_EQ(header.mid(68, 3), (QStringList{"ch99", "ch1", "ch17"}));
    EXPECT_EQ(header[99], "ch16");
    const QStringList older = lines[1].split(',');
    const QStringList newer = lines[2].split(',');
    ASSERT_EQ(older.size(), 100);
    ASSERT_EQ(newer.size(), 100);
    EXPECT_EQ(older[0], "2025-03-04T05:06:07.089Z");
    EXPECT_EQ(newer[0], "2025-03-04T05:06:11.049Z");
    EXPECT_EQ(older[19], "-61.5");
    EXPECT_EQ(newer[19], "-62.5");
    EXPECT_EQ(older[6], "") << "no reading, no number";
    EXPECT_EQ(newer[1], "-110.0");

    // Points beyond the band have no channel: their frequency names them.
    ScopeView above;
    ASSERT_TRUE(above.SetRange(173500000, 174250000, 375000, true));
    EXPECT_EQ(QString::fromUtf8(CnxSweepHistoryCsv::Write(CnxSweepHistory(3), above)),
              "time_utc,ch16,173875000 Hz,174250000 Hz\n");
}

TEST(CnxSweepColourMap, LightnessRisesEvenlyFromADarkFloorToABrightTop) {
    const auto& table = CnxSweepColourMap::Table();
    const double bottom = CnxSweepColourMap::Lightness(table.front());
    const double top = CnxSweepColourMap::Lightness(table.back());
    EXPECT_LT(bottom, 0.3);
    EXPECT_GT(top, 0.9);
    for (int step = 1; step < CnxSweepColourMap::kSteps; ++step) {
        const double lightness = CnxSweepColourMap::Lightness(table[std::size_t(step)]);
        const double even = bottom + (top - bottom) * step / (CnxSweepColourMap::kSteps - 1);
        EXPECT_GT(lightness, CnxSweepColourMap::Lightness(table[std::size_t(step - 1)])) << step;
        EXPECT_NEAR(lightness, even, 0.01) << step;
    }
    // The floor still stands out from the plot's black.
    EXPECT_GT(bottom - CnxSweepColourMap::Lightness(qRgb(0x0b, 0x0e, 0x11)), 0.08);
    // The graph's scale: its ends, and levels beyond them at the ends.
    EXPECT_EQ(CnxSweepColourMap::OfDbm(-120.0), table.front());
    EXPECT_EQ(CnxSweepColourMap::OfDbm(-150.0), table.front());
    EXPECT_EQ(CnxSweepColourMap::OfDbm(-40.0), table.back());
    EXPECT_EQ(CnxSweepColourMap::StepOf(-800), 127);
}

}  // namespace
