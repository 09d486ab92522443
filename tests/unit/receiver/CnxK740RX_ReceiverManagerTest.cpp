#include "receiver/CnxK740RX_ReceiverManager.h"

#include <gtest/gtest.h>

#include <string>

#include "ReceiverTestSupport.h"
#include "receiver/CnxK740RXReceiver.h"

namespace {

class CnxK740RX_ReceiverManagerTest : public ReceiverTest {
protected:
    void TearDown() override {
        manager_.reset();
        ReceiverTest::TearDown();
    }

    void Remember(int slot, const std::string& serial, const std::string& product = "K7USB") {
        Settings().Receiver(slot).serialNumber = serial;
        Settings().Receiver(slot).productName = product;
    }

    CnxK740RX_ReceiverManager& Accept(const char* library = "QVK740RXAPI.dll") {
        manager_ = std::make_unique<CnxK740RX_ReceiverManager>(8, &Settings(), window_->GetHandle(),
                                                               nullptr, &progress_, library);
        manager_->Accept();
        return *manager_;
    }

    std::string SerialOf(int index) const {
        const CnxK740RXReceiver* receiver = manager_->GetReceiver(index);
        return receiver != nullptr ? receiver->GetCurrentRadioInfo().serial : "(none)";
    }

    std::string StoredSerial(int slot) { return Settings().Receiver(slot).serialNumber; }

    // Runs the connection watch a few times, then lets whatever it posted arrive.
    void Watch(int ticks) {
        for (int tick = 0; tick < ticks; ++tick) {
            manager_->IsDevicesConected();
        }
        PumpFor(100ms);
    }
    // Runs the connection watch, as the main window's timer does, until a change is reported.
    bool WatchUntilReported(int messages) {
        return PumpUntil([&] {
            manager_->IsDevicesConected();
            return window_->Count(WM_RCV_CONNECTION) >= messages;
        });
    }

    ProgressRecorder progress_;
    std::unique_ptr<CnxK740RX_ReceiverManager> manager_;
};

}  // namespace

// The packed radio takes its own values with it; the absent one keeps theirs.
TEST_F(CnxK740RX_ReceiverManagerTest, AKnownRadioIsMatchedThenPackedToTheFront) {
    Remember(0, "A");
    Remember(1, "B", "K7PCI");
    Settings().Receiver(1).frequency = 162250000;
    Settings().Receiver(1).loop = 0;
    DescribeRadios({{"B", "K7PCI"}});
    auto& manager = Accept();

    EXPECT_FALSE(manager.IsDemoMode());
    EXPECT_EQ(manager.GetReceiverCount(), 1);
    ASSERT_EQ(SerialOf(0), "B");
    EXPECT_TRUE(manager.GetReceiver(0)->IsStarted());
    EXPECT_EQ(manager.GetReceiver(0)->GetFrequency(), 162250000) << "started on its own frequency";
    EXPECT_EQ(manager.GetReceiver(1), nullptr);
    EXPECT_TRUE(manager.IsDemo(1));
    EXPECT_EQ(StoredSerial(1), "DEMO");
    ASSERT_NE(Settings().AbsentRadio("A"), nullptr);

    EXPECT_EQ(progress_.positions, std::vector<int>{34});
    ASSERT_FALSE(progress_.texts.empty());
    EXPECT_NE(progress_.texts.back().find("\nReceiver# 1\nSerial Number: B"), std::string::npos);

    // Its own loop flag decides whether its scan starts over.
    CnxK740RXReceiver& b = *manager.GetReceiver(0);
    b.SetScanLower(136000000, true);
    b.SetScanUpper(137000000, true);
    b.StartScan();
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_SCAN_END) == 1; }));
}

TEST_F(CnxK740RX_ReceiverManagerTest, ANewRadioTakesTheFirstFreeSlotBesideAKnownOne) {
    Remember(2, "A");
    DescribeRadios({{"A"}, {"C"}});
    auto& manager = Accept();

    EXPECT_EQ(manager.GetReceiverCount(), 2);
    // C took slot 0, A kept slot 2; packing keeps that order.
    EXPECT_EQ(SerialOf(0), "C");
    EXPECT_EQ(SerialOf(1), "A");
    EXPECT_EQ(manager.GetReceiver(2), nullptr);
    EXPECT_EQ(manager.GetSlot(0).listIndex, 1);
    EXPECT_EQ(StoredSerial(1), "A");
    EXPECT_EQ(StoredSerial(2), "DEMO");
    EXPECT_NE(
        progress_.texts.back().find("Receiver# 2\nSerial Number: C\nReceiver# 1\nSerial Number: A"),
        std::string::npos);
}

