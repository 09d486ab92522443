#include "mixer/CmqKnobBoxMapping.h"

#include <algorithm>
#include <limits>

namespace {

int32_t Hertz(int steps, int32_t step) {
    const int64_t hz = int64_t{steps} * step;
    return static_cast<int32_t>(std::clamp<int64_t>(hz, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

CmqKnobBoxMapping::CmqKnobBoxMapping(CmqVqbMixer& mixer, InmqKnobBoxActions& actions)
    : mixer_(mixer), actions_(actions) {
    subscriptions_.push_back(mixer_.OnRotate.Set(this, &CmqKnobBoxMapping::OnRotate));
    subscriptions_.push_back(mixer_.OnSwitch.Set(this, &CmqKnobBoxMapping::OnModeReported));
    // A press that repeats the last reported switch value raises no OnSwitch, though the window
    // may have moved the mode since; the mode change itself must then select the step.
    subscriptions_.push_back(mixer_.OnButtonMode.Set(this, &CmqKnobBoxMapping::OnModeReported));
}

CmqKnobBoxMapping::~CmqKnobBoxMapping() = default;

bool CmqKnobBoxMapping::Start() {
    if (mixer_.Open() != 1) {
        return false;
    }
    mixer_.SetDirectRotation(false);
    mixer_.SetRotateConstant(kCountsPerStep, kCountsPerStep);
    return true;
}

void CmqKnobBoxMapping::OnChannelModeChanged(bool channelSteps) {
    mixer_.SetButtonMode(channelSteps ? kChannelMode : kTuneMode);
}

void CmqKnobBoxMapping::OnRotate(void*, int steps, std::intptr_t) {
    const int mode = mixer_.GetButtonMode();
    if (mode == kTuneMode || mode == kChannelMode) {
        actions_.MoveGraphView(steps);
    }
    if (!actions_.IsReceiverPresent()) {
        return;
    }
    switch (mode) {
        case kTuneMode:
            actions_.TuneBy(Hertz(steps, kTuneStepHz));
            break;
        case kChannelMode:
            actions_.TuneBy(Hertz(steps, kChannelStepHz));
            break;
        case kVolumeMode:
            actions_.ChangeVolume(steps);
            break;
        default:
            break;  // the backlight mode never gets here: the mixer turns it into backlight itself
    }
}

void CmqKnobBoxMapping::OnModeReported(void*, int, std::intptr_t) {
    const int mode = mixer_.GetButtonMode();
    if (mode == kTuneMode || mode == kChannelMode) {
        actions_.SelectChannelSteps(mode == kChannelMode);
    }
}
