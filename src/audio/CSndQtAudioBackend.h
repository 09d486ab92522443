#pragma once
// The system's sound server through Qt Multimedia. Opening picks the device and checks the format
// at once; the stream itself runs on the audio thread, so a slow or vanished server never holds up
// the caller.
#include "audio/ISndAudioBackend.h"

class CSndQtAudioBackend : public ISndAudioBackend {
public:
    MMRESULT Open(const std::shared_ptr<CSndWaveQueue>& queue, uint32_t device,
                  std::unique_ptr<ISndAudioEngine>* engine) override;
};
