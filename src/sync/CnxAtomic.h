#pragma once
// A plain value that one thread writes and another reads without a lock (scan fields, stop flags,
// settings the processing thread looks at). Relaxed atomics keep such hand-overs free of data races
// at the cost of an ordinary load or store; unlike std::atomic the wrapper copies like a value.
#include <atomic>

template <typename T>
class CnxAtomic {
public:
    constexpr CnxAtomic(T value = T{}) noexcept : value_(value) {}
    CnxAtomic(const CnxAtomic& other) noexcept : value_(other.load()) {}
    CnxAtomic& operator=(const CnxAtomic& other) noexcept {
        store(other.load());
        return *this;
    }
    CnxAtomic& operator=(T value) noexcept {
        store(value);
        return *this;
    }
    operator T() const noexcept { return load(); }

    T load() const noexcept { return value_.load(std::memory_order_relaxed); }
    void store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }
    T operator+=(T delta) noexcept {
        return value_.fetch_add(delta, std::memory_order_relaxed) + delta;
    }
    T operator++() noexcept { return *this += T{1}; }

private:
    std::atomic<T> value_;
};
