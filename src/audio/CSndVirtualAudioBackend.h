#pragma once
// The virtual sound card: one device each way, clocked in real time by a thread per open device.
// Its input records silence; its output is discarded, or written to a WAV file when one is named
// (K740RX_AUDIO_OUTPUT), all opens of the process appending to the same file.
#include <QString>
#include <memory>
#include <mutex>

#include "audio/CSndWaveRecorder.h"
#include "audio/ISndAudioBackend.h"

class CSndVirtualAudioBackend : public ISndAudioBackend {
public:
    explicit CSndVirtualAudioBackend(const QString& outputFile = {});

    MMRESULT Open(const std::shared_ptr<CSndWaveQueue>& queue, uint32_t device,
                  std::unique_ptr<ISndAudioEngine>* engine) override;

    // Called by the output engines with what they played.
    void Played(const WAVEFORMATEX& format, const char* data, uint32_t bytes);
    // An output closed: the file's header gets the sizes so far.
    void Stopped();

private:
    const QString outputFile_;
    std::mutex mutex_;
    CSndWaveRecorder recorder_;
    uint32_t recorderRate_ = 0;
};
