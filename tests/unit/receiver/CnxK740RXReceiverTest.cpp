#include "receiver/CnxK740RXReceiver.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <string>

#include "ReceiverTestSupport.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"
#include "receiver/CnxK740RXTraceLog.h"
#include "settings/CnxAppOptions.h"

namespace {

using CnxK740RXReceiverTest = ReceiverTest;

}  // namespace

TEST_F(CnxK740RXReceiverTest, WithoutTheLibraryItStaysDemoWithTenDemoEntries) {
    auto receiver = NewReceiver("NoSuchLibrary.dll");
    EXPECT_FALSE(receiver->IsLoaded());
    EXPECT_TRUE(receiver->IsDemo());
    for (int i = 0; i < CnxK740RXReceiver::kRadioListSize; ++i) {
        const RadioInfo* entry = receiver->GetRadioInfo(i);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(uint32_t{entry->length}, 42u);
        EXPECT_STREQ(entry->serial, "DEMO");
        // The tenth name does not fit the field whole.
        const std::string expected = i < 9 ? "DEMO [" + std::to_string(i + 1) + "]" : "DEMO [10";
        EXPECT_EQ(entry->productName, expected);
    }
    EXPECT_EQ(receiver->GetRadioInfo(10), nullptr);

    EXPECT_EQ(receiver->OpenByIndex(0), nullptr);
    EXPECT_EQ(receiver->Start(), 0u);

    // The stored frequency changes even though no radio takes it.
    EXPECT_EQ(receiver->SetFrequency(150000000), 0);
    EXPECT_EQ(Settings().Current().frequency, 150000000);
    EXPECT_TRUE(receiver->IsConnected());
    EXPECT_DOUBLE_EQ(receiver->GetLevelRaw(), -130.0);
}

TEST_F(CnxK740RXReceiverTest, AnIndexBeyondTheListedRadiosOpensItsDemoEntry) {
    auto receiver = NewReceiver();
    ASSERT_TRUE(receiver->IsLoaded());
    EXPECT_EQ(receiver->Enumerate(), 0);

    const RadioInfo* info = receiver->OpenByIndex(3);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->productName, "DEMO [4]");
    EXPECT_TRUE(receiver->IsDemo());
    EXPECT_STREQ(receiver->GetAttachmentWord(), "demo");
    EXPECT_EQ(receiver->OpenByIndex(10), nullptr);
    EXPECT_FALSE(receiver->Close());
    EXPECT_FALSE(receiver->IsOpen());
}

TEST_F(CnxK740RXReceiverTest, RealRadiosAreListedCountedAndOpened) {
    DescribeRadios({{"U1", "K7USB", true, true},
                    {"P1", "K7PCI"},
                    {"S1", "K7SER"},
                    {"S2", "K7SER"},
                    {"X1", "K7USB", false}});
    auto receiver = NewReceiver();
    // The unplugged radio is not listed.
    EXPECT_EQ(receiver->Enumerate(), 4);
    EXPECT_EQ(receiver->GetRadioCount(CnxK740RXReceiver::kKindUsb), 1);
    EXPECT_EQ(receiver->GetRadioCount(CnxK740RXReceiver::kKindSerial), 2);
    EXPECT_EQ(receiver->FindBySerial("S2"), 3);
    EXPECT_EQ(receiver->FindByProductName("K7PCI-2"), 1);
    EXPECT_EQ(receiver->CheckIndex(3), 3);
    EXPECT_EQ(receiver->CheckIndex(4), -1);
    EXPECT_EQ(receiver->OpenBySerial("X1"), nullptr);

    ASSERT_NE(receiver->OpenBySerial("U1"), nullptr);
    EXPECT_FALSE(receiver->IsDemo());
    EXPECT_STREQ(receiver->GetAttachmentWord(), "usb");
    EXPECT_EQ(receiver->GetTopFrequency(), 225000000u);

    ASSERT_NE(receiver->OpenByProductName("K7PCI"), nullptr);
    EXPECT_STREQ(receiver->GetAttachmentWord(), "pci");
    EXPECT_EQ(receiver->GetTopFrequency(), 173500000u);
    EXPECT_EQ(receiver->GetRadioIndex(), 1);

    receiver->SetSerial("TOO-LONG-SERIAL");
    EXPECT_STREQ(receiver->GetCurrentRadioInfo().serial, "TOO-LONG");
}

