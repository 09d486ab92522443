#pragma once
// One open device on the sound server. Its stream lives on the audio thread (one for the whole
// process) and is fed from there on a timer of its own, so a busy window thread cannot starve it.
#include <QAudioDevice>
#include <QAudioFormat>

#include "audio/ISndAudioBackend.h"

class CSndQtAudioWorker;

class CSndQtAudioEngine : public ISndAudioEngine {
public:
    CSndQtAudioEngine(std::shared_ptr<CSndWaveQueue> queue, const QAudioDevice& device,
                      const QAudioFormat& format);
    // Does not wait: the stream is torn down on the audio thread.
    ~CSndQtAudioEngine() override;

private:
    CSndQtAudioWorker* worker_;
};
