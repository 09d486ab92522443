#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>
#include <vector>

#include "ReceiverTestSupport.h"
#include "receiver/CnxK740RXReceiver.h"
#include "settings/CnxAppOptions.h"

namespace {

constexpr int64_t kBottom = 136000000;
constexpr int64_t kTop = 173500000;
constexpr int64_t kStep = 375000;

// Channels 32..99 below the gap, then 1..31 above it, in frequency order.
std::vector<int64_t> ChannelOrder() {
    std::vector<int64_t> channels;
    for (int64_t f = kBottom; f <= 161125000; f += kStep) {
        channels.push_back(f);
    }
    for (int64_t f = 162250000; f <= kTop; f += kStep) {
        channels.push_back(f);
    }
    return channels;
}

class CnxK740RXReceiverScanTest : public ReceiverTest {
protected:
    bool ScanEnded() const { return window_->Count(WM_RCV_SCAN_END) > 0; }
    // Lets the processing thread finish the step it was in; nothing follows a stop.
    void ExpectNothingMoreAfterTheStop() {
        PumpFor(150ms);
        const int levels = window_->Count(WM_RCV_SCAN_LEVEL);
        PumpFor(200ms);
        EXPECT_EQ(window_->Count(WM_RCV_SCAN_LEVEL), levels);
    }
    std::vector<ScanSample> SamplesOfRun(uint16_t run) const {
        std::vector<ScanSample> samples = window_->Samples();
        std::erase_if(samples, [run](const ScanSample& s) { return s.run != run; });
        return samples;
    }
};

}  // namespace

TEST_F(CnxK740RXReceiverScanTest, SinglePassMeasuresEveryChannelOnceInOrderThenEnds) {
    DescribeRadios({{"A1"}});
    auto receiver = StartedReceiver("A1");
    receiver->SetScanLoop(false);
    const uint16_t run = receiver->StartScan();
    ASSERT_TRUE(PumpUntil([&] { return ScanEnded(); }));

    EXPECT_EQ(window_->Frequencies(), ChannelOrder());
    int point = 0;
    for (const ScanSample& sample : window_->Samples()) {
        EXPECT_EQ(sample.point, point++);
        EXPECT_EQ(sample.run, run);
        EXPECT_EQ(sample.sweep, 0u);
    }
    const auto& end = window_->All().back();
    EXPECT_EQ(end.message, WM_RCV_SCAN_END);
    EXPECT_EQ(end.lParam, run);
    EXPECT_EQ(receiver->GetScanState(), CnxK740RXReceiver::kScanStopped);

    ExpectNothingMoreAfterTheStop();
    EXPECT_EQ(window_->Count(WM_RCV_SCAN_END), 1);
}

TEST_F(CnxK740RXReceiverScanTest, LoopingScanStartsOverInTheNextSweepAndAStopEndsTheRun) {
    DescribeRadios({{"A1"}});
    auto receiver = StartedReceiver("A1");
    receiver->SetScanLoop(true);
    const uint16_t first = receiver->StartScan();
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_SCAN_LEVEL) >= 102; }));
    const std::vector<ScanSample> samples = window_->Samples();
    EXPECT_EQ(samples[99].point, 0);
    EXPECT_EQ(samples[99].sweep, 1u);

    // A stop is the window's own: nothing is posted, and no sample follows it.
    receiver->StopScan();
    ExpectNothingMoreAfterTheStop();
    EXPECT_EQ(window_->Count(WM_RCV_SCAN_END), 0);

    // A stopped scan starts a new run from the lower edge.
    window_->Clear();
    const uint16_t second = receiver->StartScan();
    EXPECT_NE(second, first);
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_SCAN_LEVEL) >= 1; }));
    EXPECT_EQ(window_->Samples().front().run, second);
    EXPECT_EQ(window_->Samples().front().point, 0);
    receiver->StopScan();
}

