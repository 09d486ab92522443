#include "SimSignalModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace SimSignalModel {
namespace {

constexpr double kFullLevelWidthHz = 5'000.0;  // flat top of the received signal
constexpr double kSlopeDbPerKhz = 2.0;         // fall-off beyond the flat top
constexpr double kSignalJitterDb = 0.5;

constexpr SimSignal kDemoSignals[] = {
    {162'250'000, -80.0},
    {142'750'000, -60.0},
    {154'000'000, -70.0},
};

// A few dB of slow, smooth fading; each sonobuoy fades on its own phase.
double fadingDb(const SimSignal& signal, double seconds) {
    const double phase = static_cast<double>(signal.hertz % 1'000'003) * 1e-3;
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    return 1.2 * std::sin(kTwoPi * seconds / 9.0 + phase) +
           0.6 * std::sin(kTwoPi * seconds / 2.3 + 2.0 * phase);
}

double powerSumDbm(double a, double b) {
    return 10.0 * std::log10(std::pow(10.0, a / 10.0) + std::pow(10.0, b / 10.0));
}

int32_t scaled(double dbm, double top) {
    const double value = std::round((dbm + 130.0) * top / 100.0);
    return static_cast<int32_t>(std::clamp(value, 0.0, top));
}

}  // namespace

std::span<const SimSignal> demoSignals() {
    return kDemoSignals;
}

const SimSignal* strongestNear(std::span<const SimSignal> signals, int64_t hertz, int64_t widthHz) {
    const SimSignal* strongest = nullptr;
    for (const SimSignal& signal : signals) {
        const bool near = std::llabs(signal.hertz - hertz) <= widthHz;
        if (near && (!strongest || signal.levelDbm > strongest->levelDbm)) {
            strongest = &signal;
        }
    }
    return strongest;
}

std::optional<double> signalDbm(const SimSignal& signal, int64_t hertz, double seconds) {
    const auto offsetHz = static_cast<double>(std::llabs(signal.hertz - hertz));
    if (offsetHz > static_cast<double>(kReceptionWidthHz)) {
        return std::nullopt;
    }
    const double slopeLossDb =
        std::max(0.0, offsetHz - kFullLevelWidthHz) / 1000.0 * kSlopeDbPerKhz;
    return signal.levelDbm - slopeLossDb + (signal.steady ? 0.0 : fadingDb(signal, seconds));
}

double measuredDbm(std::span<const SimSignal> signals, int64_t hertz, bool attenuated,
                   double seconds, SimRandom& random) {
    const double floorDbm = kNoiseFloorDbm + random.uniform(-kNoiseJitterDb, kNoiseJitterDb);
    std::optional<double> strongest;
    for (const SimSignal& signal : signals) {
        const std::optional<double> level = signalDbm(signal, hertz, seconds);
        if (level && (!strongest || *level > *strongest)) {
            strongest = level;
        }
    }
    if (!strongest) {
        return floorDbm;
    }
    const double arriving = *strongest - (attenuated ? kAttenuatorDb : 0.0) +
                            random.uniform(-kSignalJitterDb, kSignalJitterDb);
    return powerSumDbm(arriving, floorDbm);
}

SimReading reading(double dbm) {
    SimReading result;
    result.tenthsDbm = static_cast<int32_t>(std::lround(std::clamp(dbm, -200.0, 100.0) * 10.0));
    result.raw = static_cast<uint8_t>(scaled(dbm, 255.0));
    result.rssi = scaled(dbm, 1023.0);
    result.agc =
        static_cast<int32_t>(std::clamp(std::round((dbm + 90.0) * 255.0 / 60.0), 0.0, 255.0));
    return result;
}

}  // namespace SimSignalModel
