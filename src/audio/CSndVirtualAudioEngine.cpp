#include "audio/CSndVirtualAudioEngine.h"

#include <vector>

#include "audio/CSndVirtualAudioBackend.h"

CSndVirtualAudioEngine::CSndVirtualAudioEngine(std::shared_ptr<CSndWaveQueue> queue,
                                               CSndVirtualAudioBackend& card)
    : queue_(std::move(queue)), card_(card), thread_([this] { Run(); }) {}

CSndVirtualAudioEngine::~CSndVirtualAudioEngine() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    if (queue_->GetDirection() == CSndWaveQueue::Direction::Output) {
        card_.Stopped();
    }
}

void CSndVirtualAudioEngine::Run() {
    const WAVEFORMATEX format = queue_->GetFormat();
    const uint64_t align = format.blockAlign;
    const uint64_t rate = format.samplesPerSecond;
    const bool output = queue_->GetDirection() == CSndWaveQueue::Direction::Output;
    std::vector<char> buffer;
    const auto start = std::chrono::steady_clock::now();
    uint64_t moved = 0;  // bytes due so far, played or not: the clock never waits for data
    std::unique_lock lock(mutex_);
    for (uint64_t tick = 1;; ++tick) {
        if (wake_.wait_until(lock, start + tick * kTick, [this] { return stopping_; })) {
            return;
        }
        const auto elapsed = std::chrono::steady_clock::now() - start;
        const uint64_t frames =
            uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()) *
            rate / 1000000;
        const auto due = static_cast<uint32_t>(frames * align - moved);
        moved += due;
        buffer.assign(due, 0);
        lock.unlock();
        if (output) {
            const uint32_t played = queue_->Pull(buffer.data(), due);
            card_.Played(format, buffer.data(), played);
        } else {
            queue_->Push(buffer.data(), due);  // silence
        }
        lock.lock();
    }
}