TEST_F(CnxK740RXReceiverTest, StartAppliesStoredSettingsAndStopPutsTheHardwareBack) {
    SnxK740RXReceiverSettings& stored = Settings().Receiver(2);
    stored.atten = 1;
    stored.frequency = 150000000;
    stored.volume = 20;
    DescribeRadios({{"A1"}});
    auto receiver = NewReceiver();
    ASSERT_NE(receiver->OpenBySerial("A1"), nullptr);
    receiver->SetRadioIndex(2);
    receiver->SetAtten(0);
    receiver->SetRFAmp(0);
    receiver->SetIF2Frequency(455000);

    EXPECT_NE(receiver->Start(), 0u);
    EXPECT_TRUE(receiver->IsStarted());
    EXPECT_EQ(receiver->GetAtten(), 1);
    EXPECT_EQ(receiver->GetRFAmp(), 1);
    EXPECT_EQ(receiver->GetIF2Frequency(), 12000);
    EXPECT_EQ(receiver->GetFrequency(), 150000000);
    EXPECT_EQ(receiver->GetLEDFlashPattern(), 95);
    EXPECT_EQ(receiver->GetAudioBandwidth(), 24000);
    EXPECT_EQ(receiver->GetVolume(), 15);
    EXPECT_EQ(receiver->GetAudioGain(), 20);
    EXPECT_TRUE(receiver->AreStreamsRunning());
    EXPECT_EQ(Settings().Current().frequency, 136000000);  // receiver 0 is the selected one
    EXPECT_EQ(receiver->Start(), 0u);

    EXPECT_TRUE(receiver->Stop());
    EXPECT_EQ(receiver->GetAtten(), 0);
    EXPECT_EQ(receiver->GetRFAmp(), 0);
    EXPECT_EQ(receiver->GetIF2Frequency(), 455000);
    EXPECT_EQ(receiver->GetLEDFlashPattern(), 168);
    EXPECT_FALSE(receiver->AreStreamsRunning());
    EXPECT_FALSE(receiver->Stop());

    // A demo receiver is heard through the player: it starts no stream of its own.
    auto demo = NewReceiver();
    ASSERT_NE(demo->OpenByIndex(5), nullptr);
    demo->Start();
    EXPECT_TRUE(demo->IsStarted());
    EXPECT_FALSE(demo->AreStreamsRunning());
}

TEST_F(CnxK740RXReceiverTest, PowerStartsAndStopsTheReceiverAndTuningFindsItsOwnSlot) {
    auto receiver = NewReceiver();
    ASSERT_NE(receiver->OpenByIndex(0), nullptr);
    EXPECT_EQ(receiver->SetPower(0, false), 0);
    EXPECT_FALSE(receiver->IsStarted());
    EXPECT_EQ(receiver->SetPower(1, false), 1);
    EXPECT_TRUE(receiver->IsStarted());
    EXPECT_EQ(receiver->SetPower(1, false), 0);
    EXPECT_EQ(receiver->SetPower(0, false), 1);
    EXPECT_FALSE(receiver->IsStarted());

    CnxK740RXReceiver unsettled("QVK740RXAPI.dll", nullptr, 0, nullptr);
    EXPECT_EQ(unsettled.SetPower(1, true), 0);

    // A receiver that is not selected keeps its frequency in its own slot.
    receiver->SetRadioIndex(1);
    Settings().SelectReceiver(0);
    Settings().Current().frequency = 162250000;
    EXPECT_NE(receiver->SetFrequency(150000000), 0);
    EXPECT_EQ(Settings().Receiver(1).frequency, 150000000);
    EXPECT_EQ(Settings().Current().frequency, 162250000);  // the selected one's stays put
    Settings().SelectReceiver(1);
    EXPECT_NE(receiver->SetFrequency(151000000), 0);
    EXPECT_EQ(Settings().Current().frequency, 151000000);
}

TEST_F(CnxK740RXReceiverTest, TuningTellsTheCalibratorTheNewFrequency) {
    CnxK740RXCalibratorSMeter calibrator("NoSuchCalibration.dll", "qvk74m.cal");
    auto receiver = NewReceiver("QVK740RXAPI.dll", &calibrator);
    ASSERT_NE(receiver->OpenByIndex(0), nullptr);

    EXPECT_NE(receiver->SetFrequency(151000000), 0);
    EXPECT_EQ(calibrator.GetFrequency(), 151000000);
    EXPECT_NE(receiver->SetFreqAsync(152000000), 0);
    EXPECT_EQ(calibrator.GetFrequency(), 152000000);
    EXPECT_EQ(Settings().Current().frequency, 152000000);

    // A frequency the radio refuses is stored but not passed on.
    EXPECT_EQ(receiver->SetFrequency(-5), 0);
    EXPECT_EQ(calibrator.GetFrequency(), 152000000);
    EXPECT_EQ(Settings().Current().frequency, -5);

    // Without a calibration library the level falls back to the linear mapping.
    EXPECT_EQ(CnxK740RXReceiver::RawToTenthsDbm(0), -1300);
    EXPECT_EQ(CnxK740RXReceiver::RawToTenthsDbm(255), -300);
    EXPECT_EQ(CnxK740RXReceiver::RawToTenthsDbm(128), -798);
}

