// The S-meter and the calibration window as the operator uses them in demo mode.
#include <QPushButton>

#include "MainWindowFixture.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "smeter/CnxCtrlSMeter.h"
#include "smeter/CnxK740RXDlgCalibration.h"

namespace {

class MainWindowMetering : public MainWindowTest {
protected:
    CnxCtrlSMeter& SelectedMeter() { return *window_->Meter(window_->GetSelectedReceiver()); }
};

TEST_F(MainWindowMetering, TheCalibrationWindowShiftsTheShownLevelAndTheSettingsKeepIt) {
    Start();
    window_->FrequencySet(0, 142750000);
    ASSERT_TRUE(PumpUntil([&] { return SelectedMeter().GetLevel() == -60.0; }));

    Switch("Cal")->click();
    CnxK740RXDlgCalibration* dialog = window_->CalibrationWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetValue(), 0.0);
    dialog->SetValue(2.5);  // as typed in its field
    ASSERT_TRUE(PumpUntil([&] { return window_->Settings().Current().sMeterCal == 25; }));
    EXPECT_EQ(SelectedMeter().GetLevel(), -57.5);
    PumpFor(400ms);  // the level poll keeps the offset
    EXPECT_EQ(SelectedMeter().GetLevel(), -57.5);

    // Closing the window asks the main window to let it go; the offset stays.
    dialog->reject();
    ASSERT_TRUE(PumpUntil([&] { return window_->CalibrationWindow() == nullptr; }));
    EXPECT_EQ(window_->Settings().Current().sMeterCal, 25);

    // Another receiver keeps its own offset.
    Key(Qt::Key_Tab, Qt::ControlModifier);
    window_->FrequencySet(1, 142750000);
    ASSERT_TRUE(PumpUntil([&] { return SelectedMeter().GetLevel() == -60.0; }));
    EXPECT_EQ(window_->Settings().Receiver(0).sMeterCal, 25);
}

TEST_F(MainWindowMetering, TheMetersAttenuatorTextSwitchesTheAttenuator) {
    Start();
    window_->FrequencySet(0, 162250000);
    ASSERT_TRUE(PumpUntil([&] { return SelectedMeter().GetLevel() == -80.0; }));
    SelectedMeter().AttenuatorButton()->click();
    EXPECT_TRUE(Switch("Atten")->isChecked());
    ASSERT_TRUE(PumpUntil([&] { return SelectedMeter().GetLevel() == -98.0; }));
    Switch("Atten")->click();
    EXPECT_EQ(SelectedMeter().AttenuatorButton()->text(), "ATTEN OFF");
}

}  // namespace
