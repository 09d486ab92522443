#include "settings/CnxScanStepper.h"

#include <algorithm>

#include "settings/CnxChannelPlan.h"

using Plan = CnxChannelPlan;

namespace {

// Where a step must land to be carried the gap's width (750 kHz) further, over the gap between the
// bands. At the channel step or coarser: anywhere past the last low channel by a step and short of
// the first high one, which on the channel raster skips its two points in the gap. Finer steps
// would land there again after the jump; for them the window is the gap between the last low
// channel's window and the first high one's, so the walk keeps its grid and walks every channel.
struct GapWindow {
    int64_t from;
    int64_t to;  // exclusive
};

GapWindow GapWindowFor(int64_t step) {
    if (step < Plan::kSpacing) {
        return {Plan::kGapLow, Plan::kGapHigh};
    }
    return {Plan::kLowBandLast + step, Plan::kHighBandFirst};
}

}  // namespace

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
    // The points are lower + k * step until the first that reaches the gap window; that one, when
    // it lands inside the window, and all after it lie the gap's width further on.
    const GapWindow gap = GapWindowFor(step);
    const int64_t toGap = lower < gap.from ? (gap.from - lower + step - 1) / step : 1;
    const int64_t landing = lower + toGap * step;
    int64_t count = 0;
    if (landing >= gap.to) {
        count = (upper - lower) / step + 1;
    } else {
        count = std::min(toGap, (upper - lower) / step + 1);
        const int64_t beyond = landing + Plan::kGapJump;
        if (beyond <= upper) {
            count += (upper - beyond) / step + 1;
        }
    }
    return static_cast<int>(std::min<int64_t>(count, kMaxPoints + 1));
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
    const int64_t next = frequency + step;
    const GapWindow gap = GapWindowFor(step);
    return next >= gap.from && next < gap.to ? next + Plan::kGapJump : next;
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
