#pragma once
// Turns the knob box's events into main-window actions. The unit's three buttons choose what the
// knob does: mode 1 tunes in 10 kHz steps, mode 2 in channel steps, mode 4 changes the volume (its
// backlight mode is handled by the mixer itself). The buttons for 10 kHz and channel steps also
// set the window's channel switch, and the window's switch sets the unit's indicator back, so the
// two always agree. Eight position counts make one step.
#include "mixer/CmqVqbMixer.h"
#include "mixer/InmqKnobBoxActions.h"
#include "settings/CnxChannelPlan.h"

class CmqKnobBoxMapping {
public:
    static constexpr int kTuneMode = 1;
    static constexpr int kChannelMode = 2;
    static constexpr int kVolumeMode = 4;
    static constexpr int32_t kTuneStepHz = 10000;
    static constexpr int32_t kChannelStepHz = CnxChannelPlan::kSpacing;
    static constexpr int kCountsPerStep = 8;

    // Both are borrowed and must outlive the mapping.
    CmqKnobBoxMapping(CmqVqbMixer& mixer, InmqKnobBoxActions& actions);
    ~CmqKnobBoxMapping();
    CmqKnobBoxMapping(const CmqKnobBoxMapping&) = delete;
    CmqKnobBoxMapping& operator=(const CmqKnobBoxMapping&) = delete;

    // Opens the unit and, when there is one, sets up its knob; true when a unit is present.
    // Without a unit nothing else changes.
    bool Start();
    // The window's tuning step changed (channel steps or 10 kHz): the unit's indicator follows.
    void OnChannelModeChanged(bool channelSteps);

private:
    void OnRotate(void* sender, int steps, std::intptr_t extra);
    void OnModeReported(void* sender, int value, std::intptr_t extra);

    CmqVqbMixer& mixer_;
    InmqKnobBoxActions& actions_;
    TmySubscriptions subscriptions_;
};
