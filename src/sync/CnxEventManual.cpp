#include "sync/CnxEventManual.h"

#include <map>
#include <new>
#include <string>

CnxEventManual::CnxEventManual(const char* name) {
    // Construction reports no failure: an event that cannot be created keeps a null handle.
    try {
        handle_ = OpenState(name);
    } catch (const std::bad_alloc&) {
        handle_.reset();
    }
}

std::shared_ptr<CnxEvent::State> CnxEventManual::OpenState(const char* name) {
    if (name == nullptr) {
        return std::make_shared<State>();
    }
    static std::mutex registryMutex;
    static std::map<std::string, std::weak_ptr<State>> registry;
    std::lock_guard lock(registryMutex);
    std::weak_ptr<State>& entry = registry[name];
    std::shared_ptr<State> state = entry.lock();
    if (!state) {
        state = std::make_shared<State>();
        entry = state;
    }
    return state;
}

CnxEvent::State& CnxEventManual::RequireHandle() {
    if (!handle_) {
        throw CnxEventException("Event Handle == NULL");
    }
    return *handle_;
}

bool CnxEventManual::Set() {
    State& state = RequireHandle();
    {
        std::lock_guard lock(state.mutex);
        state.signalled = true;
    }
    state.changed.notify_all();
    return true;
}

bool CnxEventManual::Reset() {
    State& state = RequireHandle();
    std::lock_guard lock(state.mutex);
    state.signalled = false;
    return true;
}
