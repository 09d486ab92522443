#pragma once
// The tuning knob apart from its window: the step rule, and the turning gestures (drag around the
// dial, wheel notches) reduced to detents with an acceleration code.
#include <cstdint>

#include "core/TmyEvents.h"

class CnxKnobModel {
public:
    static constexpr int kDirectionUp = 1;
    static constexpr int kDirectionDown = 0;
    static constexpr int kNoAcceleration = 0;
    static constexpr int kVeryFast = 1;  // step × 100
    static constexpr int kFast = 2;      // step × 10
    static constexpr double kDegreesPerDetent = 15.0;
    static constexpr int kWheelNotch = 120;  // angle delta of one wheel notch (eighths of a degree)

    // `sender` is what the event reports as its sender (the owning control); null means this.
    explicit CnxKnobModel(void* sender = nullptr);

    // Payload: the signed step in Hz.
    TmyEventList<int32_t> FrequencyKnobChangeStep;

    void SetStep(int32_t step) { step_ = step; }
    int32_t GetStep() const { return step_; }
    void SetFixedStep(bool fixed) { fixedStep_ = fixed; }
    bool IsFixedStep() const { return fixedStep_; }

    // The signed step one detent produces.
    int32_t StepFor(int direction, int accelerationCode, bool altHeld) const;
    void Turn(int direction, int accelerationCode, bool altHeld);
    // Detents turned so far, clockwise positive; the dial draws its mark from it.
    int Position() const { return position_; }

    // Which code a drag earns from the time between its detents.
    static int AccelerationCodeFor(double millisecondsPerDetent);

    // Dragging: angles in degrees, counter-clockwise positive as in mathematics; turning clockwise
    // tunes up. Times in milliseconds from any fixed origin.
    void BeginDrag(double angle, int64_t timeMs);
    void DragTo(double angle, int64_t timeMs, bool altHeld);

    // One detent per notch of accumulated wheel motion, up for positive motion.
    void Wheel(int angleDelta, bool altHeld);

private:
    void* sender_;
    int32_t step_ = 10000;
    bool fixedStep_ = false;
    int position_ = 0;
    double dragAngle_ = 0;
    double dragTravel_ = 0;  // degrees turned since the last detent, clockwise positive
    int64_t lastDetentMs_ = 0;
    int wheelTravel_ = 0;
};
