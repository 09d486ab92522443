#include "receiver/CnxK740RX_ReceiverThread.h"

#include <gtest/gtest.h>

#include <string>

#include "ReceiverTestSupport.h"
#include "receiver/CnxK740RXReceiver.h"

namespace {

class CnxK740RX_ReceiverThreadTest : public ReceiverTest {
protected:
    std::unique_ptr<CnxK740RXReceiver> NewReceiver() {
        return std::make_unique<CnxK740RXReceiver>("QVK740RXAPI.dll", &Settings(),
                                                   window_->GetHandle(), nullptr);
    }

    static void ScanWholeBand(CnxK740RXReceiver& receiver, bool loop) {
        receiver.SetFrequencyLimits(136000000, 173500000);
        receiver.SetScanStep(375000, true);
        receiver.SetScanLower(136000000, true);
        receiver.SetScanUpper(173500000, true);
        receiver.SetScanLoop(loop);
        receiver.StartScan();
    }

    static std::string EndLine(K7Handle handle) {
        return "Processing thread for receiver " + std::to_string(handle) + " ENDED.";
    }

    int Levels() const { return window_->Count(WM_RCV_SCAN_LEVEL); }
    int ConnectionMessages() const { return window_->Count(WM_RCV_CONNECTION); }
};

}  // namespace

TEST_F(CnxK740RX_ReceiverThreadTest, WithoutAReceiverTheThreadEndsAtOnceSilently) {
    LogCapture log;
    CnxK740RX_ReceiverThread thread(nullptr, window_->GetHandle());
    EXPECT_EQ(thread.GetReceiver(), nullptr);
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(PumpUntil([&] { return !thread.IsRunning(); }));
    EXPECT_EQ(log.Count("ENDED"), 0);
}

TEST_F(CnxK740RX_ReceiverThreadTest, AnIdleThreadRunsUntilItIsStopped) {
    LogCapture log;
    auto receiver = NewReceiver();
    ASSERT_NE(receiver->OpenByIndex(0), nullptr);
    CnxK740RX_ReceiverThread thread(receiver.get(), window_->GetHandle());
    EXPECT_EQ(thread.GetReceiver(), receiver.get());
    ASSERT_TRUE(thread.Start());
    PumpFor(100ms);
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_EQ(Levels(), 0);

    EXPECT_TRUE(thread.Stop());
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(log.Count(EndLine(receiver->GetHandle())), 1);
}

TEST_F(CnxK740RX_ReceiverThreadTest, ClosingTheReceiverEndsItsThread) {
    LogCapture log;
    auto receiver = NewReceiver();
    ASSERT_NE(receiver->OpenByIndex(0), nullptr);
    receiver->SetPower(1, true);
    ScanWholeBand(*receiver, true);
    ASSERT_TRUE(PumpUntil([&] { return Levels() >= 2; }));
    const K7Handle handle = receiver->GetHandle();

    EXPECT_FALSE(receiver->Close());
    EXPECT_EQ(log.Count(EndLine(handle)), 1);
    const int levels = Levels();
    PumpFor(200ms);
    EXPECT_EQ(Levels(), levels);
}

TEST_F(CnxK740RX_ReceiverThreadTest, ADemoReceiverBesideAListedRadioMeasuresOnceAndEnds) {
    DescribeRadios({{"A1"}});
    LogCapture log;
    auto receiver = NewReceiver();
    ASSERT_NE(receiver->OpenByIndex(5), nullptr);
    ASSERT_TRUE(receiver->IsDemo());
    receiver->SetPower(1, true);
    ScanWholeBand(*receiver, true);
    ASSERT_TRUE(PumpUntil([&] { return log.Count(EndLine(receiver->GetHandle())) == 1; }));
    PumpFor(200ms);
    EXPECT_EQ(Levels(), 1);
}

TEST_F(CnxK740RX_ReceiverThreadTest, UnplugDuringAScanIsReportedOnceAndReplugResumesIt) {
    DescribeRadios({{"A1"}});
    auto receiver = NewReceiver();
    ASSERT_NE(receiver->OpenBySerial("A1"), nullptr);
    receiver->SetPower(1, true);
    ScanWholeBand(*receiver, true);
    ASSERT_TRUE(PumpUntil([&] { return Levels() >= 5; }));

    DescribeRadios({{"A1", "K7USB", false}});
    ASSERT_TRUE(PumpUntil([&] { return ConnectionMessages() == 1; }));
    const auto unplugged = window_->Of(WM_RCV_CONNECTION).front();
    EXPECT_EQ(unplugged.wParam, reinterpret_cast<WPARAM>(receiver.get()));
    EXPECT_EQ(unplugged.lParam, 0);
    PumpFor(100ms);
    const int levelsWhileUnplugged = Levels();
    PumpFor(400ms);
    EXPECT_EQ(Levels(), levelsWhileUnplugged);
    EXPECT_EQ(ConnectionMessages(), 1);
    EXPECT_TRUE(receiver->IsScanning());

    DescribeRadios({{"A1"}});
    ASSERT_TRUE(PumpUntil([&] { return ConnectionMessages() == 2; }));
    EXPECT_EQ(window_->Of(WM_RCV_CONNECTION).back().lParam, 1);
    EXPECT_TRUE(PumpUntil([&] { return Levels() >= levelsWhileUnplugged + 5; }));
    EXPECT_EQ(ConnectionMessages(), 2);
    receiver->StopScan();
}
