#pragma once
// One ordered queue of posted messages per thread, drained on that thread's event loop in posting
// order. A single wake-up event is in flight while the queue is non-empty, so posting costs a
// lock and a push instead of an event allocation per message.
#include <QObject>
#include <deque>
#include <map>
#include <mutex>
#include <set>

#include "core/TmyTypes.h"

class TmyComponent;

class TmyMessageQueue : public QObject {
public:
    // The queue of the calling thread, created on first use.
    static TmyMessageQueue& ForCurrentThread();

    void Push(const TmyMessage& message);
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
    void Drain();
    void DeliverPendingTicks();
    void Tick(int timerId);
    void WakeLocked();

    std::mutex mutex_;
    std::deque<TmyMessage> messages_;
    bool wakePending_ = false;
    int holds_ = 0;
    struct TimerTarget {
        HWND target;
        UINT id;
    };
    std::map<int, TimerTarget> timers_;  // Qt timer id -> target and window timer id
    std::set<int> pendingTicks_;
};
