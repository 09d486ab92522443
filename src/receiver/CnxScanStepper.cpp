#include "receiver/CnxScanStepper.h"

#include "settings/CnxChannelPlan.h"

using Plan = CnxChannelPlan;

CnxScanStepper::CnxScanStepper()
    : CnxScanStepper(Plan::kLowerLimit, Plan::kUpperLimit, Plan::kSpacing) {}

CnxScanStepper::CnxScanStepper(int64_t lower, int64_t upper, int64_t step)
    : lower_(lower), upper_(upper), step_(step), current_(lower), previous_(lower) {
    if (lower < 0 || upper < lower || step <= 0) {
        return;
    }
    for (int64_t f = lower; f <= upper && points_.size() < kMaxPoints; f = Advance(f, step)) {
        points_.push_back(f);
    }
}

bool CnxScanStepper::SameRange(const CnxScanStepper& other) const {
    return lower_ == other.lower_ && upper_ == other.upper_ && step_ == other.step_;
}

int64_t CnxScanStepper::GetPointFrequency(int index) const {
    return index >= 0 && index < GetPointCount() ? points_[static_cast<size_t>(index)] : 0;
}

int64_t CnxScanStepper::Advance(int64_t frequency, int64_t step) {
    int64_t next = frequency + step;
    // Landing where the low band has ended but the high band not yet begun jumps over the gap.
    if (next >= Plan::kLowBandLast + step && next < Plan::kHighBandFirst) {
        next += Plan::kGapJump;
    }
    return next;
}

void CnxScanStepper::Restart() {
    current_ = lower_;
    previous_ = lower_;
    wrapped_ = false;
}

bool CnxScanStepper::Next(bool loop) {
    previous_ = current_;
    current_ = Advance(current_, step_);
    if (wrapped_) {
        wrapped_ = false;
        return loop;
    }
    if (current_ > upper_) {
        current_ = lower_;
        wrapped_ = true;
    }
    return true;
}
