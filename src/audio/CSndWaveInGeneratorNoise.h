#pragma once
// The demo's noise source: a recording device used only as a clock, whose blocks are overwritten
// with noise before they are delivered.
#include "audio/CRandomGenerator.h"
#include "audio/CSndWaveInDevice.h"

class CSndWaveInGeneratorNoise : public CSndWaveInDevice {
public:
    // Samples lie in 0 .. kModulus - 1.
    static constexpr int32_t kModulus = 500;

    explicit CSndWaveInGeneratorNoise(HWND callback);

    MMRESULT OnData(WAVEHDR* header) override;

private:
    CRandomGenerator random_;
};
