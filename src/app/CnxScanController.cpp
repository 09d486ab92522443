#include "app/CnxScanController.h"

#include <algorithm>

#include "calibration/CnxK740RXCalibratorSMeter.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "receiver/K740RXReceiverMessages.h"
#include "scanner/InxScanView.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "settings/CnxScanStepper.h"
#include "settings/SnxScanPlan.h"

namespace {
constexpr int32_t kScanCalibrationMode = 3;
}  // namespace

CnxScanController::CnxScanController(CnxK740RXFileIniApp& settings,
                                     CnxK740RX_ReceiverManager& receivers,
                                     CnxK740RXCalibratorSMeter* calibrator)
    : settings_(settings), receivers_(receivers), calibrator_(calibrator) {}

void CnxScanController::SetView(int slot, InxScanView* view) {
    if (!IsSlot(slot)) {
        return;
    }
    slots_[slot].view = view;
    if (view != nullptr) {
        view->ShowLoop(settings_.Receiver(slot).loop != 0);
        view->ShowWalk(Walk(slot));
        ShowPlan(slot);
        Show(slot);
    }
}

InxScanStates::State CnxScanController::GetScanState(int slot) const {
    return IsSlot(slot) ? slots_[slot].state : State::kStopped;
}

std::optional<int64_t> CnxScanController::GetSweepPosition(int slot) const {
    const CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot);
    if (!IsScanActive(slot) || receiver == nullptr) {
        return std::nullopt;
    }
    return receiver->GetScanPointFrequency(std::max(slots_[slot].lastPoint, 0));
}

const SnxScanPlan& CnxScanController::GetPlan(int slot) const {
    return settings_.Receiver(slot).scan;
}

CnxScanStepper CnxScanController::Walk(int slot) const {
    return GetPlan(slot).Walk();
}

void CnxScanController::SetPlan(int slot, const SnxScanPlan& plan) {
    const SnxScanPlan checked = plan.Checked();
    if (!IsSlot(slot) || checked == GetPlan(slot)) {
        return;
    }
    settings_.Receiver(slot).scan = checked;
    PlanChanged(slot);
}

bool CnxScanController::SetScanStep(int slot, int32_t step) {
    if (!IsSlot(slot)) {
        return false;
    }
    SnxScanPlan plan = GetPlan(slot);
    if (!CnxScanStepper::IsWalkable(plan.lower, plan.upper, step)) {
        return false;
    }
    plan.step = step;
    SetPlan(slot, plan);
    return true;
}

int32_t CnxScanController::GetScanStep(int slot) const {
    return GetPlan(slot).step;
}

void CnxScanController::SetLockedOut(int slot, int channel, bool lockedOut) {
    SnxScanPlan plan = GetPlan(slot);
    plan.SetLockedOut(channel, lockedOut);
    SetPlan(slot, plan);
}

void CnxScanController::UnlockAll(int slot) {
    SnxScanPlan plan = GetPlan(slot);
    plan.lockout.clear();
    SetPlan(slot, plan);
}

void CnxScanController::ShowPlan(int slot) {
    if (IsSlot(slot) && slots_[slot].view != nullptr) {
        slots_[slot].view->ShowPlan(GetPlan(slot), settings_.Receiver(slot).stepChannel != 0);
    }
}

void CnxScanController::PlanChanged(int slot) {
    Slot& s = slots_[slot];
    ShowPlan(slot);
    switch (s.state) {
        case State::kStopped:
            if (s.view != nullptr) {
                s.view->ShowWalk(Walk(slot));
            }
            break;
        case State::kPaused:
            // The held run walks the old points: the graph takes none of its samples any more
            // and shows the new points now.
            s.planChanged = true;
            s.run = 0;
            Show(slot);
            if (s.view != nullptr) {
                s.view->ShowWalk(Walk(slot));
            }
            break;
        case State::kScanning:
            if (CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot)) {
                receiver->StopScan();
                s.run = 0;
                Show(slot);  // the graph lets go of the run before it takes the new points
                BeginRun(slot, *receiver);
                Show(slot);
            }
            break;
    }
}

void CnxScanController::Command(int slot, int32_t mode) {
    if (slot != settings_.GetSelectedReceiver()) {
        return;
    }
    switch (mode) {
        case InxScanView::kModeScan:
            Start(slot);
            break;
        case InxScanView::kModePause:
            Pause(slot);
            break;
        case InxScanView::kModeStop:
            Stop(slot);
            break;
        default:
            break;
    }
}

void CnxScanController::Toggle() {
    const int slot = settings_.GetSelectedReceiver();
    if (settings_.Current().power == 0) {
        return;
    }
    if (IsScanActive(slot)) {
        Stop(slot);
    } else {
        Start(slot);
    }
}

