#pragma once
// What tuning shows of the selected receiver: its frequency (entry, channel and band), its
// limits and switches, and the knob's step. The window's tuning panel is one; tests put a
// recording view in its place.
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
};
