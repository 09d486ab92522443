#include "audio/CSndWaveInDevice.h"

#include <cstdio>
#include <utility>

#include "core/TmyMessageQueue.h"

WAVEFORMATEX CSndWaveInDevice::DefaultFormat() {
    return {WAVE_FORMAT_PCM, 1, 48000, 96000, 2, 16, 0};
}

CSndWaveInDevice::CSndWaveInDevice(HWND callback)
    : CSndWaveDeviceFormat(DefaultFormat()), callback_(callback) {}

CSndWaveInDevice::~CSndWaveInDevice() {
    if (state_ != DeviceClosed) {
        CSndWaveInDevice::Close();
    }
    held_.clear();
}

MMRESULT CSndWaveInDevice::Open() {
    if (device_ != nullptr) {
        if (const MMRESULT result = Close(); result != MMSYSERR_NOERROR) {
            return result;
        }
    }
    lastError_ = waveInOpen(&device_, deviceId_, &format_, callback_);
    state_ = lastError_ == MMSYSERR_NOERROR ? DeviceOpen : DeviceClosed;
    return lastError_;
}

MMRESULT CSndWaveInDevice::ResetDevice() {
    lastError_ = waveInReset(device_);
    if (lastError_ == MMSYSERR_NOERROR) {
        // The device no longer records, so the buffers it hands back are not replaced: that
        // would only queue new ones and keep the device from closing.
        if (state_ == DeviceRunning) {
            state_ = DeviceStopped;
        }
        TmyMessageQueue::ForCurrentThread().DispatchWaiting(callback_);
    }
    return lastError_;
}

MMRESULT CSndWaveInDevice::Close() {
    if (device_ == nullptr || state_ == DeviceClosed) {
        return MMSYSERR_NOERROR;
    }
    if (ResetDevice() == MMSYSERR_NOERROR) {
        lastError_ = waveInClose(device_);
        if (lastError_ == MMSYSERR_NOERROR) {
            device_ = nullptr;
            state_ = DeviceClosed;
        }
    }
    return lastError_;
}

MMRESULT CSndWaveInDevice::Start() {
    if (state_ == DeviceRunning) {
        return lastError_;
    }
    if (lastError_ == MMSYSERR_NOERROR) {
        lastError_ = waveInStart(device_);
        if (lastError_ == MMSYSERR_NOERROR) {
            state_ = DeviceRunning;
        }
    }
    for (uint32_t i = 0; i < bufferCount_ - kUnqueuedBuffers; ++i) {
        AddBuffer();
    }
    return lastError_;
}

// Stop and ResetAndStop succeed when there is nothing to stop, whatever failed before.
MMRESULT CSndWaveInDevice::Stop() {
    if (device_ == nullptr || state_ != DeviceRunning) {
        return MMSYSERR_NOERROR;
    }
    lastError_ = waveInStop(device_);
    if (lastError_ == MMSYSERR_NOERROR) {
        state_ = DeviceStopped;
    }
    return lastError_;
}

MMRESULT CSndWaveInDevice::ResetAndStop() {
    if (device_ == nullptr || state_ != DeviceRunning) {
        return MMSYSERR_NOERROR;
    }
    if (ResetDevice() == MMSYSERR_NOERROR) {
        lastError_ = waveInStop(device_);
    }
    return lastError_;
}

MMRESULT CSndWaveInDevice::OnData(WAVEHDR* header) {
    lastError_ = waveInUnprepareHeader(device_, header, sizeof *header);
    if (lastError_ == MMSYSERR_NOERROR && state_ == DeviceRunning) {
        AddBuffer();
    }
    return lastError_;
}

void CSndWaveInDevice::AddBuffer() {
    CSndWaveBufferRef buffer(CSndWaveBuffer::CreateInput(bufferSize_, true));
    if (!buffer) {
        lastError_ = MMSYSERR_NOMEM;
        return;
    }
    buffer.Prepare(device_);
    lastError_ = buffer.GetResult();
    if (lastError_ == MMSYSERR_NOERROR) {
        lastError_ = waveInAddBuffer(device_, buffer->GetHeader(), sizeof(WAVEHDR));
    }
    if (lastError_ == MMSYSERR_NOERROR) {
        held_.push_back(std::move(buffer));
    }
}

void CSndWaveInDevice::TrimBuffers() {
    if (held_.size() > bufferCount_) {
        held_.pop_front();
    }
}

void CSndWaveInDevice::HoldBuffer(CSndWaveBufferRef buffer) {
    held_.push_back(std::move(buffer));
}

std::deque<CSndWaveBufferRef> CSndWaveInDevice::TakeHeldBuffers() {
    if (state_ != DeviceClosed) {
        return {};
    }
    return std::exchange(held_, {});
}

const char* CSndWaveInDevice::GetErrorText() {
    if (waveInGetErrorText(lastError_, errorText_, sizeof errorText_) != MMSYSERR_NOERROR) {
        std::snprintf(errorText_, sizeof errorText_, "Error waveInGetErrorText");
    }
    return errorText_;
}

uint32_t CSndWaveInDevice::SetFormat(const WAVEFORMATEX& format) {
    if (state_ == DeviceOpen) {
        return 1;
    }
    AdoptFormat(format);
    return 0;
}
