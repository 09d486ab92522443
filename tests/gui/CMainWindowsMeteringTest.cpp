// The S-meter and the calibration window as the operator uses them in demo mode.
#include <QDoubleSpinBox>
#include <QMessageBox>

#include "MainWindowFixture.h"
#include "receiver/CnxK740RXReceiverManagerButton.h"
#include "smeter/CnxK740RXDlgCalibration.h"

namespace {

class MainWindowMetering : public MainWindowTest {
protected:
    CnxCtrlSMeter& SelectedMeter() { return window_->Meter(Selected()); }
};

TEST_F(MainWindowMetering, TheCalibrationWindowShiftsTheShownLevelAndTheSettingsKeepIt) {
    Start();
    window_->Tuning().FrequencySet(0, 142750000);
    ASSERT_TRUE(PumpUntil([&] { return SelectedMeter().GetLevel() == -60.0; }));

    Switch("Cal")->click();
    CnxK740RXDlgCalibration* dialog = window_->Listening().CalibrationWindow();
    ASSERT_NE(dialog, nullptr);
    dialog->SetValue(2.5);  // as typed in its field
    ASSERT_TRUE(PumpUntil([&] { return window_->Settings().Current().sMeterCal == 25; }));
    EXPECT_EQ(SelectedMeter().GetLevel(), -57.5);
    PumpFor(400ms);  // the level poll keeps the offset
    EXPECT_EQ(SelectedMeter().GetLevel(), -57.5);

    // Closing the window asks the main window to let it go; the offset stays.
    dialog->reject();
    ASSERT_TRUE(PumpUntil([&] { return window_->Listening().CalibrationWindow() == nullptr; }));
    EXPECT_EQ(window_->Settings().Current().sMeterCal, 25);

    // Another receiver keeps its own offset.
    Key(Qt::Key_Tab, Qt::ControlModifier);
    window_->Tuning().FrequencySet(1, 142750000);
    ASSERT_TRUE(PumpUntil([&] { return SelectedMeter().GetLevel() == -60.0; }));
    EXPECT_EQ(window_->Settings().Receiver(0).sMeterCal, 25);
}

TEST_F(MainWindowMetering, QuickOffsetStepsAndAStepBeforeASwitchSettleOnOneOffsetPerReceiver) {
    Start();
    window_->Tuning().FrequencySet(0, 142750000);
    Switch("Cal")->click();
    CnxK740RXDlgCalibration* dialog = window_->Listening().CalibrationWindow();
    ASSERT_NE(dialog, nullptr);
    // Two steps up at once: the field and the settings agree on 0.2 dB, and stay there.
    SendKey(*dialog->Field(), Qt::Key_Up);
    SendKey(*dialog->Field(), Qt::Key_Up);
    PumpFor(300ms);
    EXPECT_EQ(window_->Settings().Receiver(0).sMeterCal, 2);
    EXPECT_EQ(dialog->Field()->text(), "0.2 dB");
    PumpFor(300ms);
    EXPECT_EQ(dialog->Field()->text(), "0.2 dB");
    EXPECT_EQ(window_->Settings().Receiver(0).sMeterCal, 2);

    // A step, then at once another receiver: the step stays with the first one, and the field
    // shows the second one's own offset.
    SendKey(*dialog->Field(), Qt::Key_Up);
    window_->ReceiverList().GetItemButton(1)->click();
    ASSERT_EQ(Selected(), 1);
    PumpFor(300ms);
    EXPECT_EQ(window_->Settings().Receiver(0).sMeterCal, 3);
    EXPECT_EQ(window_->Settings().Receiver(1).sMeterCal, 0);
    EXPECT_EQ(dialog->Field()->text(), "0.0 dB");
    dialog->reject();
}

TEST_F(MainWindowMetering, ARecordingThatCannotStartLeavesRecOffAndSaysWhy) {
    // A file where the recordings folder goes: no recording can start, root or not.
    Start();
    QFile obstacle(home_.path() + "/Documents/Quorvant/K740RX/Recordings");
    ASSERT_TRUE(obstacle.open(QIODevice::WriteOnly));
    obstacle.close();
    Switch("\u25CF Rec")->click();
    EXPECT_FALSE(Switch("\u25CF Rec")->isChecked());
    QMessageBox* box = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        const auto boxes = window_->findChildren<QMessageBox*>();
        box = boxes.isEmpty() ? nullptr : boxes.front();
        return box != nullptr && box->isVisible();
    }));
    EXPECT_EQ(box->windowTitle(), " Recording");
    EXPECT_TRUE(box->text().contains("/Recordings")) << box->text().toStdString();
    EXPECT_FALSE(box->isModal());
}

TEST_F(MainWindowMetering, TheMetersAttenuatorTextSwitchesTheAttenuator) {
    Start();
    window_->Tuning().FrequencySet(0, 162250000);
    ASSERT_TRUE(PumpUntil([&] { return SelectedMeter().GetLevel() == -80.0; }));
    SelectedMeter().AttenuatorButton()->click();
    EXPECT_TRUE(Switch("Atten")->isChecked());
    ASSERT_TRUE(PumpUntil([&] { return SelectedMeter().GetLevel() == -98.0; }));
    Switch("Atten")->click();
    EXPECT_EQ(SelectedMeter().AttenuatorButton()->text(), "ATTEN OFF");
}

}  // namespace
