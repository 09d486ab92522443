// Hits found in a receiver's readings: when they open and close, what they hold, and how a lost
// receiver and a change between scanning and listening end them.
#include "activity/CnxActivityDetector.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/K740RXMessageRecords.h"

namespace {

using End = SnxActivityHit::End;

class RecordingSink : public InxActivitySink {
public:
    std::vector<SnxActivityHit> opened;
    std::vector<SnxActivityHit> closed;

    void HitOpened(SnxActivityHit& hit) override {
        hit.id = opened.size() + 1;
        hit.serial = QStringLiteral("4711001");
        opened.push_back(hit);
    }
    void HitClosed(const SnxActivityHit& hit) override { closed.push_back(hit); }
};

constexpr double kQuiet = -108.0;
constexpr int64_t kPollMs = 150;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A scan over a few points, one sample per point and sweep, each 10 ms after the one before.
struct ScanScript {
    static constexpr int kPoints = 10;
    static constexpr int64_t kStepMs = 10;
    static int64_t Hertz(int point) { return 136000000 + 375000 * int64_t(point); }
    static int64_t Time(uint32_t sweep, int point) {
        return 1'000'000 + (int64_t(sweep) * kPoints + point) * kStepMs;
    }
};

class ActivityDetectorTest : public ::testing::Test {
protected:
    void SetUp() override { detector_.SetThreshold(-95.0); }

    RecordingSink sink_;
    CnxActivityDetector detector_{2, sink_};

