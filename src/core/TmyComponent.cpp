#include "core/TmyComponent.h"

#include "core/TmyComponentRegistry.h"
#include "core/TmyMessageQueue.h"

TmyComponent::TmyComponent() : queue_(&TmyMessageQueue::ForCurrentThread()) {
    handle_ = queue_->Register(*this);
}

TmyComponent::~TmyComponent() {
    queue_->Unregister(handle_);
    for (const auto& [id, timerId] : timers_) {
        queue_->StopTimer(timerId);
    }
}

bool TmyComponent::SetTimer(UINT id, UINT ms) {
    KillTimer(id);
    const int timerId = queue_->StartTimer(handle_, id, ms);
    if (timerId == 0) {
        return false;
    }
    timers_[id] = timerId;
    return true;
}

bool TmyComponent::KillTimer(UINT id) {
    const auto it = timers_.find(id);
    if (it == timers_.end()) {
        return false;
    }
    queue_->StopTimer(it->second);
    timers_.erase(it);
    return true;
}

void TmyComponent::DispatchNow(UINT message, WPARAM wParam, LPARAM lParam) {
    OnWindowMessage(TmyMessage{handle_, message, wParam, lParam});
}

void TmyComponent::OnWindowMessage(const TmyMessage&) {}

void TmyComponent::OnTimer(UINT) {}

bool PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return TmyComponentRegistry::Post(TmyMessage{hwnd, message, wParam, lParam});
}