TEST_F(CnxK740RX_ReceiverManagerTest, WithoutRadiosEightDemoReceiversStartAndTheSlotsStay) {
    Remember(3, "X9", "K7SER");
    auto& manager = Accept();

    EXPECT_TRUE(manager.IsDemoMode());
    EXPECT_EQ(manager.GetReceiverCount(), 8);
    for (int i = 0; i < 8; ++i) {
        const CnxK740RXReceiver* receiver = manager.GetReceiver(i);
        ASSERT_NE(receiver, nullptr) << i;
        EXPECT_TRUE(receiver->IsOpen()) << i;
        EXPECT_EQ(receiver->GetCurrentRadioInfo().productName,
                  "DEMO [" + std::to_string(i + 1) + "]");
    }
    EXPECT_EQ(StoredSerial(3), "X9");
    EXPECT_EQ(progress_.positions, (std::vector<int>{34, 42, 50, 58, 66, 74, 82, 90}));

    manager.CloseAll();
    EXPECT_FALSE(manager.IsAccepted());
    EXPECT_EQ(manager.GetReceiver(0), nullptr);
}

TEST_F(CnxK740RX_ReceiverManagerTest, OneNewRadioReplacesEveryRememberedSlot) {
    for (int slot = 0; slot < 8; ++slot) {
        Remember(slot, "OLD" + std::to_string(slot));
    }
    DescribeRadios({{"R1"}});
    auto& manager = Accept();

    EXPECT_EQ(manager.GetReceiverCount(), 1);
    EXPECT_EQ(StoredSerial(0), "R1");
    for (int slot = 1; slot < 8; ++slot) {
        EXPECT_EQ(StoredSerial(slot), "DEMO") << slot;
        EXPECT_EQ(manager.GetReceiver(slot), nullptr) << slot;
    }
}

TEST_F(CnxK740RX_ReceiverManagerTest,
       WithoutTheLibraryDemoReceiversStayUnopenedAndOnlyTheSelectedOneForwardsAudio) {
    auto& manager = Accept("NoSuchLibrary.dll");
    EXPECT_TRUE(manager.IsDemoMode());
    EXPECT_EQ(manager.GetReceiverCount(), 8);
    for (int i = 0; i < 8; ++i) {
        ASSERT_NE(manager.GetReceiver(i), nullptr);
        EXPECT_FALSE(manager.GetReceiver(i)->IsOpen());
    }
    EXPECT_EQ(manager.IsDevicesConected(), 1);
    PumpFor(50ms);
    EXPECT_EQ(window_->Count(WM_RCV_CONNECTION), 0);

    // The settings keep which one is selected.
    CnxK740RXReceiver* first = manager.GetReceiver(0);
    CnxK740RXReceiver* second = manager.GetReceiver(1);

    EXPECT_EQ(manager.SetSelected(1), second);
    EXPECT_FALSE(first->IsAudioEnabled());
    EXPECT_TRUE(second->IsAudioEnabled());
    EXPECT_EQ(Settings().GetSelectedReceiver(), 1);

    EXPECT_EQ(manager.SetSelected(0), first);
    EXPECT_TRUE(first->IsAudioEnabled());
    EXPECT_FALSE(second->IsAudioEnabled());

    // A slot beyond the receivers selects nothing that could forward audio.
    EXPECT_EQ(manager.SetSelected(9), nullptr);
    EXPECT_FALSE(first->IsAudioEnabled());
}

TEST_F(CnxK740RX_ReceiverManagerTest, AnIdleReceiverUnpluggedIsReportedOnceAtTheNextWatch) {
    DescribeRadios({{"A1"}});
    auto& manager = Accept();
    EXPECT_EQ(manager.IsDevicesConected(), 1);
    PumpFor(50ms);
    EXPECT_EQ(window_->Count(WM_RCV_CONNECTION), 0);

    DescribeRadios({{"A1", "K7USB", false}});
    ASSERT_TRUE(WatchUntilReported(1));
    const auto report = window_->Of(WM_RCV_CONNECTION).front();
    EXPECT_EQ(report.wParam, reinterpret_cast<WPARAM>(manager.GetReceiver(0)));
    EXPECT_EQ(report.lParam, 0);
    Watch(10);
    EXPECT_EQ(window_->Count(WM_RCV_CONNECTION), 1);

    DescribeRadios({{"A1"}});
    ASSERT_TRUE(WatchUntilReported(2));
    EXPECT_EQ(window_->Of(WM_RCV_CONNECTION).back().lParam, 1);
}

TEST_F(CnxK740RX_ReceiverManagerTest, AStandInIsToldOnceWhenItsRadioComesBack) {
    DescribeRadios({{"A1"}, {"B2"}});
    auto& manager = Accept();
    CnxK740RXReceiver* receiver = manager.GetReceiver(0);
    DescribeRadios({{"A1", "K7USB", false}, {"B2"}});
    ASSERT_TRUE(WatchUntilReported(1));
    receiver->StandInForLostRadio();
    Watch(5);
    EXPECT_EQ(window_->Count(WM_RCV_RADIO_BACK), 0);

    DescribeRadios({{"A1"}, {"B2"}});
    ASSERT_TRUE(PumpUntil([&] {
        manager.IsDevicesConected();
        return window_->Count(WM_RCV_RADIO_BACK) >= 1;
    }));
    Watch(5);
    ASSERT_EQ(window_->Count(WM_RCV_RADIO_BACK), 1);
    const auto back = window_->Of(WM_RCV_RADIO_BACK).front();
    EXPECT_EQ(back.wParam, reinterpret_cast<WPARAM>(receiver));
    EXPECT_EQ(back.lParam, 1);
}
