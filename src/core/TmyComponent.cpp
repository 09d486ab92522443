#include "core/TmyComponent.h"

#include <mutex>
#include <unordered_map>

#include "core/TmyComponentRegistry.h"
#include "core/TmyMessageQueue.h"

namespace {
struct Entry {
    TmyComponent* component;
    TmyMessageQueue* queue;
};
std::mutex g_registryMutex;
std::unordered_map<HWND, Entry> g_registry;
HWND g_nextHandle = 0x100;
}  // namespace

HWND TmyComponentRegistry::Register(TmyComponent& component, TmyMessageQueue& queue) {
    std::lock_guard lock(g_registryMutex);
    const HWND handle = g_nextHandle++;
    g_registry.emplace(handle, Entry{&component, &queue});
    return handle;
}

void TmyComponentRegistry::Unregister(HWND handle) {
    std::lock_guard lock(g_registryMutex);
    g_registry.erase(handle);
}

TmyComponent* TmyComponentRegistry::Find(HWND handle) {
    std::lock_guard lock(g_registryMutex);
    const auto it = g_registry.find(handle);
    return it == g_registry.end() ? nullptr : it->second.component;
}

bool TmyComponentRegistry::Post(const TmyMessage& message) {
    // The push happens under the registry lock: a registered target's queue cannot go away
    // meanwhile, because a thread's queue outlives every target created on that thread.
    std::lock_guard lock(g_registryMutex);
    const auto it = g_registry.find(message.hwnd);
    if (it == g_registry.end()) {
        return false;
    }
    it->second.queue->Push(message);
    return true;
}

void TmyComponentRegistry::Deliver(TmyComponent& target, const TmyMessage& message) {
    target.OnWindowMessage(message);
}

void TmyComponentRegistry::Tick(TmyComponent& target, UINT id) {
    target.OnTimer(id);
}

TmyComponent::TmyComponent() : queue_(&TmyMessageQueue::ForCurrentThread()) {
    handle_ = TmyComponentRegistry::Register(*this, *queue_);
}

TmyComponent::~TmyComponent() {
    TmyComponentRegistry::Unregister(handle_);
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
