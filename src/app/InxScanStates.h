#pragma once
// What the other controllers may ask of the scans: whether a slot's scan runs or is held, and
// where its sweep is. The scan controller is the only owner of this; nobody keeps a copy.
#include <cstdint>
#include <optional>

class InxScanStates {
public:
    enum class State { kStopped, kScanning, kPaused };

    virtual ~InxScanStates() = default;

    virtual State GetScanState(int slot) const = 0;
    // The frequency of the slot's latest sample, or of the first point before the first sample;
    // nothing while stopped.
    virtual std::optional<int64_t> GetSweepPosition(int slot) const = 0;

    bool IsScanning(int slot) const { return GetScanState(slot) == State::kScanning; }
    // Scanning or paused: the scan has begun and not ended.
    bool IsScanActive(int slot) const { return GetScanState(slot) != State::kStopped; }
};