TEST_F(CnxK740RXReceiverScanTest, PausedScanResumesTheSameRunWhereItWasHeld) {
    DescribeRadios({{"A1"}});
    auto receiver = StartedReceiver("A1");
    receiver->SetScanLoop(true);
    const uint16_t run = receiver->StartScan();
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_SCAN_LEVEL) >= 10; }));
    receiver->PauseScan();
    EXPECT_EQ(receiver->GetScanState(), CnxK740RXReceiver::kScanPaused);
    PumpFor(100ms);
    const int lastBeforePause = window_->Samples().back().point;
    window_->Clear();

    EXPECT_EQ(receiver->StartScan(), run);
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_SCAN_LEVEL) >= 3; }));
    // It goes on with the point after the last one measured, not from the lower edge.
    EXPECT_EQ(window_->Samples().front().point, lastBeforePause + 1);
    EXPECT_EQ(window_->Samples().front().run, run);
    receiver->StopScan();
}

TEST_F(CnxK740RXReceiverScanTest, OwnDefaultLowerEdgeScansAnOffsetGrid) {
    CnxK740RXReceiver receiver("NoSuchLibrary.dll", &Settings(), 0, nullptr);
    receiver.StartScan();
    std::vector<int64_t> points;
    for (int i = 0; receiver.GetScanPointFrequency(i) != 0; ++i) {
        points.push_back(receiver.GetScanPointFrequency(i));
    }
    receiver.StopScan();
    ASSERT_GE(points.size(), 2u);
    EXPECT_EQ(points[1], 136562500);
    const auto at = [&](int64_t f) { return std::find(points.begin(), points.end(), f); };
    ASSERT_NE(at(161312500), points.end());
    EXPECT_EQ(at(161687500), points.end());
    EXPECT_EQ(*(at(161312500) + 1), 162437500);
    EXPECT_EQ(points.back(), 173687500);
}

TEST_F(CnxK740RXReceiverScanTest, DemoScanReportsTheDemoSignalsWithCorrectionAndAttenuator) {
    // Starting takes the receiver's own stored correction.
    Settings().Receiver(0).sMeterCal = 15;
    auto receiver = StartedReceiver(nullptr);
    ASSERT_TRUE(receiver->IsDemo());
    receiver->SetScanLower(142750000, true);
    receiver->SetScanUpper(162250000, true);
    receiver->SetScanLoop(false);

    const auto levelsBy = [&](int64_t f) {
        std::vector<double> levels;
        const std::vector<int64_t> frequencies = window_->Frequencies();
        const std::vector<ScanSample> samples = window_->Samples();
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (frequencies[i] == f) {
                levels.push_back(samples[i].level);
            }
        }
        return levels;
    };
    const auto expectPass = [&](double at14275, double at154, double at16225, double elsewhere) {
        ASSERT_TRUE(PumpUntil([&] { return ScanEnded(); }));
        EXPECT_EQ(window_->Count(WM_RCV_SCAN_LEVEL), 51);
        EXPECT_EQ(levelsBy(142750000), std::vector<double>{at14275});
        EXPECT_EQ(levelsBy(154000000), std::vector<double>{at154});
        EXPECT_EQ(levelsBy(162250000), std::vector<double>{at16225});
        EXPECT_EQ(levelsBy(150250000), std::vector<double>{elsewhere});
    };

    receiver->StartScan();
    expectPass(-58.5, -68.5, -78.5, -103.5);

    // The window changes the receiver's correction; the attenuator takes 18 dB off the signals.
    window_->Clear();
    receiver->SetAttenuator(true);
    receiver->SetLevelCorrection(-20);
    receiver->StartScan();
    expectPass(-80.0, -90.0, -100.0, -107.0);

    // Outside the scan the demo level is the one of the frequency the receiver is tuned to.
    receiver->SetFrequency(162250000);
    EXPECT_DOUBLE_EQ(receiver->GetLevelDbm(), -98.0);
    receiver->SetAttenuator(false);
    EXPECT_DOUBLE_EQ(receiver->GetLevelDbm(), -80.0);
}

