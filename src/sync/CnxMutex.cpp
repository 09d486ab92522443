#include "sync/CnxMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "sync/CnxEvent.h"
#include "sync/CnxSystemError.h"

namespace {

// Waiters look again at this pace: neither another process releasing the file lock nor an owner
// thread ending wakes them.
constexpr std::chrono::milliseconds kRetrySlice(10);

// Lives as long as the calling thread; ownership records a weak reference to it.
std::shared_ptr<const void> CurrentThreadToken() {
    thread_local const std::shared_ptr<const void> token = std::make_shared<char>(0);
    return token;
}

}  // namespace

std::string CnxMutex::LockFilePath(const std::string& name, const std::string& folder) {
    return folder + "/" + name + ".lock";
}

CnxMutex::CnxMutex(const std::string& name, const std::string& folder) {
    // A link in the lock's place is refused rather than followed to wherever it points.
    fd_ = open(LockFilePath(name, folder).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        throw CnxMutexException(CnxSystemErrorText(errno));
    }
    std::lock_guard lock(guard_);
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0) {
        fileLocked_ = true;
        TakeOwnership();
        return;
    }
    const int error = errno;
    if (error == EWOULDBLOCK) {
        alreadyExisted_ = true;
        return;
    }
    close(fd_);
    throw CnxMutexException(CnxSystemErrorText(error));
}

CnxMutex::~CnxMutex() {
    if (close(fd_) != 0) {
        std::fprintf(stderr, "CnxMutex: %s\n", CnxSystemErrorText(errno).c_str());
    }
}

bool CnxMutex::Lock(std::uint32_t timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const bool unlimited = timeoutMs == INFINITE;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock lock(guard_);
    for (;;) {
        switch (TryAcquire()) {
            case Attempt::Acquired:
                return true;
            case Attempt::Abandoned:
                throw CnxMutexException("Mutex Abandoned");
            case Attempt::Busy:
                break;
        }
        const Clock::time_point now = Clock::now();
        if (!unlimited && now >= deadline) {
            throw CnxMutexException("Mutex Timemout");
        }
        released_.wait_until(lock,
                             unlimited ? now + kRetrySlice : std::min(now + kRetrySlice, deadline));
    }
}

CnxMutex::Attempt CnxMutex::TryAcquire() {
    if (IsOwnedByCaller()) {
        ++recursion_;
        return Attempt::Acquired;
    }
    if (HasLiveOwner()) {
        return Attempt::Busy;
    }
    const bool abandoned = recursion_ > 0;
    if (!fileLocked_) {
        if (flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error == EWOULDBLOCK || error == EINTR) {
                return Attempt::Busy;
            }
            throw CnxMutexException(CnxSystemErrorText(error));
        }
        fileLocked_ = true;
    }
    TakeOwnership();
    return abandoned ? Attempt::Abandoned : Attempt::Acquired;
}

void CnxMutex::TakeOwnership() {
    owner_ = std::this_thread::get_id();
    ownerAlive_ = CurrentThreadToken();
    recursion_ = 1;
}

bool CnxMutex::HasLiveOwner() const {
    return recursion_ > 0 && !ownerAlive_.expired();
}

bool CnxMutex::IsOwnedByCaller() const {
    return HasLiveOwner() && owner_ == std::this_thread::get_id();
}

bool CnxMutex::Unlock() {
    std::lock_guard lock(guard_);
    if (!IsOwnedByCaller()) {
        throw CnxMutexException(CnxSystemErrorText(EPERM));
    }
    if (--recursion_ > 0) {
        return true;
    }
    if (flock(fd_, LOCK_UN) != 0) {
        ++recursion_;
        throw CnxMutexException(CnxSystemErrorText(errno));
    }
    fileLocked_ = false;
    owner_ = std::thread::id();
    ownerAlive_.reset();
    released_.notify_all();
    return true;
}
