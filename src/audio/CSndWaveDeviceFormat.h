#pragma once
// What a recording and a playback device share: the format the device opens with, a saved format
// its owner returns to after a change, and the device chosen.
#include <cstdint>

#include "audio/SndWaveApi.h"

class CSndWaveDeviceFormat {
public:
    void SetSavedFormat(const WAVEFORMATEX& format) { savedFormat_ = format; }
    WAVEFORMATEX GetFormat() const { return format_; }
    WAVEFORMATEX GetSavedFormat() const { return savedFormat_; }
    void SetDeviceId(uint32_t id) { deviceId_ = id; }

protected:
    explicit CSndWaveDeviceFormat(const WAVEFORMATEX& initial)
        : format_(initial), savedFormat_(initial) {}

    // Takes the format unless it names the same encoding, channels, rate and sample size, so a
    // format that differs only in its derived fields leaves the current one in place.
    void AdoptFormat(const WAVEFORMATEX& format) {
        if (format.formatTag != format_.formatTag || format.channels != format_.channels ||
            format.samplesPerSecond != format_.samplesPerSecond ||
            format.bitsPerSample != format_.bitsPerSample) {
            format_ = format;
        }
    }

    WAVEFORMATEX format_;
    uint32_t deviceId_ = WAVE_MAPPER;

private:
    WAVEFORMATEX savedFormat_;
};
