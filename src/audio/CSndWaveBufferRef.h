#pragma once
// A counted handle to a CSndWaveBuffer, with the result of its last prepare or unprepare.
// Releasing the last handle of a prepared buffer unprepares it first.
#include <cstdint>
#include <utility>

#include "audio/CSndWaveBuffer.h"

class CSndWaveBufferRef {
public:
    CSndWaveBufferRef() = default;
    // Takes over the buffer's first reference.
    explicit CSndWaveBufferRef(CSndWaveBuffer* buffer) : buffer_(buffer) {}
    CSndWaveBufferRef(const CSndWaveBufferRef& other);
    CSndWaveBufferRef(CSndWaveBufferRef&& other) noexcept
        : buffer_(std::exchange(other.buffer_, nullptr)), result_(other.result_) {}
    CSndWaveBufferRef& operator=(CSndWaveBufferRef other) noexcept;
    ~CSndWaveBufferRef() { Reset(); }

    void Reset();
    // True when the platform accepted it; the result is kept either way.
    bool Prepare(SndWaveDevice* device);
    bool Unprepare();
    uint32_t GetResult() const { return result_; }

    CSndWaveBuffer* Get() const { return buffer_; }
    CSndWaveBuffer* operator->() const { return buffer_; }
    explicit operator bool() const { return buffer_ != nullptr; }

private:
    CSndWaveBuffer* buffer_ = nullptr;
    uint32_t result_ = 0;
};
