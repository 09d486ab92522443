// The main window with the simulated driver library: start-up, tuning from the keyboard,
// receiver selection, lost and regained radios, and the settings written at the end.
#include "MainWindowFixture.h"

#include <cmath>

#include "app/CnxK740RXDlgDisconnected.h"
#include "app/CnxK740RXDlgRadioBack.h"
#include "receiver/CnxK740RXCtrlReceiverManager.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "smeter/CnxCtrlSMeter.h"
#include "tuning/CnxCtrlFrequency.h"
#include "tuning/CnxCtrlFrequencyBand.h"

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
    EXPECT_EQ(Tune(100000000), 136000000);
    EXPECT_EQ(window_->TuningPanel().BandDisplay().GetChannelText(), "Channel  32");

    window_->Tuning().FrequencySet(0, 161125000);
    EXPECT_EQ(Tune(161500000), 162250000);        // into the gap going up
    EXPECT_EQ(Tune(161500000, true), 161125000);  // and going down
    EXPECT_EQ(window_->TuningPanel().BandDisplay().GetChannelText(), "Channel  99");

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
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(window_->windowTitle(), "K740RX Sonobuoy Receiver# 1 - DEMO");

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
    EXPECT_TRUE(window_->ReceiverList().GetItem(0)->alarm);
    EXPECT_TRUE(window_->ReceiverList().GetItem(1)->alarm);

    // The selected receiver's S-meter shows no reading instead of its last one.
    EXPECT_TRUE(std::isnan(window_->Listening().GetLevel()));
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
    EXPECT_EQ(window_->windowTitle(), "K740RX Sonobuoy Receiver# 1 - DEMO");
    EXPECT_TRUE(window_->ReceiverList().IsDemoNoteShown());
    // The level poll shows the simulated level of the tuned frequency.
    window_->Tuning().FrequencySet(0, 142750000);
    ASSERT_TRUE(PumpUntil([&] { return window_->Listening().GetLevel() == -60.0; }));
}

}  // namespace
