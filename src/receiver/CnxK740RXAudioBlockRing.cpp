#include "receiver/CnxK740RXAudioBlockRing.h"

#include <algorithm>
#include <new>

bool CnxK740RXAudioBlockRing::Allocate(uint32_t capacity, uint32_t count, uint32_t sampleRate) {
    Free();
    count = std::max(count, kMinCount);
    capacity = std::max(capacity, kMinCapacity);
    storage_.reset(new (std::nothrow) float[std::size_t{capacity} * count]());
    if (!storage_) {
        return false;
    }
    format_ = {6, 0, 0};
    capacity_ = capacity;
    blocks_.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        blocks_[i] = {0,          &format_,     0,
                      sampleRate, 4 * capacity, storage_.get() + std::size_t{i} * capacity};
    }
    return true;
}

void CnxK740RXAudioBlockRing::Free() {
    blocks_.clear();
    storage_.reset();
    capacity_ = 0;
    next_ = 0;
}

AudioBlock* CnxK740RXAudioBlockRing::Fill(const int16_t* samples, uint32_t count,
                                          uint32_t sampleRate) {
    if (blocks_.empty()) {
        return nullptr;
    }
    count = std::min(count, capacity_);
    AudioBlock& block = blocks_[next_];
    block.bytes = 4 * count;
    block.sampleRate = sampleRate;
    for (uint32_t k = 0; k < count; ++k) {
        block.samples[k] = static_cast<float>(samples[k] / 32768.0);
    }
    next_ = (next_ + 1) % blocks_.size();
    return &block;
}
