#pragma once
// The part of a sound-server device that lives on the audio thread: the Qt stream and the timer
// that feeds an output. A stream that stops with an error fails its queue, which hands every
// buffer back, so the program goes on without sound instead of waiting for it.
#include <QAudio>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QBasicTimer>
#include <QObject>
#include <memory>
#include <vector>

#include "audio/CSndWaveQueue.h"

class QAudioSink;
class QAudioSource;
class QIODevice;

class CSndQtAudioWorker : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 10;
    static constexpr int kSinkBufferMs = 120;

    CSndQtAudioWorker(std::shared_ptr<CSndWaveQueue> queue, const QAudioDevice& device,
                      const QAudioFormat& format);
    ~CSndQtAudioWorker() override;

    // The audio thread, started on first use and stopped when the application object goes.
    static QThread* Thread();

    // Runs on the audio thread.
    void Start();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void Feed();
    void Collect();
    void OnState(QAudio::State state);

    const std::shared_ptr<CSndWaveQueue> queue_;
    const QAudioDevice device_;
    const QAudioFormat format_;
    QAudioSink* sink_ = nullptr;
    QAudioSource* source_ = nullptr;
    QIODevice* io_ = nullptr;
    QBasicTimer timer_;
    std::vector<char> buffer_;
};
