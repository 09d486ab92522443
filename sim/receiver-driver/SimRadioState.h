#pragma once
// Everything one open handle remembers: the hardware settings the program writes and reads back,
// the scan pipeline and the last measurement.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SimRandom.h"
#include "SimSignalModel.h"

struct SimRadioState {
    static constexpr size_t kFilterCount = 16;
    static constexpr size_t kMaxTableEntries = 64;

    SimRadioState(std::string serial, uint64_t seed) : serial(std::move(serial)), random(seed) {}

    bool isDemo() const { return serial == "DEMO"; }

    std::string serial;
    SimRandom random;

    int32_t frequency = 136'000'000;
    int32_t if2Frequency = 12'000;
    int32_t attenuator = 0;
    int32_t rfAmplifier = 0;
    int32_t power = 1;
    int32_t refClock = 10'000'000;
    int32_t ledPattern = 0;
    int32_t audioBandwidth = 24'000;
    int32_t volume = 0;
    int32_t audioGain = 0;
    int32_t mode = 0;
    int32_t fmw = 0;
    int32_t advancedMode = 0;
    int32_t pllSpeed = 0;
    int32_t demodulator = 0;
    std::array<int32_t, kFilterCount> filterValues{};
    std::vector<int32_t> filterTable = {6'000, 12'000, 15'000, 30'000};
    std::vector<int32_t> bands = {136'000'000, 173'500'000};

    // An asynchronous tune counts as busy until then.
    std::chrono::steady_clock::time_point tuneDone{};

    // The pipeline's pending reading: taken where the radio stood when a pipelined tune moved it
    // on (none after the first tune of a pass), handed out once by the next pipelined read.
    std::optional<SimReading> pipelinePending;

    SimReading last;
};
