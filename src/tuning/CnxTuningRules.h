#pragma once
// How an entered frequency becomes a tuned one: limits, and in channel mode the sonobuoy raster
// with its gap between channel 99 and channel 1. No window needed, so it is tested on its own.
#include <cstdint>

#include "settings/CnxChannelPlan.h"

class CnxTuningRules {
public:
    static int32_t Clamp(int64_t frequency, int32_t upperLimit);

    // Nearest raster point (ties go down); inside the gap the jump follows the direction of
    // travel from `previous`. The result never passes `upperLimit`.
    static int32_t SnapToChannelRaster(int32_t frequency, int32_t previous, int32_t upperLimit);
};
