#include "audio/CSndWaveOutDevice.h"

#include <cstdio>

#include "core/TmyMessageQueue.h"

bool CSndWaveOutDevice::prebuffering_ = true;
int32_t CSndWaveOutDevice::countdown_ = kPrebufferBlocks;
int32_t CSndWaveOutDevice::inDevice_ = 0;

WAVEFORMATEX CSndWaveOutDevice::DefaultFormat() {
    return {WAVE_FORMAT_PCM, 1, 64000, 128000, 2, 16, 0};
}

CSndWaveOutDevice::CSndWaveOutDevice(HWND callback)
    : CSndWaveDeviceFormat(DefaultFormat()), callback_(callback) {}

CSndWaveOutDevice::~CSndWaveOutDevice() {
    if (state_ != DeviceClosed) {
        Close();
    }
    held_.clear();
}

MMRESULT CSndWaveOutDevice::Open() {
    if (device_ != nullptr) {
        if (const MMRESULT result = Close(); result != MMSYSERR_NOERROR) {
            return result;
        }
    }
    lastError_ = waveOutOpen(&device_, deviceId_, &format_, callback_);
    state_ = lastError_ == MMSYSERR_NOERROR ? DeviceOpen : DeviceClosed;
    prebuffering_ = true;
    countdown_ = kPrebufferBlocks;
    inDevice_ = 0;
    return lastError_;
}

MMRESULT CSndWaveOutDevice::Close() {
    if (device_ == nullptr) {
        return MMSYSERR_NOERROR;
    }
    lastError_ = waveOutReset(device_);
    if (lastError_ == MMSYSERR_NOERROR) {
        TmyMessageQueue::ForCurrentThread().DispatchWaiting(callback_);
        held_.clear();
        lastError_ = waveOutClose(device_);
        if (lastError_ == MMSYSERR_NOERROR) {
            device_ = nullptr;
            state_ = DeviceClosed;
        }
    }
    return lastError_;
}

MMRESULT CSndWaveOutDevice::PauseAndReset() {
    if (device_ != nullptr) {
        lastError_ = waveOutPause(device_) + waveOutReset(device_);
    }
    return lastError_;
}

MMRESULT CSndWaveOutDevice::Restart() {
    if (device_ != nullptr) {
        lastError_ = waveOutRestart(device_);
    }
    return lastError_;
}

MMRESULT CSndWaveOutDevice::Queue(CSndWaveBufferRef& buffer) {
    lastError_ = waveOutWrite(device_, buffer->GetHeader(), sizeof(WAVEHDR));
    ++inDevice_;
    return lastError_;
}

MMRESULT CSndWaveOutDevice::Write(const void* data, uint32_t bytes) {
    CSndWaveBufferRef buffer(CSndWaveBuffer::CreateOutput(data, bytes, true));
    if (!buffer) {
        return lastError_ = MMSYSERR_NOMEM;
    }
    buffer.Prepare(device_);
    buffer->GetHeader()->dwLoops = 0;
    if (inDevice_ >= kMaxQueued) {
        return MMSYSERR_NOERROR;  // the block is dropped
    }
    held_.push_back(buffer);
    if (prebuffering_) {
        if (--countdown_ == 0) {
            prebuffering_ = false;
            for (CSndWaveBufferRef& waiting : held_) {
                Queue(waiting);
            }
        }
    } else {
        Queue(buffer);
    }
    return lastError_;
}

void CSndWaveOutDevice::OnDone(WAVEHDR* header) {
    --inDevice_;
    if (waveOutUnprepareHeader(device_, header, sizeof *header) == MMSYSERR_NOERROR &&
        held_.size() > keptBuffers_) {
        held_.pop_front();
    }
}

const char* CSndWaveOutDevice::GetErrorText() {
    if (waveOutGetErrorText(lastError_, errorText_, sizeof errorText_) != MMSYSERR_NOERROR) {
        std::snprintf(errorText_, sizeof errorText_, "Error waveOutGetErrorText");
    }
    return errorText_;
}

uint32_t CSndWaveOutDevice::SetFormat(const WAVEFORMATEX& format) {
    AdoptFormat(format);
    return 0;
}
