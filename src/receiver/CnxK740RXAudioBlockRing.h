#pragma once
// The ring of float audio blocks a receiver hands out: allocated once, filled in turn, so no
// allocation happens per block.
#include <cstdint>
#include <memory>
#include <vector>

#include "receiver/K740RXReceiverMessages.h"

class CnxK740RXAudioBlockRing {
public:
    static constexpr uint32_t kMinCount = 2;
    static constexpr uint32_t kMinCapacity = 4;

    // Replaces the ring by `count` blocks of `capacity` floats each (raised to the minimums).
    bool Allocate(uint32_t capacity, uint32_t count, uint32_t sampleRate);
    void Free();

    bool IsAllocated() const { return !blocks_.empty(); }
    uint32_t GetCapacity() const { return capacity_; }
    uint32_t GetCount() const { return static_cast<uint32_t>(blocks_.size()); }
    uint32_t GetNextIndex() const { return next_; }

    // Converts up to GetCapacity() samples into the next block and moves on; returns that block.
    AudioBlock* Fill(const int16_t* samples, uint32_t count, uint32_t sampleRate);

private:
    std::vector<AudioBlock> blocks_;
    std::unique_ptr<float[]> storage_;
    uint32_t capacity_ = 0;
    uint32_t next_ = 0;
    AudioBlockFormat format_{6, 0, 0};
};