TEST_F(CnxK740RXReceiverScanTest, StalledWindowThreadStillGetsEverySampleAtItsPoint) {
    DescribeRadios({{"A1"}, {"B2"}});
    g_optSettle1 = {true, 0};
    g_optSettle2 = {true, 0};
    auto first = StartedReceiver("A1");
    auto second = StartedReceiver("B2");
    for (auto* receiver : {first.get(), second.get()}) {
        receiver->SetScanLoop(true);
        receiver->StartScan();
    }
    // The window thread is busy elsewhere for longer than a step waits for it, so the receivers
    // post past their backlog; then it catches up while they go on, passes long.
    QThread::msleep(300);
    ASSERT_TRUE(PumpUntil(
        [&] { return window_->Count(WM_RCV_SCAN_LEVEL) > 6 * int(ChannelOrder().size()); }));
    first->StopScan();
    second->StopScan();
    PumpFor(150ms);
    EXPECT_GT(first->GetScanOverruns() + second->GetScanOverruns(), 0u);

    // Each receiver's samples, in arrival order, walk the channel order sweep after sweep.
    const std::vector<int64_t> order = ChannelOrder();
    for (auto* receiver : {first.get(), second.get()}) {
        const std::vector<int64_t> frequencies = window_->Frequencies(receiver);
        ASSERT_GT(frequencies.size(), 2 * order.size());
        for (std::size_t i = 0; i < frequencies.size(); ++i) {
            ASSERT_EQ(frequencies[i], order[i % order.size()]) << "sample " << i;
        }
    }
}

TEST_F(CnxK740RXReceiverScanTest, AFastScanGoesAtTheWindowsPace) {
    DescribeRadios({{"A1"}});
    g_optSettle1 = {true, 0};
    g_optSettle2 = {true, 0};
    auto receiver = StartedReceiver("A1");
    receiver->SetScanLoop(true);
    receiver->StartScan();
    // Busy for a moment, shorter than a step waits: the receiver stops at its backlog. What was
    // waiting then arrives before a message posted at the end of the stall.
    QThread::msleep(120);
    constexpr UINT kEndOfStall = WM_USER + 4001;
    PostMessage(window_->GetHandle(), kEndOfStall, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(kEndOfStall) == 1; }));
    const auto& all = window_->All();
    const auto end = std::find_if(all.begin(), all.end(),
                                  [](const auto& record) { return record.message == kEndOfStall; });
    const int duringStall = int(std::count_if(
        all.begin(), end, [](const auto& record) { return record.message == WM_RCV_SCAN_LEVEL; }));
    EXPECT_GE(duringStall, CnxK740RXReceiver::kScanBacklog / 2);
    EXPECT_LE(duringStall, CnxK740RXReceiver::kScanBacklog + 1);
    // Once the window takes them, the scan goes on at once, passes long, and nothing overran.
    ASSERT_TRUE(PumpUntil([&] {
        return window_->Count(WM_RCV_SCAN_LEVEL) > duringStall + 3 * int(ChannelOrder().size());
    }));
    receiver->StopScan();
    ExpectNothingMoreAfterTheStop();
    EXPECT_EQ(receiver->GetScanOverruns(), 0u);
}

TEST_F(CnxK740RXReceiverScanTest, ScanningReceiverKeepsItsOwnCorrectionWhileTheSelectionMoves) {
    DescribeRadios({{"A1"}, {"B2"}});
    Settings().Receiver(0).sMeterCal = 1000;
    Settings().Receiver(1).sMeterCal = 0;
    // Without settle time the receiver measures as fast as it can, so the two threads overlap.
    g_optSettle1 = {true, 0};
    g_optSettle2 = {true, 0};
    auto scanning = StartedReceiver("B2");
    scanning->SetRadioIndex(1);
    scanning->SetScanLoop(true);
    scanning->StartScan();
    // The window selects one receiver after the other while the second one scans.
    QElapsedTimer selecting;
    selecting.start();
    for (int turn = 0; selecting.elapsed() < 300; ++turn) {
        Settings().SelectReceiver(turn % 2);
    }
    scanning->StopScan();
    PumpFor(150ms);
    ASSERT_FALSE(window_->Samples().empty());
    for (const ScanSample& sample : window_->Samples()) {
        // Raw levels span -130 .. -30 dBm; a hundred more would be the other receiver's correction.
        ASSERT_LE(sample.level, -30.0) << "at point " << sample.point;
    }
}

