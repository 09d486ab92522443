#include "smeter/CnxSMeterLevelRules.h"

#include <cmath>
#include <limits>

#include "settings/CnxChannelPlan.h"

double CnxSMeterLevelRules::DemoLevel(int32_t hertz, bool attenuator) {
    constexpr double kAttenuation = 18.0;
    const auto signal = CnxChannelPlan::DemoSignalAt(hertz);
    if (!signal) {
        return kDemoNoise;
    }
    const double level = signal->tenthsDbm / 10.0;
    return attenuator ? level - kAttenuation : level;
}

double CnxSMeterLevelRules::ShownLevel(double reading, int32_t offsetTenths, bool demo,
                                       int32_t hertz, bool attenuator) {
    const double level = demo ? DemoLevel(hertz, attenuator) : reading;
    return level + offsetTenths / 10.0;
}

std::optional<double> CnxSMeterLevelRules::ReadingToReshow(int32_t current, int32_t next,
                                                           bool force, double shown) {
    if (next == current && !force) {
        return std::nullopt;
    }
    return shown - current / 10.0;
}

int32_t CnxSMeterLevelRules::OffsetTenths(double decibels) {
    // Rounded to a millionth of a tenth before truncating: far below what a user can enter.
    const double tenths = std::round(decibels * 10.0 * 1e6) / 1e6;
    const double truncated = std::trunc(tenths);
    if (!(std::fabs(truncated) < double(std::numeric_limits<int32_t>::max()))) {
        return 0;
    }
    return int32_t(truncated);
}
