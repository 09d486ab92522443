#include "scanner/CnxScanRun.h"

CnxScanRun::State CnxScanRun::GetState(int slot) const {
    return IsSlot(slot) ? slots_[slot].state : State::kStopped;
}

bool CnxScanRun::Start(int slot, int32_t tuned) {
    if (!IsSlot(slot) || slots_[slot].state == State::kScanning) {
        return false;
    }
    if (slots_[slot].state == State::kStopped) {
        slots_[slot].frequencyBeforeScan = tuned;
    }
    slots_[slot].state = State::kScanning;
    return true;
}

bool CnxScanRun::Pause(int slot) {
    if (!IsScanning(slot)) {
        return false;
    }
    slots_[slot].state = State::kPaused;
    return true;
}

bool CnxScanRun::Stop(int slot) {
    if (!IsActive(slot)) {
        return false;
    }
    slots_[slot].state = State::kStopped;
    return true;
}

int32_t CnxScanRun::GetFrequencyBeforeScan(int slot) const {
    return IsSlot(slot) ? slots_[slot].frequencyBeforeScan : 0;
}

void CnxScanRun::SetFrequencyBeforeScan(int slot, int32_t frequency) {
    if (IsActive(slot)) {
        slots_[slot].frequencyBeforeScan = frequency;
    }
}
