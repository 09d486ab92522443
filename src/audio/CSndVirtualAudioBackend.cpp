#include "audio/CSndVirtualAudioBackend.h"

#include "audio/CSndVirtualAudioEngine.h"

CSndVirtualAudioBackend::CSndVirtualAudioBackend(const QString& outputFile)
    : outputFile_(outputFile) {}

MMRESULT CSndVirtualAudioBackend::Open(const std::shared_ptr<CSndWaveQueue>& queue, uint32_t device,
                                       std::unique_ptr<ISndAudioEngine>* engine) {
    if (device != WAVE_MAPPER && device != 0) {
        return MMSYSERR_BADDEVICEID;  // the card has one device each way
    }
    *engine = std::make_unique<CSndVirtualAudioEngine>(queue, *this);
    return MMSYSERR_NOERROR;
}

void CSndVirtualAudioBackend::Played(const WAVEFORMATEX& format, const char* data, uint32_t bytes) {
    if (outputFile_.isEmpty() || format.bitsPerSample != 16 || format.channels != 1) {
        return;
    }
    std::lock_guard lock(mutex_);
    if (!recorder_.IsOpen()) {
        if (recorderRate_ != 0 || !recorder_.Open(outputFile_, format.samplesPerSecond)) {
            recorderRate_ = 1;  // tried once; a file that cannot be made is not tried again
            return;
        }
        recorderRate_ = format.samplesPerSecond;
    }
    if (format.samplesPerSecond == recorderRate_) {
        recorder_.Write(reinterpret_cast<const int16_t*>(data), bytes / 2);
    }
}

void CSndVirtualAudioBackend::Stopped() {
    std::lock_guard lock(mutex_);
    recorder_.Flush();
}
