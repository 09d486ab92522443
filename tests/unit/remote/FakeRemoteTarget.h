#pragma once
// Stands in for the main window: eight receiver receivers whose state changes only when one of the
// window's external messages is handled, as the controller's does, so a server that answered a
// change before the window had handled it would be caught reading the old state.
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "core/TmyComponent.h"
#include "remote/InxRemoteTarget.h"

class FakeRemoteTarget : public InxRemoteTarget, public TmyComponent {
public:
    struct Receiver {
        bool present = true;
        bool connected = true;
        SnxRemoteFrequencyRange range{136000000, 173500000};
        int32_t frequency = 136000000;
        double levelDbm = -110.0;
        int raw = 51;
        bool attenuator = false;
        bool amplifier = true;
        int32_t passband = 24000;
        int32_t scanStep = 375000;
    };

    std::array<Receiver, 8> receivers;
    int selected = 0;
    std::vector<TmyMessage> handled;  // external messages, in the order the window took them
    int directAttenuatorCalls = 0;
    bool windowGone = false;
    // Runs after each external message the window has handled.
    std::function<void(const TmyMessage&)> afterMessage;

    HWND GetMessageWindow() override { return windowGone ? 0 : GetHandle(); }
    int GetSelectedSlot() override { return selected; }
    bool HasReceiver(int slot) override { return receivers[slot].present; }
    bool IsRadioConnected(int slot) override { return receivers[slot].connected; }
    SnxRemoteFrequencyRange GetFrequencyRange(int slot) override { return receivers[slot].range; }
    int32_t GetFrequency(int slot) override { return receivers[slot].frequency; }
    double GetLevelDbm(int slot) override { return receivers[slot].levelDbm; }
    int GetRawLevel(int slot) override { return receivers[slot].raw; }
    bool GetSlotAttenuator(int slot) override { return receivers[slot].attenuator; }
    bool GetRFAmplifier(int slot) override { return receivers[slot].amplifier; }
    int32_t GetPassband(int slot) override { return receivers[slot].passband; }
    int32_t GetScanStep(int slot) override { return receivers[slot].scanStep; }
    void SetSlotAttenuator(int slot, bool on) override {
        ++directAttenuatorCalls;
        receivers[slot].attenuator = on;
    }

protected:
    void OnWindowMessage(const TmyMessage& message) override;
};
