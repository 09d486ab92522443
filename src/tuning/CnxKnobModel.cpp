#include "tuning/CnxKnobModel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Drag speeds that earn acceleration: a detent every 15 ms or less (about 2.8 turns a second) is a
// spin of the dial and multiplies the step by 100; one every 50 ms or less (just under a turn a
// second) is a brisk turn and multiplies it by 10. Slower drags step one plain step per detent.
constexpr double kVeryFastMsPerDetent = 15.0;
constexpr double kFastMsPerDetent = 50.0;

constexpr int kAltCode = 4;  // Alt held counts as this code: a tenth of the step

}  // namespace

CnxKnobModel::CnxKnobModel(void* sender) : sender_(sender ? sender : this) {}

int32_t CnxKnobModel::StepFor(int direction, int accelerationCode, bool altHeld) const {
    int64_t step = step_;
    if (!fixedStep_) {
        switch (altHeld ? kAltCode : accelerationCode) {
            case kVeryFast:
                step *= 100;
                break;
            case kFast:
                step *= 10;
                break;
            case kAltCode:
                step /= 10;
                break;
            default:
                break;
        }
    }
    // Symmetric bounds, so the step can be negated for either direction.
    step = std::clamp<int64_t>(step, -INT32_MAX, INT32_MAX);
    return static_cast<int32_t>(direction == kDirectionUp ? step : -step);
}

void CnxKnobModel::Turn(int direction, int accelerationCode, bool altHeld) {
    position_ += direction == kDirectionUp ? 1 : -1;
    FrequencyKnobChangeStep.Raise(sender_, StepFor(direction, accelerationCode, altHeld));
}

int CnxKnobModel::AccelerationCodeFor(double millisecondsPerDetent) {
    if (millisecondsPerDetent <= kVeryFastMsPerDetent) {
        return kVeryFast;
    }
    if (millisecondsPerDetent <= kFastMsPerDetent) {
        return kFast;
    }
    return kNoAcceleration;
}

void CnxKnobModel::BeginDrag(double angle, int64_t timeMs) {
    dragAngle_ = angle;
    dragTravel_ = 0;
    lastDetentMs_ = timeMs;
}

void CnxKnobModel::DragTo(double angle, int64_t timeMs, bool altHeld) {
    // The shorter way round from the last angle; clockwise (decreasing angle) counts positive.
    dragTravel_ += std::remainder(dragAngle_ - angle, 360.0);
    dragAngle_ = angle;
    const int detents = static_cast<int>(dragTravel_ / kDegreesPerDetent);
    if (detents == 0) {
        return;
    }
    dragTravel_ -= detents * kDegreesPerDetent;
    const int count = std::abs(detents);
    const int code = AccelerationCodeFor(static_cast<double>(timeMs - lastDetentMs_) / count);
    lastDetentMs_ = timeMs;
    for (int i = 0; i < count; ++i) {
        Turn(detents > 0 ? kDirectionUp : kDirectionDown, code, altHeld);
    }
}

void CnxKnobModel::Wheel(int angleDelta, bool altHeld) {
    wheelTravel_ += angleDelta;
    for (; wheelTravel_ >= kWheelNotch; wheelTravel_ -= kWheelNotch) {
        Turn(kDirectionUp, kNoAcceleration, altHeld);
    }
    for (; wheelTravel_ <= -kWheelNotch; wheelTravel_ += kWheelNotch) {
        Turn(kDirectionDown, kNoAcceleration, altHeld);
    }
}
