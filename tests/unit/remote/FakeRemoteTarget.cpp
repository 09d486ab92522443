#include "FakeRemoteTarget.h"

#include <algorithm>

#include "core/K740RXExternalMessages.h"

void FakeRemoteTarget::OnWindowMessage(const TmyMessage& message) {
    handled.push_back(message);
    switch (message.message) {
        case WM_MAIN_FREQUENCY_SET: {
            Receiver& slot = receivers.at(message.wParam);
            slot.frequency = static_cast<int32_t>(
                std::clamp<LPARAM>(message.lParam, slot.range.lowest, slot.range.highest));
            break;
        }
        case WM_MAIN_SET_ATTENUATOR:
            receivers.at(selected).attenuator = message.wParam != 0;
            break;
        case WM_MAIN_SET_RF_AMPLIFIER:
            receivers.at(selected).amplifier = true;
            break;
        case WM_MAIN_SET_SCAN_STEP:
            receivers.at(message.lParam > 0 ? size_t(message.lParam - 1) : size_t(selected))
                .scanStep = static_cast<int32_t>(message.wParam);
            break;
        default:
            break;
    }
    if (afterMessage) {
        afterMessage(message);
    }
}
