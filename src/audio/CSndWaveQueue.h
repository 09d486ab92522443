#pragma once
// The buffers queued in one open wave device, shared between the window thread (which queues
// them) and the thread that moves the samples (which fills or drains them). A buffer that is
// finished leaves the queue in order and its notice is posted to the callback window.
#include <cstdint>
#include <deque>
#include <mutex>

#include "audio/SndWaveTypes.h"

class CSndWaveQueue {
public:
    enum class Direction { Output, Input };

    CSndWaveQueue(Direction direction, HWND callback, uintptr_t device, const WAVEFORMATEX& format);

    Direction GetDirection() const { return direction_; }
    const WAVEFORMATEX& GetFormat() const { return format_; }

    // Window thread.
    MMRESULT Add(WAVEHDR* header);
    // Input: samples arrive only while running; stopping hands back a partly filled buffer.
    // Output: samples leave only while running (not paused).
    void SetRunning(bool running);
    // Hands back every queued buffer, as it is.
    void Reset();
    bool IsEmpty() const;
    // No notices any more: the device is closed.
    void Detach();

    // Sample thread. Output: copies up to `bytes` queued bytes into `destination` and returns the
    // count. Input: fills queued buffers from `source`; bytes with no buffer to go to are lost.
    uint32_t Pull(char* destination, uint32_t bytes);
    void Push(const char* source, uint32_t bytes);
    // The sound server is gone: every queued buffer is handed back, later ones are refused.
    void Fail();
    bool HasFailed() const;

private:
    void CompleteFrontLocked();

    const Direction direction_;
    const HWND callback_;
    const uintptr_t device_;
    const WAVEFORMATEX format_;
    const UINT doneMessage_;
    mutable std::mutex mutex_;
    std::deque<WAVEHDR*> queue_;
    uint32_t frontOffset_ = 0;  // bytes of the front buffer already moved
    bool running_;
    bool detached_ = false;
    bool failed_ = false;
};
