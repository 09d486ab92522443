#include "audio/SndWaveApi.h"

#include <cstdio>
#include <memory>

#include "audio/ISndAudioBackend.h"

struct SndWaveDevice {
    std::shared_ptr<CSndWaveQueue> queue;
    std::unique_ptr<ISndAudioEngine> engine;
};

namespace {

bool IsPlayableFormat(const WAVEFORMATEX& f) {
    return f.formatTag == WAVE_FORMAT_PCM && (f.channels == 1 || f.channels == 2) &&
           (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.samplesPerSecond >= 1000 &&
           f.samplesPerSecond <= 192000 && f.blockAlign == f.channels * f.bitsPerSample / 8 &&
           f.bytesPerSecond == f.samplesPerSecond * f.blockAlign;
}

MMRESULT Open(SndWaveDevice** device, CSndWaveQueue::Direction direction, uint32_t deviceId,
              const WAVEFORMATEX* format, HWND callback) {
    if (device == nullptr || format == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    *device = nullptr;
    if (!IsPlayableFormat(*format)) {
        return WAVERR_BADFORMAT;
    }
    auto opened = std::make_unique<SndWaveDevice>();
    opened->queue = std::make_shared<CSndWaveQueue>(
        direction, callback, reinterpret_cast<uintptr_t>(opened.get()), *format);
    const MMRESULT result = ISndAudioBackend::Get().Open(opened->queue, deviceId, &opened->engine);
    if (result == MMSYSERR_NOERROR) {
        *device = opened.release();
    }
    return result;
}

MMRESULT Close(SndWaveDevice* device) {
    if (device == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (!device->queue->IsEmpty()) {
        return WAVERR_STILLPLAYING;  // reset first
    }
    device->queue->Detach();
    delete device;
    return MMSYSERR_NOERROR;
}

// Preparing touches only the header, never the device: a buffer released after its device closed
// does no harm.
MMRESULT Prepare(SndWaveDevice* device, WAVEHDR* header) {
    if (device == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (header == nullptr || header->lpData == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    StoreFlags(*header, LoadFlags(*header) | WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT Unprepare(SndWaveDevice* device, WAVEHDR* header) {
    if (device == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (header == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    const uint32_t flags = LoadFlags(*header);
    if (flags & WHDR_INQUEUE) {
        return WAVERR_STILLPLAYING;
    }
    StoreFlags(*header, flags & ~WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT Queue(SndWaveDevice* device, WAVEHDR* header) {
    if (device == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    if (header == nullptr) {
        return MMSYSERR_INVALPARAM;
    }
    const uint32_t flags = LoadFlags(*header);
    if (!(flags & WHDR_PREPARED)) {
        return WAVERR_UNPREPARED;
    }
    if (flags & WHDR_INQUEUE) {
        return WAVERR_STILLPLAYING;
    }
    return device->queue->Add(header);
}

MMRESULT SetRunning(SndWaveDevice* device, bool running) {
    if (device == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    device->queue->SetRunning(running);
    return MMSYSERR_NOERROR;
}

MMRESULT Reset(SndWaveDevice* device) {
    if (device == nullptr) {
        return MMSYSERR_INVALHANDLE;
    }
    device->queue->Reset();
    return MMSYSERR_NOERROR;
}

const char* ErrorText(MMRESULT error) {
    switch (error) {
        case MMSYSERR_NOERROR:
            return "No error.";
        case MMSYSERR_ERROR:
            return "The sound device reported an unspecified error.";
        case MMSYSERR_BADDEVICEID:
            return "There is no sound device with this number.";
        case MMSYSERR_INVALHANDLE:
            return "The sound device is not open.";
        case MMSYSERR_NODRIVER:
            return "No sound device is available: the sound server is missing or has stopped.";
        case MMSYSERR_NOMEM:
            return "There is not enough memory for the sound device.";
        case MMSYSERR_INVALPARAM:
            return "A sound function was given an invalid parameter.";
        case WAVERR_BADFORMAT:
            return "The sound device does not support this audio format.";
        case WAVERR_STILLPLAYING:
            return "The sound buffer is still in use by the device.";
        case WAVERR_UNPREPARED:
            return "The sound buffer was not prepared for the device.";
        default:
            return nullptr;
    }
}

MMRESULT GetErrorText(MMRESULT error, char* text, uint32_t size) {
    if (text == nullptr || size == 0) {
        return MMSYSERR_INVALPARAM;
    }
    const char* known = ErrorText(error);
    if (known == nullptr) {
        return MMSYSERR_BADERRNUM;
    }
    std::snprintf(text, size, "%s", known);
    return MMSYSERR_NOERROR;
}

}  // namespace

MMRESULT waveOutOpen(HWAVEOUT* device, uint32_t deviceId, const WAVEFORMATEX* format,
                     HWND callback) {
    return Open(device, CSndWaveQueue::Direction::Output, deviceId, format, callback);
}
MMRESULT waveOutClose(HWAVEOUT device) {
    return Close(device);
}
MMRESULT waveOutReset(HWAVEOUT device) {
    return Reset(device);
}
MMRESULT waveOutPause(HWAVEOUT device) {
    return SetRunning(device, false);
}
MMRESULT waveOutRestart(HWAVEOUT device) {
    return SetRunning(device, true);
}
MMRESULT waveOutPrepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t) {
    return Prepare(device, header);
}
MMRESULT waveOutUnprepareHeader(HWAVEOUT device, WAVEHDR* header, uint32_t) {
    return Unprepare(device, header);
}
MMRESULT waveOutWrite(HWAVEOUT device, WAVEHDR* header, uint32_t) {
    return Queue(device, header);
}
MMRESULT waveOutGetErrorText(MMRESULT error, char* text, uint32_t size) {
    return GetErrorText(error, text, size);
}

MMRESULT waveInOpen(HWAVEIN* device, uint32_t deviceId, const WAVEFORMATEX* format, HWND callback) {
    return Open(device, CSndWaveQueue::Direction::Input, deviceId, format, callback);
}
MMRESULT waveInClose(HWAVEIN device) {
    return Close(device);
}
MMRESULT waveInReset(HWAVEIN device) {
    return Reset(device);
}
MMRESULT waveInStart(HWAVEIN device) {
    return SetRunning(device, true);
}
MMRESULT waveInStop(HWAVEIN device) {
    return SetRunning(device, false);
}
MMRESULT waveInPrepareHeader(HWAVEIN device, WAVEHDR* header, uint32_t) {
    return Prepare(device, header);
}
MMRESULT waveInUnprepareHeader(HWAVEIN device, WAVEHDR* header, uint32_t) {
    return Unprepare(device, header);
}
MMRESULT waveInAddBuffer(HWAVEIN device, WAVEHDR* header, uint32_t) {
    return Queue(device, header);
}
MMRESULT waveInGetErrorText(MMRESULT error, char* text, uint32_t size) {
    return GetErrorText(error, text, size);
}
