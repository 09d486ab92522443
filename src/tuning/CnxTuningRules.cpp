#include "tuning/CnxTuningRules.h"

#include <algorithm>

using Plan = CnxChannelPlan;

int32_t CnxTuningRules::Clamp(int64_t frequency, int32_t upperLimit) {
    return int32_t(std::clamp<int64_t>(frequency, Plan::kLowerLimit, upperLimit));
}

int32_t CnxTuningRules::SnapToChannelRaster(int32_t frequency, int32_t previous,
                                            int32_t upperLimit) {
    const int64_t f = Clamp(frequency, upperLimit);
    const int64_t r = (f - Plan::kLowerLimit) % Plan::kSpacing;
    int64_t snapped = r <= Plan::kSpacing / 2 ? f - r : f + (Plan::kSpacing - r);
    if (snapped > upperLimit) {
        snapped -= Plan::kSpacing;
    }
    if (snapped > Plan::kGapLow && snapped < Plan::kGapHigh) {
        snapped = previous < Plan::kGapMiddle ? Plan::kHighBandFirst : Plan::kLowBandLast;
    }
    return int32_t(snapped);
}
