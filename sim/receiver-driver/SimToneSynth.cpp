#include "SimToneSynth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct ToneLine {
    double hertz;
    double weight;
};
constexpr std::array<ToneLine, 4> kLines = {
    {{300.0, 1.0}, {750.0, 0.7}, {1210.0, 0.5}, {2450.0, 0.3}}};
constexpr double kWeightSum = 2.5;

constexpr double kFullScale = 32767.0;
constexpr double kIdleNoise = 0.01;    // of full scale, with no signal tuned
constexpr double kSignalNoise = 0.02;  // under the tones
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Louder with a stronger signal: a weak signal near the noise floor is barely there, a strong one
// reaches most of the scale.
double toneAmplitude(double dbm) {
    return std::clamp((dbm + 120.0) / 80.0, 0.05, 0.8);
}

}  // namespace

void SimToneSynth::render(std::span<int16_t> samples, std::optional<double> signalDbm) {
    const double noise = signalDbm ? kSignalNoise : kIdleNoise;
    if (!signalDbm) {
        // No tones to hear: only the noise is drawn, and the tones' phases move on as they would.
        for (int16_t& sample : samples) {
            sample =
                static_cast<int16_t>(std::lround(noise * random_.uniform(-1.0, 1.0) * kFullScale));
        }
        for (size_t i = 0; i < kLines.size(); ++i) {
            phases_[i] = std::fmod(
                phases_[i] + kTwoPi * kLines[i].hertz / kSampleRate * double(samples.size()),
                kTwoPi);
        }
        return;
    }
    const double amplitude = toneAmplitude(*signalDbm);
    for (int16_t& sample : samples) {
        double value = noise * random_.uniform(-1.0, 1.0);
        for (size_t i = 0; i < kLines.size(); ++i) {
            value += amplitude * kLines[i].weight / kWeightSum * std::sin(phases_[i]);
            phases_[i] = std::fmod(phases_[i] + kTwoPi * kLines[i].hertz / kSampleRate, kTwoPi);
        }
        sample = static_cast<int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * kFullScale));
    }
}