TEST_F(CnxK740RXReceiverTest, ScanRangeSettersKeepTheMinimumSpanInsideTheLimits) {
    auto receiver = NewReceiver("NoSuchLibrary.dll");
    receiver->SetFrequencyLimits(136000000, 173500000);  // the defaults: nothing changes
    EXPECT_EQ(receiver->GetScanUpper(), 173687500);

    receiver->SetScanUpper(173500000, true);
    receiver->SetScanLower(173500000, false);
    EXPECT_EQ(receiver->GetScanLower(), 173450000);
    EXPECT_EQ(receiver->GetScanUpper(), 173500000);
    EXPECT_EQ(receiver->GetScanFrequency(), 173450000);

    receiver->SetScanLower(140000000, false);
    receiver->SetScanUpper(200000000, false);
    EXPECT_EQ(receiver->GetScanUpper(), 173450000);
    EXPECT_EQ(receiver->GetScanLower(), 140000000);

    receiver->SetScanUpper(100000000, false);
    EXPECT_EQ(receiver->GetScanLower(), 136000000);
    EXPECT_EQ(receiver->GetScanUpper(), 136050000);

    receiver->SetFrequencyLimits(150000000, 150000000);
    EXPECT_EQ(receiver->GetMinFrequency(), 150000000);
    EXPECT_EQ(receiver->GetMaxFrequency(), 150000001);
}

TEST_F(CnxK740RXReceiverTest, TheLogOptionTracesEveryMeasurementToAFilePerRadio) {
    EXPECT_EQ(CnxK740RXTraceLog::FileName("usb", 1), "k74usb-log  0.txt");
    EXPECT_EQ(CnxK740RXTraceLog::FileName("demo", 12), "k74demo-log 11.txt");

    // Scans three channels with a fresh demo receiver; returns the path of its trace file.
    const auto scanThreeChannels = [&] {
        auto receiver = NewReceiver();
        EXPECT_NE(receiver->OpenByIndex(0), nullptr);
        receiver->SetPower(1, true);
        receiver->SetScanLower(154000000, true);
        receiver->SetScanUpper(154750000, true);
        receiver->SetScanStep(375000, true);
        window_->Clear();
        receiver->StartScan();
        EXPECT_TRUE(PumpUntil([&] { return window_->Count(WM_RCV_SCAN_END) == 1; }));
        return QString::fromStdString(
            Settings().GetSettingsDir() + "/" +
            CnxK740RXTraceLog::FileName(receiver->GetAttachmentWord(), receiver->GetHandle()));
    };

    EXPECT_FALSE(QFile::exists(scanThreeChannels()));

    // Options are set before any thread reads them, as the entry point does.
    g_optLog = {true, 0};
    QFile file(scanThreeChannels());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(file.readAll()).split('\n', Qt::SkipEmptyParts);
    // The tune that opens the pass, then one line per channel.
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("Radio["));
    EXPECT_TRUE(
        lines[0].contains("- Freq: [154000000] - SS: [0] rawSS: [0] -  RSSI: [0] - AGC: [0]"));
    EXPECT_TRUE(lines[1].contains("- Freq: [154000000] - SS: [-700] rawSS: [0]"));
    EXPECT_TRUE(lines[3].contains("- Freq: [154750000] - SS: [-1050]"));
    EXPECT_TRUE(lines[3].endsWith(" ms]"));
}

TEST_F(CnxK740RXReceiverTest, ARadioThatFailsToOpenIsNeitherDemoNorConnected) {
    DescribeRadios({{"A1"}});
    auto receiver = NewReceiver();
    ASSERT_EQ(receiver->Enumerate(), 1);
    // Listed, then gone before it could be opened.
    DescribeRadios({{"A1", "K7USB", false}});
    EXPECT_EQ(receiver->OpenByIndex(0), nullptr);
    EXPECT_FALSE(receiver->IsDemo());
    EXPECT_FALSE(receiver->IsConnected());
    EXPECT_EQ(receiver->Start(), 0u);
}

TEST_F(CnxK740RXReceiverTest, AStandInForALostRadioTakesItBackOnceItIsPluggedInAgain) {
    DescribeRadios({{"A1"}});
    auto receiver = NewReceiver();
    ASSERT_NE(receiver->OpenBySerial("A1"), nullptr);
    receiver->SetPower(1, true);
    EXPECT_FALSE(receiver->IsStandingIn());
    EXPECT_FALSE(receiver->TakeBackRadio()) << "nothing to take back";

    DescribeRadios({{"A1", "K7USB", false}});
    ASSERT_TRUE(PumpUntil([&] { return !receiver->IsConnected(); }));
    receiver->Stop();
    receiver->StandInForLostRadio();
    EXPECT_TRUE(receiver->IsConnected());
    EXPECT_STREQ(receiver->GetCurrentRadioInfo().serial, "DEMO");
    EXPECT_TRUE(receiver->IsStandingIn());
    EXPECT_FALSE(receiver->TakeBackRadio());
    EXPECT_TRUE(receiver->IsDemo());

    DescribeRadios({{"A1"}});
    ASSERT_TRUE(PumpUntil([&] { return receiver->IsRadioBack(); }));
    ASSERT_TRUE(receiver->TakeBackRadio());
    EXPECT_FALSE(receiver->IsStandingIn());
    EXPECT_STREQ(receiver->GetCurrentRadioInfo().serial, "A1");
    EXPECT_TRUE(receiver->AreStreamsRunning()) << "the radio's stream runs again";
}
