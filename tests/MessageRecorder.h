#pragma once
// A message target for tests: keeps every message and timer tick it got, on its own thread, and
// can run a test's reaction to each message.
#include <functional>
#include <vector>

#include "core/TmyComponent.h"

class MessageRecorder : public TmyComponent {
public:
    std::vector<TmyMessage> messages;
    std::vector<UINT> ticks;
    std::function<void(const TmyMessage&)> onMessage;

protected:
    void OnWindowMessage(const TmyMessage& m) override {
        messages.push_back(m);
        if (onMessage) {
            onMessage(m);
        }
    }
    void OnTimer(UINT id) override { ticks.push_back(id); }
};
