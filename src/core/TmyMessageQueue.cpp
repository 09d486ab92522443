#include "core/TmyMessageQueue.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimerEvent>
#include <algorithm>
#include <chrono>
#include <memory>

#include "core/TmyComponentRegistry.h"

namespace {
const QEvent::Type kWakeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
// A long drain would starve painting and input; past this slice the rest waits for the next turn.
constexpr auto kDrainSlice = std::chrono::milliseconds(8);
}  // namespace

TmyMessageQueue& TmyMessageQueue::ForCurrentThread() {
    thread_local std::unique_ptr<TmyMessageQueue> queue(new TmyMessageQueue);
    return *queue;
}

void TmyMessageQueue::Push(const TmyMessage& message) {
    std::lock_guard lock(mutex_);
    messages_.push_back(message);
    WakeLocked();
}

void TmyMessageQueue::WakeLocked() {
    if (!wakePending_) {
        wakePending_ = true;
        QCoreApplication::postEvent(this, new QEvent(kWakeEvent));
    }
}

bool TmyMessageQueue::event(QEvent* e) {
    if (e->type() != kWakeEvent) {
        return QObject::event(e);
    }
    Drain();
    return true;
}

void TmyMessageQueue::Drain() {
    // The wake flag drops at once, so a message posted while we deliver arms a new wake-up: a
    // nested event loop inside a handler (a modal dialog, a wait) keeps the queue moving, in order.
    {
        std::lock_guard lock(mutex_);
        wakePending_ = false;
    }
    const auto deadline = std::chrono::steady_clock::now() + kDrainSlice;
    for (;;) {
        TmyMessage message;
        {
            std::lock_guard lock(mutex_);
            if (holds_ > 0 || messages_.empty()) {
                break;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                WakeLocked();
                return;
            }
            message = messages_.front();
            messages_.pop_front();
        }
        // Looked up at delivery: a target destroyed after the post simply misses its message.
        if (TmyComponent* target = TmyComponentRegistry::Find(message.hwnd)) {
            TmyComponentRegistry::Deliver(*target, message);
        }
    }
    DeliverPendingTicks();
}

void TmyMessageQueue::DispatchWaiting(HWND target) {
    for (;;) {
        TmyMessage message;
        {
            std::lock_guard lock(mutex_);
            const auto it =
                std::find_if(messages_.begin(), messages_.end(),
                             [target](const TmyMessage& m) { return m.hwnd == target; });
            if (it == messages_.end()) {
                return;
            }
            message = *it;
            messages_.erase(it);
        }
        if (TmyComponent* component = TmyComponentRegistry::Find(target)) {
            TmyComponentRegistry::Deliver(*component, message);
        }
    }
}

int TmyMessageQueue::StartTimer(HWND target, UINT id, UINT ms) {
    const int timerId = startTimer(static_cast<int>(ms), Qt::PreciseTimer);
    if (timerId != 0) {
        timers_[timerId] = {target, id};
    }
    return timerId;
}

void TmyMessageQueue::StopTimer(int timerId) {
    killTimer(timerId);
    timers_.erase(timerId);
    pendingTicks_.erase(timerId);
}

void TmyMessageQueue::timerEvent(QTimerEvent* e) {
    if (timers_.count(e->timerId()) == 0) {
        return;
    }
    bool held;
    {
        std::lock_guard lock(mutex_);
        held = holds_ > 0;
    }
    if (held) {
        pendingTicks_.insert(e->timerId());
        return;
    }
    Tick(e->timerId());
}

void TmyMessageQueue::Tick(int timerId) {
    const auto it = timers_.find(timerId);
    if (it == timers_.end()) {
        return;
    }
    const TimerTarget target = it->second;
    if (TmyComponent* component = TmyComponentRegistry::Find(target.target)) {
        TmyComponentRegistry::Tick(*component, target.id);
    }
}

void TmyMessageQueue::DeliverPendingTicks() {
    {
        std::lock_guard lock(mutex_);
        if (holds_ > 0) {
            return;
        }
    }
    while (!pendingTicks_.empty()) {
        const int timerId = *pendingTicks_.begin();
        pendingTicks_.erase(pendingTicks_.begin());
        Tick(timerId);
    }
}

void TmyMessageQueue::Hold() {
    std::lock_guard lock(mutex_);
    ++holds_;
}

void TmyMessageQueue::Release() {
    std::lock_guard lock(mutex_);
    if (holds_ > 0 && --holds_ == 0 && (!messages_.empty() || !pendingTicks_.empty())) {
        WakeLocked();
    }
}