void CnxScanController::Start(int slot) {
    CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot);
    Slot& s = slots_[slot];
    if (receiver == nullptr || s.state == State::kScanning) {
        return;
    }
    if (s.state == State::kPaused && s.planChanged) {
        receiver->StopScan();
        s.state = State::kStopped;
    }
    if (s.state == State::kStopped) {
        BeginRun(slot, *receiver);
    } else {
        s.run = receiver->StartScan();
        s.state = State::kScanning;
    }
    Changed(slot);
}

void CnxScanController::BeginRun(int slot, CnxK740RXReceiver& receiver) {
    Slot& s = slots_[slot];
    // The receiver walks exactly the points the graph lays out.
    const CnxScanStepper walk = Walk(slot);
    if (s.view != nullptr) {
        s.view->ShowWalk(walk);
    }
    receiver.SetScanWalk(walk);
    s.lastPoint = -1;
    s.planChanged = false;
    s.run = receiver.StartScan();
    s.state = State::kScanning;
}

void CnxScanController::Pause(int slot) {
    CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot);
    Slot& s = slots_[slot];
    if (receiver == nullptr || s.state != State::kScanning) {
        return;
    }
    receiver->PauseScan();
    s.state = State::kPaused;
    Changed(slot);
}

void CnxScanController::Stop(int slot) {
    CnxK740RXReceiver* receiver = IsSlot(slot) ? receivers_.GetReceiver(slot) : nullptr;
    if (receiver == nullptr) {
        return;
    }
    Slot& s = slots_[slot];
    if (s.state == State::kStopped) {
        Show(slot);  // the buttons go back to what holds
        return;
    }
    receiver->StopScan();
    s.state = State::kStopped;
    s.run = 0;  // whatever of the run is still on its way is dropped
    s.planChanged = false;
    Changed(slot);
}

void CnxScanController::SetLoop(int slot, bool loop) {
    if (!IsSlot(slot)) {
        return;
    }
    settings_.Receiver(slot).loop = loop ? 1 : 0;
    if (CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot)) {
        receiver->SetScanLoop(loop);
    }
    if (InxScanView* view = slots_[slot].view) {
        view->ShowLoop(loop);
    }
}

void CnxScanController::ScrollBy(int slot, int points) {
    if (IsSlot(slot) && slots_[slot].view != nullptr) {
        slots_[slot].view->ScrollBy(points);
    }
}

bool CnxScanController::OnScanLevel(CnxK740RXReceiver* receiver, const ScanSample& sample) {
    const int slot = SlotOf(receiver);
    if (slot < 0) {
        return false;
    }
    receiver->AcknowledgeScanSample();
    Slot& s = slots_[slot];
    if (s.state == State::kStopped || sample.run != s.run) {
        return false;
    }
    if (s.view == nullptr || s.view->ShowSample(sample)) {
        s.lastPoint = sample.point;
    }
    return true;
}

std::optional<ScanSample> CnxScanController::OnScanMessage(const TmyMessage& m) {
    auto* receiver = reinterpret_cast<CnxK740RXReceiver*>(m.wParam);
    if (m.message == WM_RCV_SCAN_LEVEL) {
        if (const auto sample = ScanSample::Unpack(WPARAM(m.lParam));
            OnScanLevel(receiver, sample)) {
            return sample;
        }
    } else if (m.message == WM_RCV_SCAN_END) {
        OnScanEnd(receiver, uint16_t(m.lParam));
    }
    return std::nullopt;
}

void CnxScanController::OnScanEnd(CnxK740RXReceiver* receiver, uint16_t run) {
    // The end of a run that was stopped by hand may come after a new one has begun: only the
    // slot's own run ends its scan.
    const int slot = SlotOf(receiver);
    if (slot >= 0 && slots_[slot].state != State::kStopped && slots_[slot].run == run) {
        Stop(slot);
    }
}

void CnxScanController::Show(int slot) {
    const Slot& s = slots_[slot];
    if (s.view == nullptr) {
        return;
    }
    const int32_t mode = s.state == State::kScanning ? InxScanView::kModeScan
                         : s.state == State::kPaused ? InxScanView::kModePause
                                                     : InxScanView::kModeStop;
    s.view->ShowScan(mode, s.run);
}

void CnxScanController::Changed(int slot) {
    if (calibrator_ != nullptr && slot == settings_.GetSelectedReceiver()) {
        calibrator_->SetMode(kScanCalibrationMode);
    }
    Show(slot);
    OnStateChanged.Raise(this, slot);
}

int CnxScanController::SlotOf(const CnxK740RXReceiver* receiver) const {
    for (int slot = 0; receiver != nullptr && slot < kK740RXSlotCount; ++slot) {
        if (receivers_.GetReceiver(slot) == receiver) {
            return slot;
        }
    }
    return -1;
}
