#include "app/CnxTuningRules.h"

#include <algorithm>

int32_t CnxTuningRules::Clamp(int64_t frequency, int32_t upperLimit) {
    return int32_t(std::clamp<int64_t>(frequency, kLowerLimit, upperLimit));
}

int32_t CnxTuningRules::SnapToChannelRaster(int32_t frequency, int32_t previous,
                                            int32_t upperLimit) {
    const int64_t f = Clamp(frequency, upperLimit);
    const int64_t r = (f - kLowerLimit) % kRaster;
    int64_t snapped = r <= kRaster / 2 ? f - r : f + (kRaster - r);
    if (snapped > upperLimit) {
        snapped -= kRaster;
    }
    if (snapped > kGapLow && snapped < kGapHigh) {
        snapped = previous < kGapMiddle ? kFirstHighChannel : kLastLowChannel;
    }
    return int32_t(snapped);
}
