#pragma once
// The samples of a run over the whole band as the benchmarks of the graph and its history feed
// them: the i-th sample at its point and in its sweep, its level moving up and down as a real
// sweep's would.
#include <cstdint>

#include "core/K740RXMessageRecords.h"

inline constexpr int kBandPoints = 99;

inline ScanSample SampleFor(int64_t i) {
    ScanSample sample;
    sample.run = 1;
    sample.sweep = uint32_t(i / kBandPoints);
    sample.point = int32_t(i % kBandPoints);
    sample.level = -120.0 + double((i * 37) % 80);
    return sample;
}
