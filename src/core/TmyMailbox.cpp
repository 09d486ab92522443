#include "core/TmyMailbox.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <algorithm>
#include <iterator>
#include <thread>

#include "core/K740RXCoreLog.h"

int TmyMailbox::WakeEventType() {
    static const int type = QEvent::registerEventType();
    return type;
}

void TmyMailbox::Open(QObject& pump) {
    std::lock_guard lock(mutex_);
    pump_ = &pump;
    wakePending_ = false;
    warnedNoLoop_ = false;
}

void TmyMailbox::Close() {
    {
        std::lock_guard lock(mutex_);
        pump_ = nullptr;
        targets_.clear();
        posted_.clear();
        wakePending_ = false;
    }
    // A poster that saw the pump under the lock wakes it after letting go; the pump must live
    // until it has.
    while (wakesInFlight_.load(std::memory_order_acquire) != 0) {
        std::this_thread::yield();
    }
}

void TmyMailbox::Add(TmyComponent& component, HWND handle) {
    std::lock_guard lock(mutex_);
    targets_.emplace(handle, &component);
}

void TmyMailbox::Remove(HWND handle) {
    std::lock_guard lock(mutex_);
    targets_.erase(handle);
}

TmyComponent* TmyMailbox::Find(HWND handle) const {
    const auto it = targets_.find(handle);
    return it == targets_.end() ? nullptr : it->second;
}

bool TmyMailbox::Push(const TmyMessage& message) {
    QObject* pump = nullptr;
    QEvent* wake = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (targets_.count(message.hwnd) == 0) {
            return false;
        }
        posted_.push_back(message);
        if (wakePending_ || pump_ == nullptr) {
            return true;
        }
        wakePending_ = true;
        pump = pump_;
        wakesInFlight_.fetch_add(1, std::memory_order_relaxed);
        // Made under the lock, which the owner takes before Qt deletes the event: that hand-over
        // is then visible to thread checkers, which do not see into Qt's own.
        wake = NewWakeEvent();
    }
    // Posting it wakes the thread with a system call: done outside the lock, so other posters
    // and the owner's collection do not wait for it.
    Wake(*pump, *wake, message.hwnd);
    wakesInFlight_.fetch_sub(1, std::memory_order_release);
    return true;
}

QEvent* TmyMailbox::NewWakeEvent() {
    return new QEvent(static_cast<QEvent::Type>(WakeEventType()));
}

void TmyMailbox::Wake(QObject& pump, QEvent& wake, HWND target) {
    if (target != 0 && pump.thread()->eventDispatcher() == nullptr &&
        !warnedNoLoop_.exchange(true)) {
        qCWarning(lcCore,
                  "Message for window 0x%llx posted to a thread without an event loop: "
                  "it waits until that thread runs one",
                  static_cast<unsigned long long>(target));
    }
    QCoreApplication::postEvent(&pump, &wake);
}

void TmyMailbox::Collect(std::vector<TmyMessage>& batch, bool startingWake) {
    std::lock_guard lock(mutex_);
    if (startingWake) {
        wakePending_ = false;
    }
    if (batch.empty()) {
        batch.swap(posted_);
    }
}

void TmyMailbox::TakeFor(HWND target, std::vector<TmyMessage>& out) {
    std::lock_guard lock(mutex_);
    const auto isFor = [target](const TmyMessage& m) { return m.hwnd == target; };
    std::copy_if(posted_.begin(), posted_.end(), std::back_inserter(out), isFor);
    posted_.erase(std::remove_if(posted_.begin(), posted_.end(), isFor), posted_.end());
}

bool TmyMailbox::TakeOverWake() {
    std::lock_guard lock(mutex_);
    if (wakePending_ || pump_ == nullptr) {
        return false;
    }
    wakePending_ = true;
    return true;
}

void TmyMailbox::EnsureWake() {
    WakeOwnPump(false);
}

void TmyMailbox::ForceWake() {
    WakeOwnPump(true);
}

// On the owning thread, which alone could end the pump, so no poster count is needed.
void TmyMailbox::WakeOwnPump(bool evenIfPending) {
    QObject* pump = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (pump_ == nullptr || (wakePending_ && !evenIfPending)) {
            return;
        }
        wakePending_ = true;
        pump = pump_;
    }
    Wake(*pump, *NewWakeEvent(), 0);
}
