#include "smeter/CnxSMeterBallistics.h"

#include <algorithm>
#include <cmath>

CnxSMeterBallistics::CnxSMeterBallistics(double level, Factors factors)
    : factors_(Bounded(factors)), target_(level), needle_(level), readout_(level), peak_(level) {}

CnxSMeterBallistics::Factors CnxSMeterBallistics::Bounded(Factors f) {
    const auto bound = [](double share) { return std::clamp(share, 0.01, 1.0); };
    return {bound(f.needleRise), bound(f.needleFall), bound(f.readout), bound(f.peakFall)};
}

void CnxSMeterBallistics::SetFactors(Factors factors) {
    factors_ = Bounded(factors);
}

void CnxSMeterBallistics::SetTarget(double level) {
    target_ = level;
}

void CnxSMeterBallistics::Settle() {
    needle_ = readout_ = peak_ = target_;
    peakHold_ = 0;
}

double CnxSMeterBallistics::Approach(double value, double target, double share) {
    const double next = value + share * (target - value);
    return std::fabs(target - next) < kSettleDb ? target : next;
}

bool CnxSMeterBallistics::Step() {
    needle_ =
        Approach(needle_, target_, target_ > needle_ ? factors_.needleRise : factors_.needleFall);
    readout_ = Approach(readout_, target_, factors_.readout);
    if (needle_ >= peak_) {
        peak_ = needle_;
        peakHold_ = kPeakHoldFrames;
    } else if (peakHold_ > 0) {
        --peakHold_;
    } else {
        peak_ = Approach(peak_, needle_, factors_.peakFall);
    }
    return IsMoving();
}

bool CnxSMeterBallistics::IsMoving() const {
    return needle_ != target_ || readout_ != target_ || peak_ != needle_;
}
