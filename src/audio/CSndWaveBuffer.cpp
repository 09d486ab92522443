#include "audio/CSndWaveBuffer.h"

#include <chrono>
#include <cstring>
#include <new>
#include <thread>

#include "audio/K740RXAudioLog.h"

namespace {

// A queued buffer comes back once the device has played or filled it. One that a stalled device
// keeps beyond this is given up, so the window thread never waits for it for good.
constexpr int kStillQueuedTries = 2000;
constexpr auto kStillQueuedWait = std::chrono::milliseconds(1);

}  // namespace

CSndWaveBuffer::CSndWaveBuffer(Kind kind, char* data, uint32_t size, bool ownsData)
    : kind_(kind), ownsData_(ownsData ? 1 : 0) {
    header_.lpData = data;
    header_.dwBufferLength = size;
    header_.dwUser = reinterpret_cast<uintptr_t>(this);
    live_.fetch_add(1, std::memory_order_relaxed);
}

CSndWaveBuffer::~CSndWaveBuffer() {
    live_.fetch_sub(1, std::memory_order_relaxed);
    if (ownsData_) {
        delete[] header_.lpData;
    }
}

CSndWaveBuffer* CSndWaveBuffer::CreateInput(uint32_t size, bool clear) {
    char* data = clear ? new (std::nothrow) char[size]() : new (std::nothrow) char[size];
    if (data == nullptr) {
        return nullptr;
    }
    return new CSndWaveBuffer(kInput, data, size, true);
}

CSndWaveBuffer* CSndWaveBuffer::CreateOutput(const void* data, uint32_t size, bool copy) {
    if (!copy) {
        return new CSndWaveBuffer(kOutput, static_cast<char*>(const_cast<void*>(data)), size,
                                  false);
    }
    char* own = new (std::nothrow) char[size];
    if (own == nullptr || (data == nullptr && size > 0)) {
        delete[] own;
        return nullptr;
    }
    if (size > 0) {
        std::memcpy(own, data, size);
    }
    return new CSndWaveBuffer(kOutput, own, size, true);
}

void CSndWaveBuffer::Release() {
    if (--references_ > 0) {
        return;
    }
    if (LoadFlags(header_) & WHDR_INQUEUE) {
        // The device still holds it and may yet write to it: leaving it is safer than freeing it.
        qCWarning(lcAudio) << "A sound buffer was never handed back by its device";
        return;
    }
    delete this;
}

MMRESULT CSndWaveBuffer::Prepare(SndWaveDevice* device) {
    if (device == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (device_ != nullptr) {
        Unprepare();
    }
    device_ = device;
    switch (kind_) {
        case kOutput:
            return waveOutPrepareHeader(device, &header_, sizeof header_);
        case kInput:
            return waveInPrepareHeader(device, &header_, sizeof header_);
    }
    return MMSYSERR_INVALPARAM;
}

MMRESULT CSndWaveBuffer::Unprepare() {
    if (device_ == nullptr) {
        return MMSYSERR_NOERROR;
    }
    MMRESULT result = MMSYSERR_NOERROR;
    for (int tries = 0; tries < kStillQueuedTries; ++tries) {
        result = kind_ == kOutput ? waveOutUnprepareHeader(device_, &header_, sizeof header_)
                                  : waveInUnprepareHeader(device_, &header_, sizeof header_);
        if (result != WAVERR_STILLPLAYING) {
            break;
        }
        std::this_thread::sleep_for(kStillQueuedWait);
    }
    if (result == MMSYSERR_NOERROR) {
        device_ = nullptr;
    }
    return result;
}
