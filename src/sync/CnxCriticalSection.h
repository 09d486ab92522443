#pragma once
// A lock for threads of this process that the owning thread may enter again; each Lock needs its
// own Unlock.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class CnxCriticalSection {
public:
    CnxCriticalSection() = default;
    // Leaves once, so a section still entered by the destroying thread does not stay held.
    virtual ~CnxCriticalSection();
    CnxCriticalSection(const CnxCriticalSection&) = delete;
    CnxCriticalSection& operator=(const CnxCriticalSection&) = delete;

    virtual bool Lock();
    // False, without any effect, when the calling thread has not entered the section.
    virtual bool Unlock();

private:
    std::mutex guard_;
    std::condition_variable released_;
    std::thread::id owner_;
    std::uint32_t recursion_ = 0;
};
