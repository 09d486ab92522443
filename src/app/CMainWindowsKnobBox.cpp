// The knob box: the unit is looked for at start-up and, when present, its knob tunes, changes the
// volume or moves the graph as its buttons choose. The mapping decides; the window acts.
#include "app/CMainWindows.h"
#include "mixer/CmqKnobBoxMapping.h"
#include "mixer/CmqVqbMixerCom.h"
#include "settings/CnxK740RXFileIniApp.h"

void CMainWindows::SetupKnobBox() {
    mixer_ = std::make_unique<CmqVqbMixerCom>();
    InmqKnobBoxActions& actions = *this;
    knobBox_ = std::make_unique<CmqKnobBoxMapping>(*mixer_, actions);
    if (!knobBox_->Start()) {
        // No unit: the program goes on exactly as without one.
        knobBox_.reset();
        mixer_.reset();
    }
}

bool CMainWindows::IsReceiverPresent() const {
    return CurrentReceiver() != nullptr;
}

void CMainWindows::TuneBy(int32_t deltaHz) {
    FrequencySet(GetSelectedReceiver(), GetCurrentFrequency() + deltaHz);
}

void CMainWindows::ChangeVolume(int steps) {
    SetVolume(settings_->Current().volume + steps);
}

void CMainWindows::SelectChannelSteps(bool channelSteps) {
    SetChannelMode(channelSteps);
}
