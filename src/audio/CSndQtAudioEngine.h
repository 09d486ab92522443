#pragma once
// One open device on the sound server: its stream lives on the audio thread for as long as the
// engine does.
#include <QAudioDevice>
#include <QAudioFormat>

#include "audio/ISndAudioBackend.h"

class CSndQtAudioEngine : public ISndAudioEngine {
public:
    CSndQtAudioEngine(std::shared_ptr<CSndWaveQueue> queue, const QAudioDevice& device,
                      const QAudioFormat& format);
    // Does not wait: the stream is dropped on the audio thread.
    ~CSndQtAudioEngine() override;

private:
    int id_;
};
