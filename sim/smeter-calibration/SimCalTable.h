#pragma once
// One calibration table: for each mode, frequency points in ascending order, each with a rising
// curve from raw strength values to levels. Levels are held in hundredths of a dBm, so a table
// written out and read back holds the same numbers.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class SimCalTable {
public:
    struct Point {
        int32_t raw;
        int32_t centiDbm;
    };
    struct FrequencyPoint {
        int32_t hertz;
        std::vector<Point> curve;  // raw and level both strictly rising
    };
    struct Mode {
        int32_t mode;
        std::vector<FrequencyPoint> frequencies;  // strictly rising
    };

    static constexpr size_t kMaxFileBytes = 1 << 20;
    static constexpr size_t kMaxLineLength = 200;
    static constexpr size_t kMaxModelLength = 100;
    static constexpr size_t kMaxModes = 64;
    static constexpr size_t kMaxFrequencies = 1024;
    static constexpr int32_t kMaxMode = 255;
    static constexpr int32_t kMaxRaw = 255;
    static constexpr int32_t kMinCentiDbm = -20000;
    static constexpr int32_t kMaxCentiDbm = 5000;

    enum class Edit { kDone, kBadArgument, kNotFound, kRefused, kFull };

    explicit SimCalTable(std::string model) : model_(std::move(model)) {}

    // The table a calibration file's text describes, or nothing, with the reason in `error`.
    static std::optional<SimCalTable> Parse(std::string_view text, std::string* error = nullptr);
    std::string Write() const;

    const std::string& Model() const { return model_; }
    const std::vector<Mode>& Modes() const { return modes_; }

    // The level in dBm of a raw value at a frequency, interpolated linearly between the two
    // neighbouring raw values and between the two neighbouring frequency points. Outside the table
    // the nearest end holds. Nothing when the mode is not in the table.
    std::optional<double> Level(int32_t mode, int64_t hertz, int32_t raw) const;

    // Sets the level of one raw value at one frequency point of a mode; with `create`, a missing
    // mode or frequency point is added. Refused when the curve would no longer rise.
    Edit Put(int32_t mode, int32_t hertz, int32_t raw, int32_t centiDbm, bool create);
    Edit RemoveMode(int32_t mode);
    // A frequency point left without a curve, and a mode left without frequency points, go too.
    Edit RemoveFrequency(int32_t mode, int32_t hertz);
    Edit RemovePoint(int32_t mode, int32_t hertz, int32_t raw);

    // What Parse guarantees of every table it returns: lists in order, curves rising, no empties.
    bool IsConsistent() const;

private:
    const Mode* FindMode(int32_t mode) const;
    Mode* FindMode(int32_t mode);
    static FrequencyPoint* FindFrequency(Mode& mode, int32_t hertz);

    std::string model_;
    std::vector<Mode> modes_;  // strictly rising by mode number
};
