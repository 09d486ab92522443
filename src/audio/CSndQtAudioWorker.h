#pragma once
// The part of a sound-server device that lives on the audio thread: the Qt stream, fed (output) or
// emptied (input) into the device's queue. A stream that stops with an error fails its queue,
// which hands every buffer back, so the program goes on without sound instead of waiting for it.
#include <QAudio>
#include <QAudioDevice>
#include <QAudioFormat>
#include <memory>
#include <vector>

#include "audio/CSndWaveQueue.h"

class QAudioSink;
class QAudioSource;
class QIODevice;

class CSndQtAudioWorker {
public:
    static constexpr int kSinkBufferMs = 120;

    // Starts the stream; runs on the audio thread.
    CSndQtAudioWorker(std::shared_ptr<CSndWaveQueue> queue, const QAudioDevice& device,
                      const QAudioFormat& format);
    ~CSndQtAudioWorker();
    CSndQtAudioWorker(const CSndQtAudioWorker&) = delete;
    CSndQtAudioWorker& operator=(const CSndQtAudioWorker&) = delete;

    // Every tick: hands an output what fits in its buffer, takes what an input recorded.
    void Feed();

private:
    void OnState(QAudio::State state);

    const std::shared_ptr<CSndWaveQueue> queue_;
    const QAudioDevice device_;
    const QAudioFormat format_;
    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<QAudioSource> source_;
    QIODevice* io_ = nullptr;
    std::vector<char> buffer_;
};
