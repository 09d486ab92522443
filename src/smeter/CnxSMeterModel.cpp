#include "smeter/CnxSMeterModel.h"

CnxSMeterModel::CnxSMeterModel(void* sender) : sender_(sender) {}

void CnxSMeterModel::SetLevel(double dbm) {
    if (std::isnan(dbm)) {
        level_ = dbm;  // no reading is no level: nothing to open or close the squelch with
        return;
    }
    if (!squelchDefeat_) {
        if (dbm >= squelchThreshold_) {
            const bool wasSquelched = squelched_;
            squelched_ = false;
            if (wasSquelched) {
                OnSquelchChanged.Raise(sender_, 0);
            }
        } else {
            squelched_ = true;
            OnSquelchChanged.Raise(sender_, 1);
        }
    }
    level_ = CnxSMeterScale::Clamp(dbm);
}

CnxSMeterModel::Status CnxSMeterModel::AttenuatorStatus() const {
    return attenuator_ ? Status{"ATTEN ON", Tone::kAlert} : Status{"ATTEN OFF", Tone::kNormal};
}

void CnxSMeterModel::UpdateModeStatus(Status& status, const char* name, int32_t mode) {
    static constexpr const char* kSpeeds[] = {"OFF", "OFF", "SLOW", "MED", "FAST"};
    if (mode < 0 || mode > 4) {
        return;
    }
    status = {std::string(name) + " " + kSpeeds[mode], mode <= 1 ? Tone::kAlert : Tone::kNormal};
}

void CnxSMeterModel::SetAGCMode(int32_t mode) {
    agcMode_ = mode;
    UpdateModeStatus(agcStatus_, "AGC", mode);
}

void CnxSMeterModel::SetAVCMode(int32_t mode) {
    avcMode_ = mode;
    UpdateModeStatus(avcStatus_, "AVC", mode);
}

int32_t CnxSMeterModel::NextClickMode(int32_t mode) {
    const int64_t next = ((int64_t{mode} + 1) % 5 + 5) % 5;
    return next == 0 ? 1 : int32_t(next);
}

void CnxSMeterModel::ClickAttenuator() {
    SetAttenuator(!attenuator_);
    OnAttenuatorClicked.Raise(sender_, attenuator_ ? 1 : 0);
}

void CnxSMeterModel::ClickAGC() {
    SetAGCMode(NextClickMode(agcMode_));
    OnAGCClicked.Raise(sender_, agcMode_ - 1);
}

void CnxSMeterModel::ClickAVC() {
    SetAVCMode(NextClickMode(avcMode_));
    OnAVCClicked.Raise(sender_, avcMode_);
}
