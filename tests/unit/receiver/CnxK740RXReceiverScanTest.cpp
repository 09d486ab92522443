#include <gtest/gtest.h>

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

std::vector<int64_t> FrequenciesOf(const std::vector<ScanSample>& samples) {
    std::vector<int64_t> frequencies;
    for (const ScanSample& sample : samples) {
        frequencies.push_back(sample.frequency);
    }
    return frequencies;
}

class CnxK740RXReceiverScanTest : public ReceiverTest {
protected:
    bool ScanEnded() const { return window_->Count(WM_RCV_SCAN_END) > 0; }
};

}  // namespace

TEST_F(CnxK740RXReceiverScanTest, SinglePassMeasuresEveryChannelOnceInOrderThenEnds) {
    DescribeRadios({{"A1"}});
    auto receiver = StartedReceiver("A1");
    receiver->SetScanLoop(false);
    receiver->StartScan();
    ASSERT_TRUE(PumpUntil([&] { return ScanEnded(); }));

    const std::vector<ScanSample> samples = window_->Samples();
    EXPECT_EQ(FrequenciesOf(samples), ChannelOrder());
    for (const ScanSample& sample : samples) {
        EXPECT_GE(sample.level, -130.0);
        EXPECT_LE(sample.level, -30.0);
    }
    const auto& all = window_->All();
    EXPECT_EQ(all.back().message, WM_RCV_SCAN_END);
    EXPECT_EQ(all.back().wParam, reinterpret_cast<WPARAM>(receiver.get()));
    EXPECT_EQ(receiver->GetScanFrequency(), kBottom);
    EXPECT_FALSE(receiver->IsScanning());
    EXPECT_EQ(receiver->GetScanState(), CnxK740RXReceiver::kScanStopped);
    EXPECT_EQ(receiver->GetScanCount(), 1u);

    PumpFor(200ms);
    EXPECT_EQ(window_->Count(WM_RCV_SCAN_LEVEL), 99);
    EXPECT_EQ(window_->Count(WM_RCV_SCAN_END), 1);
}

TEST_F(CnxK740RXReceiverScanTest, LoopingScanStartsOverAtTheLowerEdgeUntilStopped) {
    DescribeRadios({{"A1"}});
    auto receiver = StartedReceiver("A1");
    receiver->SetScanLoop(true);
    receiver->StartScan();
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_SCAN_LEVEL) >= 102; }));
    const std::vector<ScanSample> samples = window_->Samples();
    EXPECT_EQ(samples[98].frequency, kTop);
    EXPECT_EQ(samples[99].frequency, kBottom);
    EXPECT_EQ(samples[100].frequency, kBottom + kStep);
    EXPECT_EQ(window_->Count(WM_RCV_SCAN_END), 0);

    receiver->StopScan();
    ASSERT_TRUE(PumpUntil([&] { return ScanEnded(); }));
    PumpFor(100ms);
    const int levels = window_->Count(WM_RCV_SCAN_LEVEL);
    PumpFor(200ms);
    EXPECT_EQ(window_->Count(WM_RCV_SCAN_LEVEL), levels);
    EXPECT_EQ(window_->Count(WM_RCV_SCAN_END), 1);

    // A stopped scan starts a new pass from the lower edge.
    window_->Clear();
    receiver->StartScan();
    EXPECT_EQ(receiver->GetScanCount(), 2u);
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_SCAN_LEVEL) >= 1; }));
    EXPECT_EQ(window_->Samples().front().frequency, kBottom);
    receiver->StopScan();
}

