#include "sync/CnxCriticalSection.h"

CnxCriticalSection::~CnxCriticalSection() {
    Unlock();
}

bool CnxCriticalSection::Lock() {
    const std::thread::id caller = std::this_thread::get_id();
    std::unique_lock lock(guard_);
    if (recursion_ > 0 && owner_ == caller) {
        ++recursion_;
        return true;
    }
    released_.wait(lock, [this] { return recursion_ == 0; });
    owner_ = caller;
    recursion_ = 1;
    return true;
}

bool CnxCriticalSection::Unlock() {
    std::lock_guard lock(guard_);
    if (recursion_ < 1 || owner_ != std::this_thread::get_id()) {
        return false;
    }
    if (--recursion_ == 0) {
        owner_ = std::thread::id();
        released_.notify_one();
    }
    return true;
}
