#pragma once
// A playback device. Write copies each block into a buffer of its own; after every Open the first
// six blocks are collected and then queued together, so playback starts with some reserve; later
// blocks are queued at once, and a block that finds seven queued is dropped rather than waited
// for. Played buffers (MM_WOM_DONE, handled by OnDone) are kept a while before they are released.
#include <cstdint>
#include <deque>

#include "audio/CSndWaveBufferRef.h"
#include "audio/CSndWaveDeviceFormat.h"
#include "audio/SndWaveApi.h"

class CSndWaveOutDevice : public CSndWaveDeviceFormat {
public:
    enum State : uint32_t { DeviceOpen = 0, DeviceClosed = 3 };
    static constexpr uint32_t kKeptBuffers = 5;
    static constexpr int32_t kPrebufferBlocks = 6;
    static constexpr int32_t kMaxQueued = 7;

    explicit CSndWaveOutDevice(HWND callback);
    virtual ~CSndWaveOutDevice();
    CSndWaveOutDevice(const CSndWaveOutDevice&) = delete;
    CSndWaveOutDevice& operator=(const CSndWaveOutDevice&) = delete;

    MMRESULT Open();
    MMRESULT Close();
    MMRESULT PauseAndReset();
    MMRESULT Restart();
    MMRESULT Write(const void* data, uint32_t bytes);
    void OnDone(WAVEHDR* header);

    const char* GetErrorText();
    uint32_t SetFormat(const WAVEFORMATEX& format);

    State GetState() const { return state_; }
    MMRESULT GetLastError() const { return lastError_; }
    HWAVEOUT GetHandle() const { return device_; }
    std::size_t GetHeldCount() const { return held_.size(); }

    // The write queue is one for the whole process, shared by every output device.
    static bool IsPrebuffering() { return prebuffering_; }
    static int32_t GetQueuedCount() { return inDevice_; }

    // 64000 Hz mono 16-bit.
    static WAVEFORMATEX DefaultFormat();

private:
    MMRESULT Queue(CSndWaveBufferRef& buffer);

    std::deque<CSndWaveBufferRef> held_;
    HWAVEOUT device_ = nullptr;
    HWND callback_;
    MMRESULT lastError_ = MMSYSERR_NOERROR;
    State state_ = DeviceClosed;
    uint32_t keptBuffers_ = kKeptBuffers;
    char errorText_[200] = {};

    static bool prebuffering_;
    static int32_t countdown_;
    static int32_t inDevice_;
};
