#pragma once
// A recording device: buffers are queued to the platform and come back full as MM_WIM_DATA to the
// callback window, where the owner calls OnData. Delivered buffers stay held (and so valid) until
// more than the buffer count are held and TrimBuffers releases the oldest.
#include <cstdint>
#include <deque>

#include "audio/CSndWaveBufferRef.h"
#include "audio/CSndWaveDeviceFormat.h"
#include "audio/SndWaveApi.h"

class CSndWaveInDevice : public CSndWaveDeviceFormat {
public:
    enum State : uint32_t {
        DeviceOpen = 0,
        DeviceRunning = 1,
        DeviceStopped = 2,
        DeviceClosed = 3
    };
    static constexpr uint32_t kBufferCount = 15;
    static constexpr uint32_t kBufferSize = 4096;
    // Buffers held back from the device at Start, so delivered ones outlive their message.
    static constexpr uint32_t kUnqueuedBuffers = 5;

    explicit CSndWaveInDevice(HWND callback);
    virtual ~CSndWaveInDevice();
    CSndWaveInDevice(const CSndWaveInDevice&) = delete;
    CSndWaveInDevice& operator=(const CSndWaveInDevice&) = delete;

    virtual MMRESULT Open();
    virtual MMRESULT Close();
    virtual MMRESULT Start();
    virtual MMRESULT Stop();
    virtual MMRESULT ResetAndStop();
    // A buffer came back (MM_WIM_DATA): unprepare it and, while running, queue a fresh one.
    virtual MMRESULT OnData(WAVEHDR* header);

    void AddBuffer();
    void TrimBuffers();
    // Appends a buffer to the held ones without queuing it (the player's pre-filled blocks).
    void HoldBuffer(CSndWaveBufferRef buffer);
    // Once closed, the device queues nothing any more: it hands over the buffers it still holds,
    // whose blocks may wait for their consumer yet. Nothing while it is not closed.
    std::deque<CSndWaveBufferRef> TakeHeldBuffers();

    const char* GetErrorText();
    uint32_t SetFormat(const WAVEFORMATEX& format);

    State GetState() const { return state_; }
    MMRESULT GetLastError() const { return lastError_; }
    HWAVEIN GetHandle() const { return device_; }
    std::size_t GetHeldCount() const { return held_.size(); }
    uint32_t GetBufferSize() const { return bufferSize_; }
    HWND GetCallbackWindow() const { return callback_; }

    // 48000 Hz mono 16-bit.
    static WAVEFORMATEX DefaultFormat();

protected:
    void SetLastError(MMRESULT error) { lastError_ = error; }

private:
    // waveInReset, then the notices of the returned buffers are handled at once.
    MMRESULT ResetDevice();

    std::deque<CSndWaveBufferRef> held_;
    HWND callback_;
    HWAVEIN device_ = nullptr;
    MMRESULT lastError_ = MMSYSERR_NOERROR;
    State state_ = DeviceClosed;
    uint32_t bufferCount_ = kBufferCount;
    uint32_t bufferSize_ = kBufferSize;
    char errorText_[200] = {};
};
