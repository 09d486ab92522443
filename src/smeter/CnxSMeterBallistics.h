#pragma once
// How the S-meter's needle, peak mark and numeric read-out follow the level, frame by frame, so
// the meter moves smoothly instead of jumping with every reading. The needle and the read-out
// close a fixed share of their distance to the level each frame, the needle a little faster
// upwards than downwards; the peak mark jumps up with the needle, holds, then sinks back to it.
#include <cstdint>

class CnxSMeterBallistics {
public:
    struct Factors {
        double needleRise;  // share of the distance closed per frame while the level is above
        double needleFall;  // ... while it is below
        double readout;     // the numeric read-out's share per frame
        double peakFall;    // the peak mark's share per frame once its hold is over
    };
    // What the S-meter panel sets.
    static constexpr Factors kPanelFactors{0.12, 0.1, 0.1, 0.1};
    static constexpr int kFrameMs = 33;
    static constexpr int kPeakHoldFrames = 45;  // about 1.5 s
    // Closer than this, a moving value lands on the level: no visible creeping at the end.
    static constexpr double kSettleDb = 0.05;

    explicit CnxSMeterBallistics(double level, Factors factors = kPanelFactors);

    // Each share is kept within 0.01 .. 1, so everything always arrives.
    void SetFactors(Factors factors);
    Factors GetFactors() const { return factors_; }

    // The level everything moves toward.
    void SetTarget(double level);
    double GetTarget() const { return target_; }
    // Puts everything on the target at once.
    void Settle();

    // Advances one frame; true while anything is still moving.
    bool Step();
    bool IsMoving() const;

    double Needle() const { return needle_; }
    double Readout() const { return readout_; }
    double Peak() const { return peak_; }

private:
    static double Approach(double value, double target, double share);
    static Factors Bounded(Factors factors);

    Factors factors_;
    double target_;
    double needle_;
    double readout_;
    double peak_;
    int peakHold_ = 0;
};
