#include "app/CnxTuningController.h"

#include <algorithm>
#include <limits>

#include "app/InxScanStates.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "settings/K740RXSlots.h"
#include "tuning/CnxTuningRules.h"
#include "tuning/InxTuningView.h"

CnxTuningController::CnxTuningController(CnxK740RXFileIniApp& settings,
                                         CnxK740RX_ReceiverManager& receivers,
                                         CnxK740RXCalibratorSMeter* calibrator,
                                         const InxScanStates& scans, InxTuningView& view)
    : settings_(settings),
      receivers_(receivers),
      calibrator_(calibrator),
      scans_(scans),
      view_(view),
      knobStep_(CnxChannelPlan::kSpacing) {}

int CnxTuningController::Selected() const {
    return settings_.GetSelectedReceiver();
}

CnxK740RXReceiver* CnxTuningController::Receiver(int slot) const {
    return receivers_.GetReceiver(slot);
}

int32_t CnxTuningController::GetFrequency(int slot) const {
    return settings_.Receiver(slot).frequency;
}

int32_t CnxTuningController::GetUpperLimit(int slot) const {
    const CnxK740RXReceiver* receiver = Receiver(slot);
    return receiver != nullptr && receiver->IsExtendedRange() ? CnxChannelPlan::kExtendedUpperLimit
                                                              : CnxChannelPlan::kUpperLimit;
}

bool CnxTuningController::IsChannelMode() const {
    return settings_.Current().stepChannel != 0;
}

void CnxTuningController::SelectSlot(int slot) {
    view_.ShowLimits(CnxChannelPlan::kLowerLimit, GetUpperLimit(slot));
    const auto& stored = settings_.Receiver(slot);
    SetChannelMode(stored.stepChannel != 0, true);
    SetSlotAttenuator(slot, stored.atten != 0, true);
    SetRFAmplifier(true, true);
    FrequencySet(slot, stored.frequency, true);
}

void CnxTuningController::FrequencySet(int slot, int32_t frequency, bool force) {
    Set(slot, frequency, force, IsChannelMode());
}

void CnxTuningController::Set(int slot, int32_t frequency, bool force, bool onRaster) {
    if (slot < 0 || slot >= kK740RXSlotCount) {
        return;
    }
    auto& stored = settings_.Receiver(slot);
    if (frequency == stored.frequency && !force) {
        return;
    }
    const int32_t f = CnxTuningRules::Clamp(frequency, GetUpperLimit(slot));
    if (slot == Selected() && settings_.Current().power != 0) {
        TuneSelected(f, onRaster);
        return;
    }
    stored.frequency = f;
    Tune(slot);
    Show(slot);
}

void CnxTuningController::TuneSelected(int32_t frequency, bool onRaster) {
    const int slot = Selected();
    auto& stored = settings_.Receiver(slot);
    stored.frequency = onRaster ? CnxTuningRules::SnapToChannelRaster(frequency, stored.frequency,
                                                                      GetUpperLimit(slot))
                                : frequency;
    if (calibrator_ != nullptr) {
        calibrator_->SetFrequency(stored.frequency);
    }
    Tune(slot);
    if (!scans_.IsScanning(slot)) {
        OnSelectedTuned.Raise(this, stored.frequency);
    }
    Show(slot);
}

void CnxTuningController::Tune(int slot) {
    CnxK740RXReceiver* receiver = Receiver(slot);
    if (receiver == nullptr || scans_.IsScanning(slot)) {
        return;  // a sweep holds the radio; it goes to this frequency when the scan ends
    }
    auto& stored = settings_.Receiver(slot);
    receiver->SetFrequency(stored.frequency);
    if (const int32_t tuned = receiver->GetFrequency(); tuned != 0) {
        stored.frequency = tuned;
    }
}

void CnxTuningController::Show(int slot) {
    // Entry, list row, band and channel always tell of the same frequency, raster and all.
    OnSlotFrequencyChanged.Raise(this, slot);
    if (slot == Selected()) {
        view_.ShowFrequency(settings_.Receiver(slot).frequency);
    }
}

void CnxTuningController::TuneBy(int32_t delta) {
    const int64_t target = int64_t{GetFrequency(Selected())} + delta;
    FrequencySet(Selected(), int32_t(std::clamp<int64_t>(target, 0, INT32_MAX)));
}

void CnxTuningController::OnEntryFrequency(int32_t frequency) {
    FrequencySet(Selected(), frequency);
}

void CnxTuningController::OnEntrySpin(int32_t frequency) {
    // A spin step moves by exactly its step, even in channel mode.
    Set(Selected(), frequency, false, false);
}

void CnxTuningController::OnEntryRaster(int32_t frequency) {
    // A step on the raster lands on a channel whatever the mode.
    Set(Selected(), frequency, false, true);
}

void CnxTuningController::SetChannelMode(bool on, bool force) {
    settings_.Current().stepChannel = on ? 1 : 0;
    view_.ShowChannelMode(on);
    SetStep(on ? CnxChannelPlan::kSpacing : kFineStep, force);
    FrequencySet(Selected(), GetFrequency(Selected()), true);
}

void CnxTuningController::SetStep(int32_t step, bool force) {
    if (step == knobStep_ && !force) {
        return;
    }
    knobStep_ = step;
    view_.ShowKnobStep(step);
    OnChannelStepsChanged.Raise(this, step == CnxChannelPlan::kSpacing ? 1 : 0);
}

void CnxTuningController::SetAttenuator(bool on, bool force) {
    SetSlotAttenuator(Selected(), on, force);
}

void CnxTuningController::SetSlotAttenuator(int slot, bool on, bool force) {
    auto& stored = settings_.Receiver(slot);
    if (int32_t(on) == stored.atten && !force) {
        return;
    }
    stored.atten = on ? 1 : 0;
    if (CnxK740RXReceiver* receiver = Receiver(slot); receiver && !scans_.IsScanning(slot)) {
        receiver->SetAttenuator(on);
    }
    if (slot == Selected()) {
        view_.ShowAttenuator(on);
        OnAttenuatorChanged.Raise(this, on ? 1 : 0);
    }
}

void CnxTuningController::SetRFAmplifier(bool /*request*/, bool force) {
    view_.ShowRfAmplifier(true);
    if (settings_.Current().preamp == 1 && !force) {
        return;
    }
    settings_.Current().preamp = 1;
    if (CnxK740RXReceiver* receiver = Receiver(Selected());
        receiver && !scans_.IsScanning(Selected())) {
        receiver->SetRfAmplifier(true);
    }
}

void CnxTuningController::ScanStateChanged(int slot) {
    if (scans_.IsScanning(slot)) {
        ShowSweepPosition();
        return;
    }
    // What was set while the sweep held the radio reaches it now.
    if (CnxK740RXReceiver* receiver = Receiver(slot)) {
        receiver->SetAttenuator(settings_.Receiver(slot).atten != 0);
    }
    FrequencySet(slot, GetFrequency(slot), true);
}

void CnxTuningController::ShowSweepPosition() {
    const int slot = Selected();
    if (const auto position = scans_.GetSweepPosition(slot); position && scans_.IsScanning(slot)) {
        view_.ShowFrequency(int32_t(*position));
    }
}
