#pragma once
// What the knob box asks of the main window. The controller implements it; CmqKnobBoxMapping
// decides when to call what.
#include <cstdint>

class InmqKnobBoxActions {
public:
    virtual ~InmqKnobBoxActions() = default;

    // Whether there is a selected receiver to tune: without one the knob only moves the graph.
    virtual bool IsReceiverPresent() const = 0;
    // Retunes the selected receiver by `deltaHz` from its current frequency, through the window's
    // usual frequency setting (limits and channel raster included).
    virtual void TuneBy(int32_t deltaHz) = 0;
    // Moves the volume by `steps` from its current value.
    virtual void ChangeVolume(int steps) = 0;
    // Moves the selected receiver's channel graph view by `steps`.
    virtual void MoveGraphView(int steps) = 0;
    // Selects channel steps (375 kHz, channel mode on) or 10 kHz steps, as the window's channel
    // switch does.
    virtual void SelectChannelSteps(bool channelSteps) = 0;
};
