#include "receiver/CnxK740RXAudioBlockAssembler.h"

#include <algorithm>
#include <cstring>
#include <new>

bool CnxK740RXAudioBlockAssembler::Allocate(uint32_t capacity, uint32_t count,
                                            uint32_t sampleRate) {
    std::lock_guard lock(mutex_);
    blocks_.clear();
    count = std::max(count, kMinCount);
    capacity = std::max(capacity, kMinCapacity);
    storage_.reset(new (std::nothrow) float[std::size_t{capacity} * count]());
    capacity_ = 0;
    next_ = 0;
    stagingFill_ = 0;
    outstanding_ = 0;
    if (!storage_) {
        return false;
    }
    sampleRate_ = sampleRate;
    capacity_ = capacity;
    blocks_.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        blocks_[i] = {0,          &format_,     0,
                      sampleRate, 4 * capacity, storage_.get() + std::size_t{i} * capacity,
                      nullptr};
    }
    return true;
}

void CnxK740RXAudioBlockAssembler::Free() {
    std::lock_guard lock(mutex_);
    blocks_.clear();
    storage_.reset();
    capacity_ = 0;
    next_ = 0;
    stagingFill_ = 0;
}

bool CnxK740RXAudioBlockAssembler::IsAllocated() const {
    std::lock_guard lock(mutex_);
    return !blocks_.empty();
}

uint32_t CnxK740RXAudioBlockAssembler::GetCapacity() const {
    std::lock_guard lock(mutex_);
    return capacity_;
}

uint32_t CnxK740RXAudioBlockAssembler::GetCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<uint32_t>(blocks_.size());
}

void CnxK740RXAudioBlockAssembler::SetSampleRate(uint32_t sampleRate) {
    std::lock_guard lock(mutex_);
    sampleRate_ = sampleRate;
}

void CnxK740RXAudioBlockAssembler::Add(const void* data, uint32_t bytes, const BlockReady& ready) {
    if (data == nullptr) {
        return;
    }
    std::lock_guard lock(mutex_);
    const auto* source = static_cast<const uint8_t*>(data);
    while (bytes > 0) {
        // A chunk that would run past the buffer first pushes out what is already waiting.
        if (stagingFill_ + bytes > kStagingBytes && stagingFill_ > 0) {
            Flush(ready);
        }
        const uint32_t taken = std::min(bytes, kStagingBytes - stagingFill_);
        std::memcpy(reinterpret_cast<uint8_t*>(staging_) + stagingFill_, source, taken);
        stagingFill_ += taken;
        source += taken;
        bytes -= taken;
        if (stagingFill_ >= kBlockThresholdBytes) {
            Flush(ready);
        }
    }
}

void CnxK740RXAudioBlockAssembler::Reset() {
    std::lock_guard lock(mutex_);
    stagingFill_ = 0;
}

void CnxK740RXAudioBlockAssembler::Acknowledge() {
    if (outstanding_.fetch_sub(1, std::memory_order_relaxed) <= 0) {
        outstanding_.fetch_add(1, std::memory_order_relaxed);  // more thanks than blocks: ignore
    }
}

void CnxK740RXAudioBlockAssembler::Flush(const BlockReady& ready) {
    const uint32_t samples = stagingFill_ / 2;
    stagingFill_ = 0;
    for (uint32_t done = 0; done < samples && capacity_ > 0;) {
        const uint32_t count = std::min(samples - done, capacity_);
        AudioBlock* block = Fill(staging_ + done, count);
        ready(block);
        done += count;
    }
}

AudioBlock* CnxK740RXAudioBlockAssembler::Fill(const int16_t* samples, uint32_t count) {
    if (outstanding_.fetch_add(1, std::memory_order_relaxed) >=
        static_cast<int32_t>(blocks_.size())) {
        overruns_.fetch_add(1, std::memory_order_relaxed);
    }
    AudioBlock& block = blocks_[next_];
    block.bytes = 4 * count;
    block.sampleRate = sampleRate_;
    for (uint32_t k = 0; k < count; ++k) {
        block.samples[k] = static_cast<float>(samples[k] / 32768.0);
    }
    next_ = (next_ + 1) % blocks_.size();
    return &block;
}
