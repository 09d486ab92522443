#pragma once
// Base of the program's worker threads: one thread per object at a time, started and stopped by
// the controlling thread, with a small message queue that the base Run loop serves.
//
// A derived class that replaces Run must stop its thread in its own destructor (RequestStop, then
// Stop): Run is virtual, so the thread must not outlive the derived members it uses, and the base
// destructor only runs once those are gone. For the same reason auto-start in the constructor runs
// the base message loop; a derived class that wants its own Run calls Start once it is constructed.
#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

#include "core/TmyTypes.h"
#include "sync/CnxAtomic.h"

class CnxThread {
public:
    explicit CnxThread(bool autoStart = false);
    // Asks the thread to end (stop request and WM_QUIT) and waits up to 1000 ms plus wait count
    // times the wait slice. A thread still running after that is detached and reported on stderr:
    // the last resort, since it may go on using the destroyed object.
    virtual ~CnxThread();
    CnxThread(const CnxThread&) = delete;
    CnxThread& operator=(const CnxThread&) = delete;

    // Stops a previous thread first and refuses (false) when that fails, so one object never runs
    // two threads. Clears the stop request.
    virtual bool Start();
    // Waits up to 1000 ms for the thread to end; false, keeping the thread, when it does not. It
    // does not ask the thread to end: call RequestStop (or post WM_QUIT) first.
    virtual bool Stop();
    virtual void SetWaitSlice(std::uint32_t ms) { waitSlice_ = ms; }
    virtual void SetWaitCount(std::uint32_t count) { waitCount_ = count; }

    bool IsRunning() const { return GetThreadId() != 0; }
    // Non-zero (2 or more) from Start until Run returns.
    std::uint32_t GetThreadId() const;
    // Queues a message for the base Run loop; false when no thread runs.
    bool PostToThread(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Serves the queue: each message goes to OnMessage, then the loop pauses 5 ms. Ends on WM_QUIT
    // or a stop request.
    virtual void Run();
    virtual void OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           std::uint32_t time, std::int32_t x, std::int32_t y);

    void RequestStop();
    bool IsStopRequested() const { return stopRequest_ != 0; }

private:
    struct Control;
    struct QueuedMessage;

    bool Launch(bool baseLoopOnly);
    bool WaitForEnd(std::chrono::milliseconds timeout);
    bool NextMessage(QueuedMessage& message);
    void Enqueue(UINT message, WPARAM wParam, LPARAM lParam);
    bool IsCallerTheThread() const { return handle_.get_id() == std::this_thread::get_id(); }

    bool autoStart_;
    std::thread handle_;
    // Shared with the running thread, so its last steps stay safe even after a detach.
    std::shared_ptr<Control> control_;
    std::uint32_t waitSlice_ = 10;
    std::uint32_t waitCount_ = 100;
    CnxAtomic<std::uint32_t> stopRequest_{0};
};
