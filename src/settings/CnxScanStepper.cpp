#include "settings/CnxScanStepper.h"

#include <algorithm>

#include "settings/CnxChannelPlan.h"

using Plan = CnxChannelPlan;

CnxScanStepper::CnxScanStepper()
    : CnxScanStepper(Plan::kLowerLimit, Plan::kUpperLimit, Plan::kSpacing) {}

CnxScanStepper::CnxScanStepper(int64_t lower, int64_t upper, int64_t step)
    : lower_(lower), upper_(upper), step_(step) {
    if (!IsWalkable(lower, upper, step)) {
        return;
    }
    for (int64_t f = lower; f <= upper; f = Advance(f, step)) {
        points_.push_back(f);
    }
    lockedOut_.assign(points_.size(), false);
    Restart();
}

int CnxScanStepper::CountPoints(int64_t lower, int64_t upper, int64_t step) {
    if (lower < 0 || upper < lower || step <= 0) {
        return 0;
    }
    int count = 0;
    for (int64_t f = lower; f <= upper && count <= kMaxPoints; f = Advance(f, step)) {
        ++count;
    }
    return count;
}

bool CnxScanStepper::IsWalkable(int64_t lower, int64_t upper, int64_t step) {
    const int count = CountPoints(lower, upper, step);
    return count > 0 && count <= kMaxPoints;
}

bool CnxScanStepper::SameRange(const CnxScanStepper& other) const {
    return lower_ == other.lower_ && upper_ == other.upper_ && step_ == other.step_;
}

int64_t CnxScanStepper::GetPointFrequency(int index) const {
    return index >= 0 && index < GetPointCount() ? points_[static_cast<size_t>(index)] : 0;
}

int CnxScanStepper::IndexOf(int64_t frequency) const {
    const auto it = std::lower_bound(points_.begin(), points_.end(), frequency);
    return it != points_.end() && *it == frequency ? static_cast<int>(it - points_.begin()) : -1;
}

int64_t CnxScanStepper::Advance(int64_t frequency, int64_t step) {
    int64_t next = frequency + step;
    // Landing where the low band has ended but the high band not yet begun jumps over the gap.
    if (next >= Plan::kLowBandLast + step && next < Plan::kHighBandFirst) {
        next += Plan::kGapJump;
    }
    return next;
}

void CnxScanStepper::SetLockedOut(const std::vector<int>& points) {
    std::fill(lockedOut_.begin(), lockedOut_.end(), false);
    for (const int point : points) {
        if (point >= 0 && point < GetPointCount()) {
            lockedOut_[static_cast<size_t>(point)] = true;
        }
    }
    Restart();
}

bool CnxScanStepper::IsLockedOut(int point) const {
    return point >= 0 && point < GetPointCount() && lockedOut_[static_cast<size_t>(point)];
}

int CnxScanStepper::GetWalkedCount() const {
    return static_cast<int>(std::count(lockedOut_.begin(), lockedOut_.end(), false));
}

void CnxScanStepper::SetPriority(int point, int every) {
    priority_ = point >= 0 && point < GetPointCount() ? point : -1;
    priorityEvery_ = std::max(every, 1);
    Restart();
}

int CnxScanStepper::FirstWalked() const {
    return NextWalked(-1);
}

int CnxScanStepper::NextWalked(int after) const {
    for (int i = after + 1; i < GetPointCount(); ++i) {
        if (!lockedOut_[static_cast<size_t>(i)]) {
            return i;
        }
    }
    return -1;
}

bool CnxScanStepper::PriorityDue(const Cursor& cursor) const {
    // A priority point that is locked out is not measured either.
    return priority_ >= 0 && !IsLockedOut(priority_) && cursor.point != priority_ &&
           cursor.sincePriority >= priorityEvery_;
}

void CnxScanStepper::Restart() {
    const int first = std::max(FirstWalked(), 0);
    current_ = Cursor{first, 0, first, first == priority_ ? 0 : 1};
}

bool CnxScanStepper::Next(bool loop) {
    if (!IsValid() || GetWalkedCount() == 0) {
        return false;
    }
    Cursor next = current_;
    if (PriorityDue(next)) {
        next.point = priority_;
        next.sincePriority = 0;
        current_ = next;
        return true;
    }
    int regular = NextWalked(next.regular);
    if (regular < 0) {
        if (!loop) {
            return false;
        }
        regular = FirstWalked();
        ++next.sweep;
    }
    next.regular = next.point = regular;
    next.sincePriority = regular == priority_ ? 0 : next.sincePriority + 1;
    current_ = next;
    return true;
}
