#pragma once
// What moves the samples of an open wave device: the system's sound server, or the virtual sound
// card chosen with K740RX_AUDIO=virtual. A backend starts an engine for a device's queue; the
// engine fills or drains the queue on a clock of its own until it is destroyed.
#include <memory>

#include "audio/CSndWaveQueue.h"
#include "audio/SndWaveTypes.h"

class ISndAudioEngine {
public:
    virtual ~ISndAudioEngine() = default;
};

class ISndAudioBackend {
public:
    virtual ~ISndAudioBackend() = default;

    // The backend for the next open: the virtual card when K740RX_AUDIO=virtual, else the sound
    // server.
    static ISndAudioBackend& Get();

    // `device` is an index into the system's devices of the queue's direction, or WAVE_MAPPER.
    // On success `engine` runs for the queue; on failure it stays empty.
    virtual MMRESULT Open(const std::shared_ptr<CSndWaveQueue>& queue, uint32_t device,
                          std::unique_ptr<ISndAudioEngine>* engine) = 0;
};
