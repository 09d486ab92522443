#pragma once
// A message target: anything that owns a window handle and receives posted messages and window
// timers on the thread that created it, which is also the thread that destroys it. It is a mix-in,
// so widgets and plain objects alike can be targets.
#include <map>

#include "core/TmyTypes.h"

class TmyMessageQueue;

class TmyComponent {
public:
    TmyComponent();
    virtual ~TmyComponent();
    TmyComponent(const TmyComponent&) = delete;
    TmyComponent& operator=(const TmyComponent&) = delete;

    HWND GetHandle() const { return handle_; }

    // Window timers: a repeating tick every `ms` milliseconds delivered to OnTimer(id). Setting an
    // id that runs restarts it with the new period.
    bool SetTimer(UINT id, UINT ms);
    bool KillTimer(UINT id);
    bool IsTimerRunning(UINT id) const { return timers_.count(id) != 0; }

    // Handles a message at once on the calling thread, bypassing the queue.
    void DispatchNow(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual void OnWindowMessage(const TmyMessage& message);
    virtual void OnTimer(UINT id);

private:
    friend class TmyComponentRegistry;
    HWND handle_ = 0;
    TmyMessageQueue* queue_ = nullptr;
    std::map<UINT, int> timers_;  // our id -> the queue's timer id
};

// Thread-safe from any thread. Returns false when no target has that handle (any more).
bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
