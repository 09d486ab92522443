#pragma once
// The radio environment the simulated receivers listen to: sonobuoys on chosen frequencies with
// slow fading, a receiver noise floor with jitter, and the conversions from a level in dBm into
// the readings the driver reports.
#include <cstdint>
#include <optional>
#include <span>

#include "SimRandom.h"
#include "SimSetup.h"

// One measurement as the driver hands it out.
struct SimReading {
    int32_t tenthsDbm = 0;
    uint8_t raw = 0;   // 0..255 over -130 .. -30 dBm
    int32_t rssi = 0;  // 0..1023 over the same span
    int32_t agc = 0;   // 0..255 gain reduction, rising from -90 dBm
};

namespace SimSignalModel {

constexpr double kNoiseFloorDbm = -110.0;
constexpr double kNoiseJitterDb = 2.0;
constexpr double kAttenuatorDb = 18.0;
constexpr double kPoweredOffDbm = -130.0;
constexpr int64_t kReceptionWidthHz = 30'000;  // a signal is heard this far off its frequency
constexpr int64_t kAudibleWidthHz = 5'000;     // and demodulated this close to it

// The sonobuoys the demo radio hears.
std::span<const SimSignal> demoSignals();

// The strongest signal within `widthHz` of `hertz`, or null.
const SimSignal* strongestNear(std::span<const SimSignal> signals, int64_t hertz, int64_t widthHz);

// The signal's level arriving at `hertz` at time `seconds`, before the noise floor is added;
// nothing when it is out of reach.
std::optional<double> signalDbm(const SimSignal& signal, int64_t hertz, double seconds);

// The level a receiver measures at `hertz`: the strongest reachable signal (less the
// attenuator) over a jittering noise floor.
double measuredDbm(std::span<const SimSignal> signals, int64_t hertz, bool attenuated,
                   double seconds, SimRandom& random);

SimReading reading(double dbm);

}  // namespace SimSignalModel
