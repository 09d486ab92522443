#include "audio/CSndWaveQueue.h"

#include <algorithm>
#include <cstring>

#include "audio/K740RXAudioMessages.h"
#include "core/TmyComponent.h"

CSndWaveQueue::CSndWaveQueue(Direction direction, HWND callback, uintptr_t device,
                             const WAVEFORMATEX& format)
    : direction_(direction),
      callback_(callback),
      device_(device),
      format_(format),
      doneMessage_(direction == Direction::Output ? MM_WOM_DONE : MM_WIM_DATA),
      // An output plays as soon as buffers come; an input records only once started.
      running_(direction == Direction::Output) {}

MMRESULT CSndWaveQueue::Add(WAVEHDR* header) {
    std::lock_guard lock(mutex_);
    if (failed_) {
        return MMSYSERR_NODRIVER;
    }
    StoreFlags(*header, (LoadFlags(*header) & ~WHDR_DONE) | WHDR_INQUEUE);
    if (direction_ == Direction::Input) {
        header->dwBytesRecorded = 0;
    }
    queue_.push_back(header);
    return MMSYSERR_NOERROR;
}

void CSndWaveQueue::SetRunning(bool running) {
    std::lock_guard lock(mutex_);
    running_ = running;
    if (!running && direction_ == Direction::Input && !queue_.empty() && frontOffset_ > 0) {
        CompleteFrontLocked();
    }
}

void CSndWaveQueue::Reset() {
    std::lock_guard lock(mutex_);
    if (direction_ == Direction::Input) {
        running_ = false;
    }
    while (!queue_.empty()) {
        CompleteFrontLocked();
    }
}

bool CSndWaveQueue::IsEmpty() const {
    std::lock_guard lock(mutex_);
    return queue_.empty();
}

void CSndWaveQueue::Detach() {
    std::lock_guard lock(mutex_);
    detached_ = true;
    queue_.clear();
}

void CSndWaveQueue::Fail() {
    std::lock_guard lock(mutex_);
    failed_ = true;
    while (!queue_.empty()) {
        CompleteFrontLocked();
    }
}

bool CSndWaveQueue::HasFailed() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

void CSndWaveQueue::CompleteFrontLocked() {
    WAVEHDR* header = queue_.front();
    queue_.pop_front();
    if (direction_ == Direction::Input) {
        header->dwBytesRecorded = frontOffset_;
    }
    frontOffset_ = 0;
    StoreFlags(*header, (LoadFlags(*header) & ~WHDR_INQUEUE) | WHDR_DONE);
    if (!detached_) {
        PostMessage(callback_, doneMessage_, device_, reinterpret_cast<LPARAM>(header));
    }
}

uint32_t CSndWaveQueue::Pull(char* destination, uint32_t bytes) {
    std::lock_guard lock(mutex_);
    uint32_t copied = 0;
    while (running_ && copied < bytes && !queue_.empty()) {
        WAVEHDR* header = queue_.front();
        const uint32_t n = std::min(bytes - copied, header->dwBufferLength - frontOffset_);
        std::memcpy(destination + copied, header->lpData + frontOffset_, n);
        copied += n;
        frontOffset_ += n;
        if (frontOffset_ >= header->dwBufferLength) {
            CompleteFrontLocked();
        }
    }
    return copied;
}

void CSndWaveQueue::Push(const char* source, uint32_t bytes) {
    std::lock_guard lock(mutex_);
    while (running_ && bytes > 0 && !queue_.empty()) {
        WAVEHDR* header = queue_.front();
        const uint32_t n = std::min(bytes, header->dwBufferLength - frontOffset_);
        std::memcpy(header->lpData + frontOffset_, source, n);
        source += n;
        bytes -= n;
        frontOffset_ += n;
        if (frontOffset_ >= header->dwBufferLength) {
            CompleteFrontLocked();
        }
    }
}
