// Metering: the selected receiver's level on its S-meter every 150 ms, the user's calibration
// offset and the calibration window that sets it.
#include <limits>

#include "app/CMainWindows.h"
#include "receiver/CnxK740RXReceiver.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "smeter/CnxCtrlSMeter.h"
#include "smeter/CnxK740RXDlgCalibration.h"
#include "smeter/CnxSMeterLevelRules.h"

void CMainWindows::PollLevel() {
    CnxK740RXReceiver* current = CurrentReceiver();
    if (current == nullptr || IsSelectedScanning()) {
        return;  // a scanning receiver's meter holds its last reading
    }
    const bool live =
        current->GetPower() != 0 && current->IsDeviceConnected() && current->AreStreamsRunning();
    // A receiver that cannot be read shows no reading (NaN) rather than its last one.
    level_ = live || current->IsDemo() ? current->GetLevelDbm()
                                       : std::numeric_limits<double>::quiet_NaN();
    ShowLevel();
}

CnxCtrlSMeter* CMainWindows::SelectedMeter() const {
    const int selected = GetSelectedReceiver();
    return selected >= 0 ? slots_[selected].meter : nullptr;
}

void CMainWindows::ShowLevel() {
    CnxCtrlSMeter* meter = SelectedMeter();
    CnxK740RXReceiver* current = CurrentReceiver();
    if (meter == nullptr || current == nullptr) {
        return;
    }
    const auto& s = settings_->Current();
    meter->SetLevel(CnxSMeterLevelRules::ShownLevel(level_, s.sMeterCal, current->IsDemo(),
                                                    s.frequency, s.atten != 0));
}

void CMainWindows::SetSMeterCal(int32_t offset, bool force) {
    CnxCtrlSMeter* meter = SelectedMeter();
    const double shown = meter != nullptr ? meter->GetLevel() : CnxSMeterLevelRules::kNoMeterLevel;
    const auto reading =
        CnxSMeterLevelRules::ReadingToReshow(settings_->Current().sMeterCal, offset, force, shown);
    if (!reading) {
        return;
    }
    settings_->Current().sMeterCal = offset;
    if (CnxK740RXReceiver* current = CurrentReceiver()) {
        current->SetLevelCorrection(offset);
    }
    if (meter != nullptr) {
        meter->SetLevel(*reading + offset / 10.0);
    }
    if (calibration_) {
        calibration_->SetValue(offset / 10.0);
    }
}

void CMainWindows::OpenCalibrationWindow() {
    if (!calibration_) {
        calibration_ = std::make_unique<CnxK740RXDlgCalibration>(this, GetHandle());
        calibration_->SetValue(settings_->Current().sMeterCal / 10.0);
    }
    calibration_->show();
    calibration_->raise();
}

void CMainWindows::CloseCalibrationWindow() {
    calibration_.reset();
}
