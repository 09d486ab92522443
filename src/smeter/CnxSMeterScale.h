#pragma once
// The S-meter's scale: the range it shows and the S-unit labels of a level, in either of two
// tables. Linear: 19 units of 6 dB from S1 at -120 dBm (S9 at -72 dBm). Standard: S1 to S9 in 6 dB
// units, then S9+10dB to S9+100dB in 10 dB steps.
#include <cstdint>
#include <string>
#include <vector>

class CnxSMeterScale {
public:
    enum class Mode { kLinear, kStandard };

    static constexpr double kMinimum = -120.0;  // dBm at the left end
    static constexpr double kMaximum = -40.0;   // dBm at the right end
    static constexpr int kUnits = 19;

    struct Unit {
        double dbm;  // where the unit begins
        std::string label;
        std::string shortLabel;  // for marks on a small scale
    };

    explicit CnxSMeterScale(Mode mode = Mode::kLinear) : mode_(mode) {}

    Mode GetMode() const { return mode_; }
    void SetMode(Mode mode) { mode_ = mode; }

    // The label of the last unit that begins at or below the level; the first below them all.
    const std::string& Label(double dbm) const { return UnitOf(dbm).label; }
    const std::string& ShortLabel(double dbm) const { return UnitOf(dbm).shortLabel; }
    // The units that begin within the meter's range, for drawing the scale.
    std::vector<Unit> VisibleUnits() const;

    // Levels outside the range are shown at its nearest end.
    static double Clamp(double dbm);
    // Where a level sits along the scale: 0 at the left end, 1 at the right.
    static double Position(double dbm);
    // The level at a position along the scale, the inverse of Position.
    static double LevelAt(double position);

private:
    const Unit& UnitOf(double dbm) const;

    Mode mode_;
};
