#pragma once
// One receiver's persistent values. A receiver's processing thread reads some of them while the
// window thread changes them, so the numbers are atomics; the names and the scan plan are used on
// the window thread only.
#include <cstdint>
#include <string>

#include "settings/CnxChannelPlan.h"
#include "settings/SnxScanPlan.h"
#include "sync/CnxAtomic.h"

struct SnxK740RXReceiverSettings {
    // The activity log's: a level at or above the threshold (dBm) is a hit; hits are recorded
    // as sound files or not.
    static constexpr int32_t kDefaultActivityThreshold = -95;
    static constexpr int32_t kLowestActivityThreshold = -120;
    static constexpr int32_t kHighestActivityThreshold = -40;

    std::string productName = "DEMO";
    std::string serialNumber = "DEMO";
    CnxAtomic<int32_t> power = 1, atten = 0, preamp = 1, frequency = CnxChannelPlan::kLowerLimit,
                       ledStatus = 95, mute = 1, volume = 16, volumeMin = 0, volumeMax = 31,
                       loop = 1, stepChannel = 1, showHideLabels = 8, sMeterCal = 0;
    SnxScanPlan scan;
    CnxAtomic<int32_t> activityThreshold = kDefaultActivityThreshold, recordHits = 0;
};