TEST_F(CnxK740RXReceiverScanTest, AReadingOfAFrequencyTheRadioRefusedCarriesNoLevel) {
    DescribeRadios({{"A1"}});
    auto receiver = StartedReceiver("A1");
    // The radio refuses to tune to 0 Hz and reads where it stood instead: that reading is nobody's.
    receiver->SetFrequencyLimits(0, 750000);
    receiver->SetScanStep(375000, true);
    receiver->SetScanLower(0, true);
    receiver->SetScanUpper(750000, true);
    receiver->SetScanLoop(false);
    receiver->StartScan();
    ASSERT_TRUE(PumpUntil([&] { return ScanEnded(); }));

    const std::vector<ScanSample> samples = window_->Samples();
    ASSERT_EQ(window_->Frequencies(), (std::vector<int64_t>{0, 375000, 750000}));
    EXPECT_FALSE(samples[0].HasLevel()) << samples[0].level;
    EXPECT_TRUE(samples[1].HasLevel());
    EXPECT_TRUE(samples[2].HasLevel());
}

TEST_F(CnxK740RXReceiverScanTest, AStepOfAStoppedRunNeverReachesTheNextRun) {
    // Every step settles a quarter of a second, so a stop and a start land inside one.
    DescribeRadios({{"A1"}});
    g_optSettle1 = {true, 0};
    g_optSettle2 = {true, 2500};
    auto receiver = StartedReceiver("A1");
    receiver->SetScanLoop(true);
    for (int round = 0; round < 4; ++round) {
        receiver->StartScan();
        PumpFor(std::chrono::milliseconds(300 + 70 * round));
        receiver->StopScan();
    }
    const uint16_t last = receiver->StartScan();
    ASSERT_TRUE(PumpUntil([&] { return SamplesOfRun(last).size() >= 4; }));
    receiver->StopScan();
    // The last run's samples walk from its first point, one after the other; whatever the old
    // steps still delivered is named after their own runs.
    const std::vector<ScanSample> samples = SamplesOfRun(last);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        EXPECT_EQ(samples[i].point, int(i));
    }
    EXPECT_LT(SamplesOfRun(last).size(), window_->Samples().size());
}

TEST_F(CnxK740RXReceiverScanTest, AReadingTakenWhereTheWindowTunedIsNeverFiledAsAStepsLevel) {
    // One strong sonobuoy at 154 MHz (channel 80); everything else is the noise floor. The window
    // thread keeps tuning the radio there while it scans, as a restart after a replug does.
    DescribeRadios({{"A1"}}, "154000000 = -40\n");
    g_optSettle1 = {true, 0};
    g_optSettle2 = {true, 30};
    auto receiver = StartedReceiver("A1");
    receiver->SetScanLoop(true);
    receiver->StartScan();
    QElapsedTimer running;
    running.start();
    while (running.elapsed() < 1500) {
        receiver->SetFrequency(154000000);
        PumpFor(std::chrono::milliseconds(7 + running.elapsed() % 11));
    }
    receiver->StopScan();
    PumpFor(150ms);
    const std::vector<int64_t> frequencies = window_->Frequencies();
    const std::vector<ScanSample> samples = window_->Samples();
    ASSERT_GT(samples.size(), 50u);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (frequencies[i] != 154000000 && samples[i].HasLevel()) {
            ASSERT_LT(samples[i].level, -80.0) << "at " << frequencies[i];
        }
    }
}
