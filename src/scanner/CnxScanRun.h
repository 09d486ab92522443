#pragma once
// The scan of every receiver slot as the window drives it: stopped, scanning or paused, and the
// frequency the slot was tuned to before its scan began, which it goes back to when the scan ends.
// The controller asks it what a command means in the slot's present state and carries out the
// answer on the receiver, the graph and the player.
#include <array>
#include <cstdint>

class CnxScanRun {
public:
    static constexpr int kSlotCount = 8;
    enum class State { kStopped, kScanning, kPaused };

    State GetState(int slot) const;
    bool IsScanning(int slot) const { return GetState(slot) == State::kScanning; }
    bool IsPaused(int slot) const { return GetState(slot) == State::kPaused; }
    // Scanning or paused: the slot's scan has begun and not ended.
    bool IsActive(int slot) const { return GetState(slot) != State::kStopped; }

    // Stopped -> scanning remembers `tuned` as the frequency before the scan; paused -> scanning
    // resumes and keeps it. False when the slot already scans (or is no slot).
    bool Start(int slot, int32_t tuned);
    // Scanning -> paused. False in any other state.
    bool Pause(int slot);
    // Scanning or paused -> stopped. False when it already was stopped.
    bool Stop(int slot);
    int32_t GetFrequencyBeforeScan(int slot) const;
    // Tuning a slot during its scan changes where it goes when the scan ends.
    void SetFrequencyBeforeScan(int slot, int32_t frequency);

private:
    struct Slot {
        State state = State::kStopped;
        int32_t frequencyBeforeScan = 0;
    };
    static bool IsSlot(int slot) { return slot >= 0 && slot < kSlotCount; }

    std::array<Slot, kSlotCount> slots_{};
};
