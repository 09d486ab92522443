// The main window with the simulated driver library: start-up, tuning from the keyboard,
// receiver selection, lost and regained radios, and the settings written at the end.
#include "MainWindowFixture.h"

#include <QDir>
#include <cmath>

#include "app/CnxK740RXDlgDisconnected.h"
#include "app/CnxK740RXDlgRadioBack.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"

namespace {

TEST_F(MainWindowTest, KeyboardTunesSelectsAndTheSettingsKeepEachFrequency) {
    WriteRadios(true);
    Start();
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(window_->windowTitle(), "K740RX Sonobuoy Receiver# 1 - 4711001");

    EXPECT_EQ(Type("1m62.25"), 162250000);
    EXPECT_EQ(window_->Manager()->GetReceiver(0)->GetFrequency(), 162250000);
    EXPECT_EQ(window_->TuningPanel().BandDisplay().GetChannelText(), "Channel  1");
    EXPECT_TRUE(window_->TuningPanel().BandDisplay().IsOnChannel());
    EXPECT_EQ(window_->ReceiverList().GetItemFrequency(0), 162250000);

    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(window_->windowTitle(), "K740RX Sonobuoy Receiver# 2 - 4711002");

    // Channel mode moves a typed frequency onto the raster, and Page Up steps off it again.
    EXPECT_EQ(Type("142.8"), 142750000);
    // 10 kHz, snapped back in channel mode; then one knob step is one channel.
    EXPECT_EQ(Key(Qt::Key_PageUp, Qt::ShiftModifier), 142750000);
    EXPECT_EQ(Key(Qt::Key_Up), 143125000);

    Key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(Frequency(), 162250000);  // receiver 1 kept its own frequency

    window_.reset();  // shutdown writes the settings
    const QString ini = IniText();
    EXPECT_NE(ini.indexOf("Frequency=162250000"), -1);
    EXPECT_NE(ini.indexOf("Frequency=143125000"), -1);
}

TEST_F(MainWindowTest, FrequencySetClampsAndJumpsTheChannelGap) {
    WriteRadios(true);
    Start();
    EXPECT_EQ(Tune(173500001), 173500000);
    EXPECT_EQ(window_->TuningPanel().BandDisplay().GetChannelText(), "Channel  16");

    window_->Tuning().FrequencySet(0, 161125000);
    EXPECT_EQ(Tune(161500000), 162250000);        // into the gap going up
    EXPECT_EQ(Tune(161500000, true), 161125000);  // and going down

    // The Channel switch turns channel mode off: the frequency stays where it is put and the
    // knob steps 10 kHz.
    QPushButton* channelSwitch = Switch("Channel");
    ASSERT_NE(channelSwitch, nullptr);
    channelSwitch->click();
    EXPECT_FALSE(window_->Tuning().IsChannelMode());
    EXPECT_EQ(Tune(161312500), 161312500);
    EXPECT_EQ(window_->TuningPanel().BandDisplay().GetChannelText(), "Channel Undefined");
    EXPECT_EQ(Key(Qt::Key_Up), 161322500);
    // Back on, the frequency moves onto the raster at once: here into the gap from below, so
    // across it to channel 1.
    channelSwitch->click();
    EXPECT_EQ(Frequency(), 162250000);
}

TEST_F(MainWindowTest, LostRadioIsMarkedOfferedDemoAndComesBack) {
    // Markers a demo receiver in slot 1 kept from an earlier run without radios.
    const QString settingsFolder = home_.path() + "/Documents/Quorvant/K740RX";
    QDir().mkpath(settingsFolder);
    const QString markers = settingsFolder + "/Markers.txt";
    QFile kept(markers);
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("DEMO 1\t150000000\t#00ff00\tthe demo's own\n");
    kept.close();
    WriteRadios(true);
    Start();
    WriteRadios(false);
    ASSERT_TRUE(PumpUntil([&] { return window_->Slots().DisconnectionWindow(0) != nullptr; }));
    EXPECT_TRUE(window_->ReceiverList().GetItem(0)->alarm);
    EXPECT_EQ(window_->Slots().DisconnectionWindow(0)->Text(),
              "Receiver 1 no longer connected\nWaiting for reconnect");
    EXPECT_EQ(window_->Slots().DisconnectionWindow(0)->ButtonText(), "Demo");

    WriteRadios(true);
    ASSERT_TRUE(PumpUntil([&] { return window_->Slots().DisconnectionWindow(0) == nullptr; }));
    EXPECT_FALSE(window_->ReceiverList().GetItem(0)->alarm);

    // Lost again, and this time the operator carries on with a simulated receiver.
    WriteRadios(false);
    ASSERT_TRUE(PumpUntil([&] { return window_->Slots().DisconnectionWindow(0) != nullptr; }));
    const_cast<CnxK740RXDlgDisconnected*>(window_->Slots().DisconnectionWindow(0))->Press();
    ASSERT_TRUE(PumpUntil([&] { return window_->Slots().DisconnectionWindow(0) == nullptr; }));
    CnxK740RXReceiver* receiver = window_->Manager()->GetReceiver(0);
    EXPECT_TRUE(receiver->IsDemo());
    EXPECT_FALSE(window_->ReceiverList().GetItem(0)->alarm);
    EXPECT_EQ(window_->windowTitle(), "K740RX Sonobuoy Receiver# 1 - DEMO");

    // A marker set meanwhile belongs to the lost radio, and the demo slot's stay as they were.
    const QString file = home_.filePath("one.csv");
    QFile csv(file);
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("Frequency (Hz),Channel,Comment,Colour\n154000000,,while standing in,#00ff00\n");
    csv.close();
    ASSERT_TRUE(window_->ScannerPage(0).Graph().ImportMarkers(file));
    QFile saved(markers);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_TRUE(text.contains("4711001\t154000000\t#00ff00\twhile standing in\n")) << text.data();
    EXPECT_TRUE(text.contains("DEMO 1\t150000000\t#00ff00\tthe demo's own\n")) << text.data();

    // Plugged in again, the radio is offered back, and the operator takes it.
    WriteRadios(true);
    ASSERT_TRUE(PumpUntil([&] { return window_->Slots().RadioBackWindow(0) != nullptr; }));
    EXPECT_EQ(window_->Slots().RadioBackWindow(0)->Text(),
              "The radio of receiver 1 is connected again");
    EXPECT_TRUE(receiver->IsDemo()) << "not before the operator says so";
    window_->Slots().RadioBackWindow(0)->Press();
    ASSERT_TRUE(PumpUntil([&] { return window_->Slots().RadioBackWindow(0) == nullptr; }));
    EXPECT_FALSE(receiver->IsDemo());
    EXPECT_FALSE(window_->ReceiverList().GetItem(0)->demo);
    EXPECT_EQ(window_->windowTitle(), "K740RX Sonobuoy Receiver# 1 - 4711001");
}

TEST_F(MainWindowTest, EveryLostRadioIsShownAndTheSelectedOneHasNoStaleLevel) {
    WriteRadios(true, true);
    Start();
    ASSERT_TRUE(PumpUntil([&] { return !std::isnan(window_->Listening().GetLevel()); }));

    WriteRadios(false, false);
    ASSERT_TRUE(PumpUntil([&] {
        return window_->Slots().DisconnectionWindow(0) != nullptr &&
               window_->Slots().DisconnectionWindow(1) != nullptr;
    }));
    const QRect first = window_->Slots().DisconnectionWindow(0)->frameGeometry();
    const QRect second = window_->Slots().DisconnectionWindow(1)->frameGeometry();
    EXPECT_FALSE(first.intersects(second)) << "one window must not hide the other";
    EXPECT_EQ(window_->Slots().DisconnectionWindow(1)->Text(),
              "Receiver 2 no longer connected\nWaiting for reconnect");
    EXPECT_TRUE(window_->ReceiverList().GetItem(1)->alarm);

    // The selected receiver's S-meter shows no reading instead of its last one.
    PumpFor(400ms);  // level polls come and go
    EXPECT_TRUE(std::isnan(window_->Listening().GetLevel()));
    EXPECT_FALSE(window_->Meter(0).Model().HasReading()) << "no level, not the scale's bottom";

    // A window closed frees its place for the next lost receiver.
    WriteRadios(true, false);
    ASSERT_TRUE(PumpUntil([&] { return window_->Slots().DisconnectionWindow(0) == nullptr; }));
    ASSERT_TRUE(PumpUntil([&] { return !std::isnan(window_->Listening().GetLevel()); }));
    WriteRadios(false, false);
    ASSERT_TRUE(PumpUntil([&] { return window_->Slots().DisconnectionWindow(0) != nullptr; }));
    EXPECT_EQ(window_->Slots().DisconnectionWindow(0)->frameGeometry(), first);
}

TEST_F(MainWindowTest, EightScanningRadiosThatComeAndGoNeverLeaveTheWindowBehind) {
    // Eight radios, all scanning as fast as they can, while three of them are unplugged and
    // plugged in again and again: the window never holds its thread, so no sample overruns.
    const auto radios = [](int away) {
        QString text;
        for (int i = 0; i < 8; ++i) {
            text += QStringLiteral("[radio%1]\nserial = 47110%1\nconnected = %2\n")
                        .arg(i)
                        .arg(i >= 5 && i < 5 + away ? 0 : 1);
        }
        return text;
    };
    WriteSimulation(radios(0));
    g_optSettle1 = {true, 0};
    g_optSettle2 = {true, 0};
    Start();
    for (int slot = 0; slot < 8; ++slot) {
        window_->SelectReceiver(slot);
        Key(Qt::Key_Space);
        ASSERT_TRUE(window_->Scans().IsScanning(slot)) << slot;
    }
    for (int round = 0; round < 4; ++round) {
        WriteSimulation(radios(3));
        ASSERT_TRUE(PumpUntil([&] { return window_->Slots().DisconnectionWindow(7) != nullptr; }));
        WriteSimulation(radios(0));
        ASSERT_TRUE(PumpUntil([&] { return window_->Slots().IsConnected(7); }));
    }
    PumpFor(500ms);
    for (int slot = 0; slot < 8; ++slot) {
        EXPECT_EQ(window_->Manager()->GetReceiver(slot)->GetScanOverruns(), 0u) << slot;
    }
}

TEST_F(MainWindowTest, DemoModeDefersAnEarlyClose) {
    g_optITime = {true, 600000};  // the first ready poll would come ten minutes after start-up
    Start();
    // Closed before the receivers are reported ready: remembered, and carried out as soon as
    // they are, however long the poll period.
    window_->close();
    EXPECT_TRUE(window_->IsClosePending());
    EXPECT_TRUE(window_->isVisible());
    ASSERT_TRUE(PumpUntil([&] { return app_.IsQuitRequested(); }, 60s));
    EXPECT_TRUE(window_->IsReady());
    EXPECT_FALSE(window_->isVisible());

    EXPECT_EQ(window_->ReceiverList().GetCount(), 8);
    EXPECT_TRUE(window_->Manager()->IsDemoMode());
    EXPECT_TRUE(window_->ReceiverList().IsDemoNoteShown());
    // The level poll shows the simulated level of the tuned frequency.
    window_->Tuning().FrequencySet(0, 142750000);
    ASSERT_TRUE(PumpUntil([&] { return window_->Listening().GetLevel() == -60.0; }));
}

}  // namespace
