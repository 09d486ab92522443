// Tuning faults an operator met: the radio left where the display does not say, one receiver's
// limits tuning another, stale channel read-outs, lost wheel motion, and keys taken from controls
// that use them themselves.
#include <QLineEdit>
#include <QTest>

#include "MainWindowFixture.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "settings/CnxChannelPlan.h"

namespace {

class MainWindowTuning : public MainWindowTest {
protected:
    CnxK740RXReceiver& Receiver(int index) { return *window_->Manager()->GetReceiver(index); }

    // The channel read-out belongs to the frequency the entry shows.
    void ExpectChannelOfTheShownFrequency() {
        const int32_t shown = window_->TuningPanel().Entry().Model().Frequency();
        EXPECT_EQ(window_->TuningPanel().BandDisplay().GetChannelText().toStdString(),
                  CnxChannelPlan::ChannelText(shown))
            << "shown " << shown;
    }

    void ScanFor(std::chrono::milliseconds duration) {
        Key(Qt::Key_Space);
        ASSERT_TRUE(window_->Scans().IsScanning(Selected()));
        PumpFor(duration);
    }
};

TEST_F(MainWindowTuning, AfterAScanTheRadioIsWhereTheDisplaySaysEvenWhenTunedMeanwhile) {
    WriteRadios(true);
    Start();
    window_->Tuning().FrequencySet(0, 142750000);
    ScanFor(300ms);
    Key(Qt::Key_Space);  // stop
    EXPECT_FALSE(window_->Scans().IsScanActive(0));
    EXPECT_EQ(Frequency(), 142750000);
    EXPECT_EQ(Receiver(0).GetFrequency(), 142750000);
    EXPECT_EQ(window_->TuningPanel().Entry().Model().Frequency(), 142750000);

    // Keys tune during a scan too: the slot goes to the new frequency when the scan ends.
    ScanFor(100ms);
    Key(Qt::Key_Up);
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(Key(Qt::Key_Space), 143500000);  // +375 kHz, +500 kHz onto the raster
    EXPECT_EQ(Receiver(0).GetFrequency(), 143500000);
}

TEST_F(MainWindowTuning, AStandardReceiverSelectedAfterAnExtendedOneKeepsItsFrequency) {
    WriteSimulation(
        "[radio0]\nserial = 4711001\nproduct = K7USB-A\nextended = 1\n"
        "[radio1]\nserial = 4711002\nproduct = K7PCI-B\n");
    Start();
    Key(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(Type("150.25"), 150250000);
    Key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(Type("200"), 200125000);  // channel raster above the band too

    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(Selected(), 1);
    EXPECT_EQ(Frequency(), 150250000);
    EXPECT_EQ(Receiver(1).GetFrequency(), 150250000);
    EXPECT_EQ(window_->Settings().Receiver(1).frequency, 150250000);
    EXPECT_EQ(window_->TuningPanel().Entry().Model().Frequency(), 150250000);
    EXPECT_EQ(Receiver(0).GetFrequency(), 200125000);
}

TEST_F(MainWindowTuning, SwitchingAwayFromAScanAndBackShowsOneFrequencyEverywhere) {
    WriteRadios(true);
    Start();
    window_->Tuning().FrequencySet(0, 162765000);
    ScanFor(200ms);
    ExpectChannelOfTheShownFrequency();  // the sweep's position, frequency and channel together
    Key(Qt::Key_Tab, Qt::ControlModifier);
    window_->Tuning().FrequencySet(1, 136000000);
    ExpectChannelOfTheShownFrequency();
    Key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    ExpectChannelOfTheShownFrequency();
    PumpFor(400ms);
    ExpectChannelOfTheShownFrequency();
    Key(Qt::Key_Space);
}

TEST_F(MainWindowTuning, KeysAControlUsesItselfStayWithItAndWheelMotionAddsUp) {
    WriteRadios(true);
    Start();
    window_->Tuning().FrequencySet(0, 150250000);
    QPushButton* atten = Switch("Atten");
    atten->setFocus();
    Key(Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_TRUE(atten->isChecked());
    EXPECT_FALSE(window_->Scans().IsScanActive(0));

    auto* field = new QLineEdit(window_.get());
    field->show();
    field->setFocus();
    Key(Qt::Key_5, Qt::NoModifier, "5");
    EXPECT_EQ(field->text(), "5");
    EXPECT_FALSE(window_->TuningPanel().Entry().Model().IsEditing());

    // Keys the read-out does not use go on to the window's table; a click on a switch leaves
    // the focus with the read-out.
    window_->TuningPanel().Entry().setFocus();
    QTest::mouseClick(Switch("Monitor"), Qt::LeftButton);
    EXPECT_EQ(Key(Qt::Key_Up), 150625000);

    // Wheel motion in parts of a notch, as touchpads send, adds up; Alt tunes finely.
    Switch("Channel")->click();  // 10 kHz steps
    window_->Tuning().FrequencySet(0, 150000000);
    for (int i = 0; i < 3; ++i) {
        SendWheel(*window_, 40);
    }
    EXPECT_EQ(Frequency(), 150010000);
    SendWheel(*window_, -120, Qt::AltModifier);
    EXPECT_EQ(Frequency(), 150009000);
}

}  // namespace
