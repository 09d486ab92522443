#pragma once
// The message loop side of one thread: delivers what was posted to the thread's targets, in posting
// order, from its event loop, and runs the targets' window timers. Posts land in the thread's
// mailbox; one wake-up event is on its way while there is something new, and each wake-up takes
// everything posted so far in one swap, so a busy poster and the window thread rarely meet on the
// lock and the window thread is not woken once per message.
#include <QBasicTimer>
#include <QObject>
#include <chrono>
#include <map>
#include <set>
#include <vector>

#include "core/TmyTypes.h"

class TmyComponent;
class TmyMailbox;

class TmyMessageQueue : public QObject {
public:
    // The queue of the calling thread, created on first use and ended with the thread.
    static TmyMessageQueue& ForCurrentThread();
    ~TmyMessageQueue() override;

    // A target of this thread gets its handle here, and gives it back on its destruction.
    HWND Register(TmyComponent& component);
    void Unregister(HWND handle);
    // A live target of this thread, or null.
    TmyComponent* Find(HWND handle) const;

    // Takes every message waiting for `target` out of the queue and delivers it at once, in order,
    // holds or not: a device that hands its buffers back before it closes has their notices
    // handled before the buffers go away.
    void DispatchWaiting(HWND target);

    int StartTimer(HWND target, UINT id, UINT ms);
    void StopTimer(int timerId);

    // While held, posted messages and timer ticks wait; ticks that came meanwhile are delivered
    // once each when the hold ends, as coalesced timer messages would be.
    void Hold();
    void Release();

protected:
    bool event(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    using Clock = std::chrono::steady_clock;

    TmyMessageQueue();
    void Drain();
    bool Refill(bool startingWake);
    void LingerIfBusy(unsigned delivered);
    void DeliverPendingTicks();
    void Tick(int timerId);

    TmyMailbox& mailbox_;
    // Taken from the mailbox and not yet delivered. A handler that runs a nested event loop (a
    // modal dialog) carries on from here, so the order holds across nesting.
    std::vector<TmyMessage> batch_;
    std::size_t next_ = 0;
    int holds_ = 0;
    QBasicTimer linger_;
    Clock::time_point lastDelivery_{};
    struct TimerTarget {
        HWND target;
        UINT id;
    };
    std::map<int, TimerTarget> timers_;  // Qt timer id -> target and window timer id
    std::set<int> pendingTicks_;
};
