#pragma once
// Makes the demodulated audio of a simulated receiver: a sonobuoy's tonal lines over a little
// noise when a signal is tuned, and low-level noise when not. Phases run on from chunk to chunk,
// so the tones are continuous.
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "SimRandom.h"

class SimToneSynth {
public:
    static constexpr int kSampleRate = 64000;

    explicit SimToneSynth(uint64_t seed) : random_(seed) {}

    // `signalDbm`: the level of the tuned signal, nothing when no signal is tuned.
    void render(std::span<int16_t> samples, std::optional<double> signalDbm);

private:
    std::array<double, 4> phases_{};
    SimRandom random_;
};
