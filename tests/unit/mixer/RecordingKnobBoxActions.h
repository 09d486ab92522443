#pragma once
// The controller's side of the knob box, recording each request as text.
#include <string>
#include <utility>
#include <vector>

#include "mixer/InmqKnobBoxActions.h"

class RecordingKnobBoxActions : public InmqKnobBoxActions {
public:
    bool receiverPresent = true;
    std::vector<std::string> requests;

    bool IsReceiverPresent() const override { return receiverPresent; }
    void TuneBy(int32_t deltaHz) override { Add("tune " + std::to_string(deltaHz)); }
    void ChangeVolume(int steps) override { Add("volume " + std::to_string(steps)); }
    void MoveGraphView(int steps) override { Add("graph " + std::to_string(steps)); }
    void SelectChannelSteps(bool channelSteps) override {
        Add(channelSteps ? "channel steps" : "10 kHz steps");
    }

    std::vector<std::string> Take() { return std::exchange(requests, {}); }

private:
    void Add(std::string request) { requests.push_back(std::move(request)); }
};
