#pragma once
// What the tuning controller shows: the selected receiver's frequency (entry, channel and band),
// its limits and switches, the knob's step, and each receiver's frequency in the receiver list.
// The main window shows it on its tuning panel and receiver list; tests put a recording view in
// its place.
#include <cstdint>

class InxTuningView {
public:
    virtual ~InxTuningView() = default;

    // The frequency the selected receiver is tuned to, or where its sweep is.
    virtual void ShowFrequency(int32_t frequency) = 0;
    virtual void ShowLimits(int32_t lower, int32_t upper) = 0;
    virtual void ShowChannelMode(bool on) = 0;
    virtual void ShowKnobStep(int32_t step) = 0;
    virtual void ShowAttenuator(bool on) = 0;
    virtual void ShowRfAmplifier(bool on) = 0;
    // Every receiver's frequency, as its row in the receiver list shows it.
    virtual void ShowSlotFrequency(int slot, int32_t frequency) = 0;
};
