#pragma once
// Waitable events. The handle is the shared state behind the event; a null handle stands for an
// event that could not be created, and every operation on it fails with an exception.
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>

// Results and timeout of the wait operations.
constexpr std::uint32_t WAIT_OBJECT_0 = 0;
constexpr std::uint32_t WAIT_TIMEOUT = 258;
constexpr std::uint32_t INFINITE = 0xFFFFFFFF;

class CnxEventException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CnxEvent {
public:
    CnxEvent() = default;
    virtual ~CnxEvent() = default;
    CnxEvent(const CnxEvent&) = delete;
    CnxEvent& operator=(const CnxEvent&) = delete;

    virtual bool Set() = 0;
    // Blocks until the event is signalled or `timeoutMs` has passed (INFINITE: no limit). Returns
    // WAIT_OBJECT_0 or WAIT_TIMEOUT.
    virtual std::uint32_t Wait(std::uint32_t timeoutMs);

protected:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool signalled = false;
    };

    std::shared_ptr<State> handle_;
};
