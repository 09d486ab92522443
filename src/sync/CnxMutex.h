#pragma once
// A named lock shared by every process that uses the same folder: the program's single-instance
// guard, kept in its settings folder so that two instances never share a settings file. It is an
// flock on the lock file <folder>/<name>.lock, so a process that dies, even killed, releases it at
// once. Within the
// process the lock belongs to one thread at a time and that thread may lock it again (each Lock
// needs its own Unlock); a thread that ends while owning it leaves it abandoned for the next
// locker.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

class CnxMutexException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CnxMutex {
public:
    // Opens the lock `name` in `folder` and takes it for the calling thread when nobody holds it.
    // When another process or another CnxMutex object holds it, the object is still made, without
    // ownership, and AlreadyExisted answers true. Throws CnxMutexException with the system's text
    // when the lock file cannot be opened (a folder or a link in its place, no access).
    CnxMutex(const std::string& name, const std::string& folder);
    // Releases the lock if held. A failure to close is reported on stderr, since a destructor must
    // not throw.
    virtual ~CnxMutex();
    CnxMutex(const CnxMutex&) = delete;
    CnxMutex& operator=(const CnxMutex&) = delete;

    // Waits up to `timeoutMs` (INFINITE: no limit) for ownership. Throws "Mutex Timemout" when the
    // time runs out and "Mutex Abandoned" when the previous owner thread ended without unlocking
    // (the caller then owns the lock, as with a normal Lock).
    virtual bool Lock(std::uint32_t timeoutMs);
    // Throws the system error text when the calling thread does not own the lock.
    virtual bool Unlock();

    bool AlreadyExisted() const { return alreadyExisted_; }

    static std::string LockFilePath(const std::string& name, const std::string& folder);

private:
    enum class Attempt { Busy, Acquired, Abandoned };

    Attempt TryAcquire();          // caller holds guard_
    void TakeOwnership();          // caller holds guard_
    bool HasLiveOwner() const;     // caller holds guard_
    bool IsOwnedByCaller() const;  // caller holds guard_

    int fd_ = -1;
    bool alreadyExisted_ = false;
    std::mutex guard_;
    std::condition_variable released_;
    bool fileLocked_ = false;
    std::thread::id owner_;
    std::weak_ptr<const void> ownerAlive_;  // expires when the owner thread ends
    std::uint32_t recursion_ = 0;
};
