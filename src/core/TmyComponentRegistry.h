#pragma once
// Process-wide map from window handles to live message targets and the queue of their thread.
#include "core/TmyTypes.h"

class TmyComponent;
class TmyMessageQueue;

class TmyComponentRegistry {
public:
    static HWND Register(TmyComponent& component, TmyMessageQueue& queue);
    static void Unregister(HWND handle);
    // Only meaningful on the target's own thread, where it cannot be destroyed meanwhile.
    static TmyComponent* Find(HWND handle);
    static bool Post(const TmyMessage& message);

    static void Deliver(TmyComponent& target, const TmyMessage& message);
    static void Tick(TmyComponent& target, UINT id);
};
