#include "sync/CnxEvent.h"

#include <cerrno>
#include <chrono>

#include "sync/CnxSystemError.h"

std::uint32_t CnxEvent::Wait(std::uint32_t timeoutMs) {
    if (!handle_) {
        throw CnxEventException(CnxSystemErrorText(EBADF));
    }
    std::unique_lock lock(handle_->mutex);
    const auto isSignalled = [this] { return handle_->signalled; };
    if (timeoutMs == INFINITE) {
        handle_->changed.wait(lock, isSignalled);
        return WAIT_OBJECT_0;
    }
    const bool signalled =
        handle_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSignalled);
    return signalled ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}
