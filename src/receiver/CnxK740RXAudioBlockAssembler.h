#pragma once
// Turns a receiver's 16-bit audio chunks, which arrive in whatever sizes the driver delivers,
// into float blocks of a useful size: chunks gather in the receiver's own staging buffer until
// enough wait, then go into the next block of a ring allocated once, so no allocation happens per
// block. A block stays the consumer's until it acknowledges it; filling one that is still out
// counts an overrun (the consumer has fallen a whole ring behind).
//
// The driver's stream thread adds chunks while the window thread allocates, resets and
// acknowledges, so everything but the acknowledgement is guarded by one uncontended lock.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "receiver/K740RXReceiverMessages.h"

class CnxK740RXAudioBlockAssembler {
public:
    static constexpr uint32_t kStagingBytes = 16384;
    // A block is handed on once this many bytes wait in the staging buffer.
    static constexpr uint32_t kBlockThresholdBytes = 8129;
    static constexpr uint32_t kMinCount = 2;
    static constexpr uint32_t kMinCapacity = 4;

    using BlockReady = std::function<void(AudioBlock*)>;

    // Replaces the ring by `count` blocks of `capacity` floats each (raised to the minimums).
    bool Allocate(uint32_t capacity, uint32_t count, uint32_t sampleRate);
    void Free();
    bool IsAllocated() const;
    uint32_t GetCapacity() const;
    uint32_t GetCount() const;
    // Blocks filled from now on carry this rate.
    void SetSampleRate(uint32_t sampleRate);

    // Stages the chunk; every block it completes goes to `ready`, in order.
    void Add(const void* data, uint32_t bytes, const BlockReady& ready);
    // Drops what is staged, so the next block holds only audio added from now on.
    void Reset();
    // The consumer is done with one block.
    void Acknowledge();
    uint32_t GetOverruns() const { return overruns_.load(std::memory_order_relaxed); }

private:
    void Flush(const BlockReady& ready);
    AudioBlock* Fill(const int16_t* samples, uint32_t count);

    mutable std::mutex mutex_;
    std::vector<AudioBlock> blocks_;
    std::unique_ptr<float[]> storage_;
    uint32_t capacity_ = 0;
    uint32_t next_ = 0;
    uint32_t sampleRate_ = 0;
    AudioBlockFormat format_{6, 0, 0};
    int16_t staging_[kStagingBytes / 2] = {};
    uint32_t stagingFill_ = 0;
    std::atomic<int32_t> outstanding_{0};
    std::atomic<uint32_t> overruns_{0};
};
