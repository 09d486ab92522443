#pragma once
// What one receiver's scan covers: a range and a step, the channels locked out of it and a
// priority channel measured again after every few other steps. Kept for each radio in its
// settings; the walk a scan takes is built from it.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/CnxChannelPlan.h"
#include "settings/CnxScanStepper.h"

struct SnxScanPlan {
    // The steps the window offers, the channel raster first; a remote link may set any other.
    static constexpr std::array<int32_t, 7> kOfferedSteps{
        CnxChannelPlan::kSpacing, 5000, 10000, 12500, 25000, 50000, 100000};
    static constexpr int32_t kNoPriority = 0;
    static constexpr int32_t kMaxPriorityEvery = 99;

    int32_t lower = CnxChannelPlan::kLowerLimit;  // Hz
    int32_t upper = CnxChannelPlan::kUpperLimit;  // Hz
    int32_t step = CnxChannelPlan::kSpacing;      // Hz
    std::vector<int32_t> lockout;                 // channel numbers, ascending, each once
    int32_t priority = kNoPriority;               // a channel number
    int32_t priorityEvery = CnxScanStepper::kDefaultPriorityEvery;

    bool operator==(const SnxScanPlan&) const = default;

    // The plan kept within what a scan can walk: edges inside the band and in order, a step whose
    // pass the graph can hold (else the channel raster), only channels that exist.
    SnxScanPlan Checked() const;

    // The points of the range, with every point in a locked-out channel's window locked out and
    // the point nearest the priority channel's own frequency revisited.
    CnxScanStepper Walk() const;

    bool IsLockedOut(int32_t channel) const;
    // Locked out or not; the list stays ascending.
    void SetLockedOut(int32_t channel, bool lockedOut);
    // Locked-out channels whose own frequency lies in the range.
    int CountLockedOutInRange() const;

    // "60,61,75", as the settings file keeps it.
    std::string LockoutText() const;
    // The channel numbers and ranges of them ("60, 62-64") in a text, ascending and each once.
    // A part that is no channel is left out; the first such part goes to `refused`.
    static std::vector<int32_t> ParseChannels(std::string_view text,
                                              std::string* refused = nullptr);
};
