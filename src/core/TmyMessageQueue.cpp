#include "core/TmyMessageQueue.h"

#include <QEvent>
#include <QTimerEvent>
#include <algorithm>
#include <chrono>
#include <iterator>
#include <memory>

#include "core/TmyComponentRegistry.h"
#include "core/TmyMailbox.h"

namespace {
// A long drain would starve painting and input; past this slice the rest waits for the next turn.
constexpr auto kDrainSlice = std::chrono::milliseconds(8);
// Reading the clock costs more than handing over a message, so it is read every few messages.
constexpr unsigned kClockInterval = 16;
// How soon a busy queue looks again by itself: far below a frame's time, so nothing on screen lags.
constexpr auto kLinger = std::chrono::milliseconds(1);
}  // namespace

TmyMessageQueue& TmyMessageQueue::ForCurrentThread() {
    thread_local std::unique_ptr<TmyMessageQueue> queue(new TmyMessageQueue);
    return *queue;
}

TmyMessageQueue::TmyMessageQueue() : mailbox_(TmyComponentRegistry::Acquire()) {
    mailbox_.Open(*this);
}

TmyMessageQueue::~TmyMessageQueue() {
    mailbox_.Close();
    TmyComponentRegistry::Release(mailbox_);
}

HWND TmyMessageQueue::Register(TmyComponent& component) {
    const HWND handle = TmyComponentRegistry::NewHandle(mailbox_);
    mailbox_.Add(component, handle);
    return handle;
}

void TmyMessageQueue::Unregister(HWND handle) {
    mailbox_.Remove(handle);
}

TmyComponent* TmyMessageQueue::Find(HWND handle) const {
    return mailbox_.Find(handle);
}

bool TmyMessageQueue::event(QEvent* e) {
    if (e->type() != TmyMailbox::WakeEventType()) {
        return QObject::event(e);
    }
    Drain();
    return true;
}

void TmyMessageQueue::Drain() {
    // Taking this wake-up clears the mark at once: a message posted while we deliver sends a new
    // one, which a nested event loop inside a handler then serves. While held, the mark stays, so
    // posts send no wake-ups that could not be served; Release sends one.
    const bool held = holds_ > 0;
    bool more = Refill(!held);
    if (held) {
        return;
    }
    Clock::time_point deadline{};
    unsigned delivered = 0;
    while (more) {
        if (++delivered % kClockInterval == 0) {
            const auto now = Clock::now();
            if (deadline == Clock::time_point{}) {
                deadline = now + kDrainSlice;
            } else if (now >= deadline) {
                mailbox_.EnsureWake();
                return;
            }
        }
        const TmyMessage message = batch_[next_++];
        // Looked up at delivery: a target destroyed after the post simply misses its message.
        if (TmyComponent* target = mailbox_.Find(message.hwnd)) {
            TmyComponentRegistry::Deliver(*target, message);
        }
        if (holds_ > 0) {
            return;  // a handler waits in TmySleep; its Release carries on
        }
        more = next_ < batch_.size() || Refill(false);
    }
    if (delivered > 0) {
        LingerIfBusy(delivered);
    }
    DeliverPendingTicks();
}

// Messages that come faster than the thread wakes (several in one wake-up, or one soon after the
// last) mean more are on their way: looking again shortly by itself spares the posters their
// wake-ups and the thread its turns in the kernel. A message after a quiet spell is served at once.
void TmyMessageQueue::LingerIfBusy(unsigned delivered) {
    const auto now = Clock::now();
    const bool busy = delivered > 1 || now - lastDelivery_ < kLinger;
    lastDelivery_ = now;
    if (busy && !linger_.isActive() && mailbox_.TakeOverWake()) {
        linger_.start(static_cast<int>(kLinger.count()), Qt::PreciseTimer, this);
    }
}

// Makes sure something is left to deliver; false when nothing is.
bool TmyMessageQueue::Refill(bool startingWake) {
    if (next_ == batch_.size()) {
        batch_.clear();
        next_ = 0;
    }
    mailbox_.Collect(batch_, startingWake);
    // With more than one message to go, a handler may enter a nested event loop before the rest
    // is delivered: a wake-up on its way lets that loop carry on with them.
    if (batch_.size() - next_ > 1) {
        mailbox_.EnsureWake();
    }
    return next_ < batch_.size();
}

void TmyMessageQueue::DispatchWaiting(HWND target) {
    for (;;) {
        // Those already taken from the mailbox were posted first.
        std::vector<TmyMessage> waiting;
        const auto first = batch_.begin() + static_cast<std::ptrdiff_t>(next_);
        const auto isFor = [target](const TmyMessage& m) { return m.hwnd == target; };
        std::copy_if(first, batch_.end(), std::back_inserter(waiting), isFor);
        batch_.erase(std::remove_if(first, batch_.end(), isFor), batch_.end());
        mailbox_.TakeFor(target, waiting);
        if (waiting.empty()) {
            return;
        }
        for (const TmyMessage& message : waiting) {
            if (TmyComponent* component = mailbox_.Find(target)) {
                TmyComponentRegistry::Deliver(*component, message);
            }
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
    if (e->timerId() == linger_.timerId()) {
        linger_.stop();
        Drain();
        return;
    }
    if (timers_.count(e->timerId()) == 0) {
        return;
    }
    if (holds_ > 0) {
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
    if (TmyComponent* component = mailbox_.Find(target.target)) {
        TmyComponentRegistry::Tick(*component, target.id);
    }
}

void TmyMessageQueue::DeliverPendingTicks() {
    while (holds_ == 0 && !pendingTicks_.empty()) {
        const int timerId = *pendingTicks_.begin();
        pendingTicks_.erase(pendingTicks_.begin());
        Tick(timerId);
    }
}

void TmyMessageQueue::Hold() {
    ++holds_;
}

void TmyMessageQueue::Release() {
    if (holds_ > 0 && --holds_ == 0) {
        mailbox_.ForceWake();
    }
}
