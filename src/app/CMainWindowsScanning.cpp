// Scanning: the scan of each receiver slot started, paused and stopped, and its measurements routed
// to the slot's graph. A slot's scan state lives in the scan run; the receiver sweeps on its own
// thread and reports every measurement by message.
#include "app/CMainWindows.h"
#include "app/CnxCtrlFrequency.h"
#include "app/CnxCtrlScanArea.h"
#include "audio/CSndAudioPath.h"
#include "audio/CSndWavePlayer.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "settings/CnxK740RXFileIniApp.h"

namespace {
constexpr int32_t kScanCalibrationMode = 3;
}  // namespace

bool CMainWindows::IsSelectedScanning() const {
    return scanRun_.IsScanning(GetSelectedReceiver());
}

void CMainWindows::ToggleScan() {
    const int selected = GetSelectedReceiver();
    if (CurrentReceiver() == nullptr || selected < 0 || settings_->Current().power == 0) {
        return;
    }
    if (scanRun_.IsActive(selected)) {
        StopScanning(selected);
    } else {
        StartScanning();
    }
}

void CMainWindows::StartScanning() {
    const int selected = GetSelectedReceiver();
    CnxK740RXReceiver* receiver = CurrentReceiver();
    if (receiver == nullptr || !scanRun_.Start(selected, GetCurrentFrequency())) {
        return;
    }
    if (calibrator_) {
        calibrator_->SetMode(kScanCalibrationMode);
    }
    UpdateControlsEnabled();
    slots_[selected].scanPosition = receiver->GetScanLower();
    ShowScanPosition(static_cast<int32_t>(receiver->GetScanLower()));
    scanArea_->StartPass(selected);
    receiver->SetScanStep(scanStep_, true);
    receiver->StartScan();
    if (player_) {
        player_->Stop();  // the scan hears nothing; its sound would be that of every channel
    }
    UpdateAudioState();
}

void CMainWindows::PauseScanning() {
    const int selected = GetSelectedReceiver();
    CnxK740RXReceiver* receiver = CurrentReceiver();
    if (receiver == nullptr || !scanRun_.Pause(selected)) {
        return;
    }
    receiver->PauseScan();
    if (calibrator_) {
        calibrator_->SetMode(kScanCalibrationMode);
    }
    UpdateControlsEnabled();
    UpdateAudioState();
    PlayReceiverSource();
    // The operator hears what the display shows: the radio goes back to the manual frequency.
    FrequencySet(selected, slots_[selected].frequency, true);
}

void CMainWindows::StopScanning(int index) {
    CnxK740RXReceiver* receiver = manager_ ? manager_->GetReceiver(index) : nullptr;
    if (receiver == nullptr) {
        return;
    }
    const bool wasPaused = scanRun_.IsPaused(index);
    const bool ended = scanRun_.Stop(index);
    if (wasPaused) {
        // A paused receiver no longer sweeps: only its scan position goes back to the start.
        receiver->SetScanFrequency(receiver->GetScanLower());
        receiver->ResetScanState();
    }
    receiver->StopScan();
    if (index == GetSelectedReceiver()) {
        if (calibrator_) {
            calibrator_->SetMode(kScanCalibrationMode);
        }
        UpdateControlsEnabled();
        UpdateAudioState();
        if (ended) {
            PlayReceiverSource();  // before the retune, which picks the demo sound where it plays
        }
    }
    if (ended) {
        // Back where the slot was before its scan, shown and tuned.
        FrequencySet(index, scanRun_.GetFrequencyBeforeScan(index), true);
    }
}

void CMainWindows::OnScanEnd(CnxK740RXReceiver* receiver) {
    // The end of a pass that was stopped by hand may arrive after a new scan has begun: only a
    // receiver that really stands still ends its slot's scan.
    const int index = IndexOf(receiver);
    if (index >= 0 && !receiver->IsScanning()) {
        StopScanning(index);
    }
}

void CMainWindows::OnScanLevel(CnxK740RXReceiver* receiver, const ScanSample& sample) {
    const int index = IndexOf(receiver);
    if (index < 0) {
        return;
    }
    receiver->AcknowledgeScanSample();
    if (!scanRun_.IsScanning(index)) {
        return;
    }
    slots_[index].scanPosition = sample.frequency;
    scanArea_->AddLevel(index, static_cast<double>(sample.frequency), sample.level);
}

void CMainWindows::ShowSweep() {
    // Shown at the level poll's pace rather than per sample: readable, and cheap at full speed.
    const int selected = GetSelectedReceiver();
    if (IsSelectedScanning() && slots_[selected].scanPosition != 0) {
        ShowScanPosition(static_cast<int32_t>(slots_[selected].scanPosition));
    }
}