TEST_F(CnxK740RXReceiverScanTest, PausedScanResumesWhereItStopped) {
    DescribeRadios({{"A1"}});
    auto receiver = StartedReceiver("A1");
    receiver->SetScanLoop(true);
    receiver->StartScan();
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_SCAN_LEVEL) >= 10; }));
    receiver->PauseScan();
    EXPECT_FALSE(receiver->IsScanning());
    EXPECT_EQ(receiver->GetScanState(), CnxK740RXReceiver::kScanPaused);
    PumpFor(100ms);
    const int64_t lastBeforePause = window_->Samples().back().frequency;
    window_->Clear();

    receiver->StartScan();
    EXPECT_EQ(receiver->GetScanCount(), 1u);
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_SCAN_LEVEL) >= 3; }));
    // A real radio goes on from its last measured frequency (one step further when the thread was
    // inside a step as the pause came), not from the lower edge.
    EXPECT_GE(window_->Samples().front().frequency, lastBeforePause);
    EXPECT_LE(window_->Samples().front().frequency, lastBeforePause + kStep);
    receiver->StopScan();
}

TEST_F(CnxK740RXReceiverScanTest, OwnDefaultLowerEdgeScansAnOffsetGrid) {
    CnxK740RXReceiver receiver("NoSuchLibrary.dll", &Settings(), 0, nullptr);
    receiver.StartScan();
    EXPECT_EQ(receiver.GetScanFrequency(), 136187500);
    std::vector<int64_t> tuned;
    while (receiver.NextScanFrequency() && receiver.GetScanFrequency() != 136187500) {
        tuned.push_back(receiver.GetScanFrequency());
    }
    ASSERT_FALSE(tuned.empty());
    EXPECT_EQ(tuned.front(), 136562500);
    const auto at = [&](int64_t f) { return std::find(tuned.begin(), tuned.end(), f); };
    ASSERT_NE(at(160937500), tuned.end());
    ASSERT_NE(at(161312500), tuned.end());
    EXPECT_EQ(at(161687500), tuned.end());
    EXPECT_EQ(*(at(161312500) + 1), 162437500);
    EXPECT_EQ(tuned.back(), 173687500);
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
        for (const ScanSample& sample : window_->Samples()) {
            if (sample.frequency == f) {
                levels.push_back(sample.level);
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

TEST_F(CnxK740RXReceiverScanTest, StalledWindowThreadStillGetsEverySampleAsMeasured) {
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
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_SCAN_END) == 2; }));
    EXPECT_GT(first->GetScanOverruns() + second->GetScanOverruns(), 0u);

    // Each receiver's samples, in arrival order, walk the channel order over and over.
    const std::vector<int64_t> order = ChannelOrder();
    for (auto* receiver : {first.get(), second.get()}) {
        std::vector<int64_t> frequencies;
        for (const auto& record : window_->Of(WM_RCV_SCAN_LEVEL)) {
            if (record.lParam == reinterpret_cast<LPARAM>(receiver)) {
                frequencies.push_back(record.sample.frequency);
            }
        }
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
    ASSERT_TRUE(PumpUntil([&] { return ScanEnded(); }));
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
    ASSERT_TRUE(PumpUntil([&] { return ScanEnded(); }));
    ASSERT_FALSE(window_->Samples().empty());
    for (const ScanSample& sample : window_->Samples()) {
        // Raw levels span -130 .. -30 dBm; a hundred more would be the other receiver's correction.
        ASSERT_LE(sample.level, -30.0) << "at " << sample.frequency;
    }
}

TEST_F(CnxK740RXReceiverScanTest, AReadTheRadioCannotAnswerCarriesNoLevel) {
    DescribeRadios({{"A1"}});
    auto receiver = StartedReceiver("A1");
    // The radio refuses to tune to 0 Hz, so the read after that tune has nothing to hand out.
    receiver->SetFrequencyLimits(0, 750000);
    receiver->SetScanStep(375000, true);
    receiver->SetScanLower(0, true);
    receiver->SetScanUpper(750000, true);
    receiver->SetScanLoop(false);
    receiver->StartScan();
    ASSERT_TRUE(PumpUntil([&] { return ScanEnded(); }));

    const std::vector<ScanSample> samples = window_->Samples();
    ASSERT_EQ(FrequenciesOf(samples), (std::vector<int64_t>{0, 375000, 750000}));
    EXPECT_TRUE(samples[0].HasLevel());
    EXPECT_TRUE(samples[1].HasLevel());
    EXPECT_FALSE(samples[2].HasLevel()) << samples[2].level;
}
