#include "smeter/CnxSMeterLevelRules.h"

#include <cmath>
#include <limits>

double CnxSMeterLevelRules::DemoLevel(int32_t hertz, bool attenuator) {
    constexpr double kAttenuation = 18.0;
    double level;
    switch (hertz) {
        case 162250000:
            level = -80.0;
            break;
        case 142750000:
            level = -60.0;
            break;
        case 154000000:
            level = -70.0;
            break;
        default:
            return -105.0;
    }
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
