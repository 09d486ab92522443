#include "audio/CSndWaveInGeneratorNoise.h"

#include <cstdlib>
#include <ctime>

CSndWaveInGeneratorNoise::CSndWaveInGeneratorNoise(HWND callback)
    : CSndWaveInDevice(callback), random_(static_cast<uint32_t>(std::time(nullptr))) {}

MMRESULT CSndWaveInGeneratorNoise::OnData(WAVEHDR* header) {
    const MMRESULT result = waveInUnprepareHeader(GetHandle(), header, sizeof *header);
    SetLastError(result);
    if (result != MMSYSERR_NOERROR) {
        return result;
    }
    auto* samples = reinterpret_cast<int16_t*>(header->lpData);
    for (uint32_t i = 0; i < header->dwBufferLength / 2; ++i) {
        // A folded, wrapped Gaussian: a low, non-negative hiss.
        const float g = random_.Normal();
        const auto v = static_cast<int32_t>(g * 65535.0);
        samples[i] = static_cast<int16_t>(std::abs(v) % kModulus);
    }
    if (GetState() == DeviceRunning) {
        AddBuffer();
    }
    return GetLastError();
}