    void Listen(int64_t hertz, const std::vector<double>& levels, int64_t& ms) {
        for (const double level : levels) {
            detector_.OnListenReading(hertz, level, ms);
            ms += kPollMs;
        }
    }
    // Sweeps from..to of the script, each point at the level the function gives it.
    template <typename Level>
    void Scan(uint32_t from, uint32_t to, Level level) {
        for (uint32_t sweep = from; sweep <= to; ++sweep) {
            for (int point = 0; point < ScanScript::kPoints; ++point) {
                detector_.OnScanReading(ScanScript::Hertz(point), level(sweep, point), sweep,
                                        ScanScript::Time(sweep, point));
            }
        }
    }
};

TEST_F(ActivityDetectorTest,
       AListenedHitLastsFromItsFirstToItsLastReadingAboveAndClosesAfterTwoQuietSeconds) {
    const int64_t hertz = 142750000;
    int64_t ms = 5000;
    Listen(hertz, {kQuiet, -96.0}, ms);
    EXPECT_TRUE(sink_.opened.empty()) << "below the threshold of -95 dBm";
    const int64_t start = ms;
    // Reaching the threshold is enough; a dip shorter than the hang time stays in the hit.
    Listen(hertz, {-95.0, -70.0, -60.5, -100.0, -101.0, -80.0}, ms);
    const int64_t end = ms - kPollMs;
    ASSERT_EQ(sink_.opened.size(), 1U);
    EXPECT_EQ(sink_.opened[0].slot, 2);
    EXPECT_EQ(detector_.GetOpenHits()[0].peakDbm, -60.5);
    // 13 polls below: the hang runs out at the 14th (2 s after the last reading above).
    Listen(hertz, std::vector<double>(13, kQuiet), ms);
    EXPECT_TRUE(sink_.closed.empty());
    Listen(hertz, {kQuiet}, ms);
    ASSERT_EQ(sink_.closed.size(), 1U);
    const SnxActivityHit& hit = sink_.closed[0];
    EXPECT_EQ(hit.end, End::kQuiet);
    EXPECT_EQ(hit.id, 1U) << "the sink's naming stays with the hit";
    EXPECT_EQ(hit.startMs, start);
    EXPECT_EQ(hit.endMs, end);
    EXPECT_EQ(hit.peakDbm, -60.5);
    EXPECT_NEAR(hit.MeanDbm(), (-95.0 - 70.0 - 60.5 - 100.0 - 101.0 - 80.0) / 6, 1e-9);
    EXPECT_EQ(hit.readings, 6);
    EXPECT_FALSE(detector_.HasOpenHits());

    // Tuned away, the old frequency is no longer heard: it ends after the hang as quiet too.
    Listen(hertz, {-70.0}, ms);
    ASSERT_EQ(sink_.opened.size(), 2U);
    Listen(154000000, std::vector<double>(13, kQuiet), ms);
    EXPECT_EQ(sink_.closed.size(), 1U);
    Listen(154000000, {kQuiet}, ms);
    ASSERT_EQ(sink_.closed.size(), 2U);
    EXPECT_EQ(sink_.closed[1].frequency, hertz);
}

TEST_F(ActivityDetectorTest, AScannedHitClosesWhenItsPointHasBeenQuietForTwoSweeps) {
    // Point 3 on in sweeps 1-3 (at -62, -60, -64), point 7 on in sweep 2 only; the scan goes on
    // to sweep 8.
    Scan(0, 8, [](uint32_t sweep, int point) {
        if (point == 3 && sweep >= 1 && sweep <= 3) {
            return sweep == 2 ? -60.0 : sweep == 1 ? -62.0 : -64.0;
        }
        return point == 7 && sweep == 2 ? -75.0 : kQuiet;
    });
    ASSERT_EQ(sink_.opened.size(), 2U);
    ASSERT_EQ(sink_.closed.size(), 2U);
    // Point 7 closes first (two sweeps after sweep 2), point 3 at sweep 5.
    const SnxActivityHit& three = sink_.closed[1];
    EXPECT_EQ(three.channel, 35);
    EXPECT_EQ(three.startMs, ScanScript::Time(1, 3));
    EXPECT_EQ(three.endMs, ScanScript::Time(3, 3));
    EXPECT_EQ(three.peakDbm, -60.0);
    EXPECT_DOUBLE_EQ(three.MeanDbm(), -62.0);
    const SnxActivityHit& seven = sink_.closed[0];
    EXPECT_EQ(seven.startMs, ScanScript::Time(2, 7));
    EXPECT_EQ(seven.endMs, ScanScript::Time(2, 7));
    EXPECT_EQ(seven.readings, 1);

    // When they closed: at their own point, two sweeps after they were last above.
    RecordingSink timing;
    CnxActivityDetector detector(0, timing);
    detector.SetThreshold(-95.0);
    for (uint32_t sweep = 0; sweep <= 5; ++sweep) {
        for (int point = 0; point < ScanScript::kPoints; ++point) {
            detector.OnScanReading(ScanScript::Hertz(point),
                                   point == 3 && sweep == 1 ? -62.0 : kQuiet, sweep,
                                   ScanScript::Time(sweep, point));
            const bool closedYet = !timing.closed.empty();
            EXPECT_EQ(closedYet, sweep > 3 || (sweep == 3 && point >= 3))
                << "sweep " << sweep << " point " << point;
        }
    }
}

TEST_F(ActivityDetectorTest, AHitWhosePointIsNoLongerWalkedClosesAfterAFurtherSweep) {
    // Point 5 is on in sweep 0 and then locked out: its samples stop coming.
    Scan(0, 0, [](uint32_t, int point) { return point == 5 ? -70.0 : kQuiet; });
    for (uint32_t sweep = 1; sweep <= 3; ++sweep) {
        for (int point = 0; point < ScanScript::kPoints; ++point) {
            if (point != 5) {
                detector_.OnScanReading(ScanScript::Hertz(point), kQuiet, sweep,
                                        ScanScript::Time(sweep, point));
            }
        }
        EXPECT_EQ(sink_.closed.size(), sweep == 3 ? 1U : 0U) << "after sweep " << sweep;
    }
    EXPECT_EQ(sink_.closed[0].endMs, ScanScript::Time(0, 5));
}

TEST_F(ActivityDetectorTest, SweepNumbersThatWrapAroundKeepTheHangOfTwoSweeps) {
    const uint32_t last = ScanSample::kSweepMask;
    detector_.OnScanReading(ScanScript::Hertz(1), -70.0, last, 10);
    detector_.OnScanReading(ScanScript::Hertz(1), kQuiet, 0, 20);
    EXPECT_TRUE(sink_.closed.empty()) << "one quiet sweep";
    detector_.OnScanReading(ScanScript::Hertz(1), kQuiet, 1, 30);
    ASSERT_EQ(sink_.closed.size(), 1U);
    EXPECT_EQ(sink_.closed[0].endMs, 10);
}

TEST_F(ActivityDetectorTest, AReceiverThatCannotBeReadClosesItsHitsAsLostAndOpensNone) {
    Scan(0, 0, [](uint32_t, int point) { return point == 2 || point == 6 ? -70.0 : kQuiet; });
    ASSERT_EQ(sink_.opened.size(), 2U);
    detector_.OnScanReading(ScanScript::Hertz(0), kNaN, 1, ScanScript::Time(1, 0));
    ASSERT_EQ(sink_.closed.size(), 2U);
    for (const SnxActivityHit& hit : sink_.closed) {
        EXPECT_EQ(hit.end, End::kLost);
        EXPECT_EQ(hit.endMs, hit.startMs);
    }
    int64_t ms = 0;
    Listen(142750000, {kNaN, kNaN}, ms);
    EXPECT_EQ(sink_.opened.size(), 2U);
    Listen(142750000, {-70.0}, ms);
    Listen(142750000, {kNaN}, ms);
    ASSERT_EQ(sink_.closed.size(), 3U);
    EXPECT_EQ(sink_.closed[2].end, End::kLost);
}

TEST_F(ActivityDetectorTest, GoingFromScanningToListeningOrStoppingClosesTheHitsAsStopped) {
    Scan(0, 0, [](uint32_t, int point) { return point == 4 ? -70.0 : kQuiet; });
    int64_t ms = ScanScript::Time(1, 0);
    Listen(142750000, {-65.0}, ms);
    ASSERT_EQ(sink_.closed.size(), 1U);
    EXPECT_EQ(sink_.closed[0].end, End::kStopped);
    EXPECT_EQ(sink_.closed[0].frequency, ScanScript::Hertz(4));
    ASSERT_EQ(sink_.opened.size(), 2U) << "the listened reading opens its own hit";
    detector_.OnScanReading(ScanScript::Hertz(0), kQuiet, 0, ms);
    ASSERT_EQ(sink_.closed.size(), 2U);
    EXPECT_EQ(sink_.closed[1].end, End::kStopped);

    Scan(0, 0, [](uint32_t, int point) { return point == 8 ? -70.0 : kQuiet; });
    detector_.CloseAll(End::kStopped);
    ASSERT_EQ(sink_.closed.size(), 3U);
    EXPECT_EQ(sink_.closed[2].frequency, ScanScript::Hertz(8));
    EXPECT_FALSE(detector_.HasOpenHits());
}

TEST_F(ActivityDetectorTest, TheThresholdDecidesWhatOpensFromTheNextReadingOn) {
    RecordingSink untold;
    CnxActivityDetector unset(0, untold);
    unset.OnListenReading(142750000, -30.0, 0);
    EXPECT_TRUE(untold.opened.empty()) << "nothing is a hit before a threshold is set";
    detector_.SetThreshold(-80.0);
    int64_t ms = 0;
    Listen(142750000, {-85.0}, ms);
    EXPECT_TRUE(sink_.opened.empty());
    detector_.SetThreshold(-90.0);
    Listen(142750000, {-85.0}, ms);
    EXPECT_EQ(sink_.opened.size(), 1U);
    EXPECT_EQ(detector_.GetThreshold(), -90.0);
}

}  // namespace
