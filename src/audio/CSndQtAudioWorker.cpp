#include "audio/CSndQtAudioWorker.h"

#include <QAudioSink>
#include <QAudioSource>

#include "audio/K740RXAudioLog.h"

CSndQtAudioWorker::CSndQtAudioWorker(std::shared_ptr<CSndWaveQueue> queue,
                                     const QAudioDevice& device, const QAudioFormat& format)
    : queue_(std::move(queue)), device_(device), format_(format) {
    if (queue_->GetDirection() == CSndWaveQueue::Direction::Output) {
        sink_ = std::make_unique<QAudioSink>(device_, format_);
        sink_->setBufferSize(format_.bytesForDuration(kSinkBufferMs * 1000));
        QObject::connect(sink_.get(), &QAudioSink::stateChanged, sink_.get(),
                         [this](QAudio::State state) { OnState(state); });
        io_ = sink_->start();
    } else {
        source_ = std::make_unique<QAudioSource>(device_, format_);
        QObject::connect(source_.get(), &QAudioSource::stateChanged, source_.get(),
                         [this](QAudio::State state) { OnState(state); });
        io_ = source_->start();
    }
    if (io_ == nullptr) {
        qCWarning(lcAudio) << "Cannot start" << device_.description();
        queue_->Fail();
    }
}

CSndQtAudioWorker::~CSndQtAudioWorker() {
    if (sink_) {
        sink_->disconnect();
        sink_->stop();
    }
    if (source_) {
        source_->disconnect();
        source_->stop();
    }
}

void CSndQtAudioWorker::Feed() {
    if (io_ == nullptr) {
        return;
    }
    if (source_) {
        const QByteArray data = io_->readAll();
        queue_->Push(data.constData(), uint32_t(data.size()));
        return;
    }
    const int frame = format_.bytesPerFrame();
    const qsizetype room = sink_->bytesFree() / frame * frame;
    if (room <= 0) {
        return;
    }
    buffer_.resize(std::size_t(room));
    const uint32_t n = queue_->Pull(buffer_.data(), uint32_t(room));
    if (n > 0) {
        io_->write(buffer_.data(), n);
    }
}

void CSndQtAudioWorker::OnState(QAudio::State state) {
    const QAudio::Error error = sink_ ? sink_->error() : source_->error();
    // Running dry is normal for an output fed in blocks; anything else that stops the stream means
    // the server is gone or refused it.
    if (state == QAudio::StoppedState && error != QAudio::NoError) {
        qCWarning(lcAudio) << "Sound stream of" << device_.description() << "stopped:" << error;
        io_ = nullptr;
        queue_->Fail();
    }
}
