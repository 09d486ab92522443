#pragma once
// How an entered frequency becomes a tuned one: limits, and in channel mode the sonobuoy raster
// with its gap between channel 99 and channel 1. No window needed, so it is tested on its own.
#include <cstdint>

class CnxTuningRules {
public:
    static constexpr int32_t kLowerLimit = 136000000;
    static constexpr int32_t kUpperLimit = 173500000;
    static constexpr int32_t kExtendedUpperLimit = 225000000;
    static constexpr int32_t kRaster = 375000;
    static constexpr int32_t kGapLow = 161312500;  // strictly between these two no channel lies
    static constexpr int32_t kGapHigh = 162062500;
    static constexpr int32_t kGapMiddle = 161687500;
    static constexpr int32_t kLastLowChannel = 161125000;    // channel 99
    static constexpr int32_t kFirstHighChannel = 162250000;  // channel 1

    static int32_t Clamp(int64_t frequency, int32_t upperLimit);

    // Nearest raster point (ties go down); inside the gap the jump follows the direction of
    // travel from `previous`. The result never passes `upperLimit`.
    static int32_t SnapToChannelRaster(int32_t frequency, int32_t previous, int32_t upperLimit);
};
