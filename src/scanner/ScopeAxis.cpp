#include "scanner/ScopeAxis.h"

#include <algorithm>
#include <cmath>

ScopeAxis::ScopeAxis(const QRect& plot, int firstVisible, int visibleCount)
    : plot_(plot),
      first_(firstVisible),
      visible_(std::max(1, visibleCount)),
      slot_(double(std::max(0, plot.width())) / visible_) {}

double ScopeAxis::SlotLeft(int index) const {
    return plot_.left() + (index - first_) * slot_;
}

QRect ScopeAxis::SlotRect(int index) const {
    // Whole pixels that the slot touches, so a repaint leaves no stale edge behind.
    const int left = int(std::floor(SlotLeft(index)));
    const int right = int(std::ceil(SlotLeft(index + 1)));
    return QRect(QPoint(left, plot_.top()), QPoint(right, plot_.bottom()));
}

double ScopeAxis::CentreX(double position) const {
    return plot_.left() + (position - first_ + 0.5) * slot_;
}

int ScopeAxis::IndexAt(double x) const {
    if (slot_ <= 0.0) {
        return first_;
    }
    const int offset = int(std::floor((x - plot_.left()) / slot_));
    return first_ + std::clamp(offset, 0, visible_ - 1);
}
