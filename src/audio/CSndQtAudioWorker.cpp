#include "audio/CSndQtAudioWorker.h"

#include <QAudioSink>
#include <QAudioSource>
#include <QCoreApplication>
#include <QThread>
#include <QTimerEvent>

#include "audio/K740RXAudioLog.h"

namespace {

QThread* g_thread = nullptr;

void StopThread() {
    if (g_thread != nullptr) {
        g_thread->quit();
        g_thread->wait(2000);
    }
}

}  // namespace

QThread* CSndQtAudioWorker::Thread() {
    if (g_thread == nullptr) {
        // Never destroyed: a running thread must not be, and the process may end without the
        // application object's clean-up.
        g_thread = new QThread;
        g_thread->setObjectName("K740RX audio");
        g_thread->start(QThread::TimeCriticalPriority);
        qAddPostRoutine(StopThread);
    }
    return g_thread;
}

CSndQtAudioWorker::CSndQtAudioWorker(std::shared_ptr<CSndWaveQueue> queue,
                                     const QAudioDevice& device, const QAudioFormat& format)
    : queue_(std::move(queue)), device_(device), format_(format) {}

CSndQtAudioWorker::~CSndQtAudioWorker() {
    timer_.stop();
    if (sink_ != nullptr) {
        sink_->disconnect(this);
        sink_->stop();
    }
    if (source_ != nullptr) {
        source_->disconnect(this);
        source_->stop();
    }
}

void CSndQtAudioWorker::Start() {
    if (queue_->GetDirection() == CSndWaveQueue::Direction::Output) {
        sink_ = new QAudioSink(device_, format_, this);
        sink_->setBufferSize(format_.bytesForDuration(kSinkBufferMs * 1000));
        connect(sink_, &QAudioSink::stateChanged, this, &CSndQtAudioWorker::OnState);
        io_ = sink_->start();
        timer_.start(kTickMs, Qt::PreciseTimer, this);
    } else {
        source_ = new QAudioSource(device_, format_, this);
        connect(source_, &QAudioSource::stateChanged, this, &CSndQtAudioWorker::OnState);
        io_ = source_->start();
        if (io_ != nullptr) {
            connect(io_, &QIODevice::readyRead, this, &CSndQtAudioWorker::Collect);
        }
    }
    if (io_ == nullptr) {
        qCWarning(lcAudio) << "Cannot start" << device_.description();
        queue_->Fail();
    }
}

void CSndQtAudioWorker::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timer_.timerId()) {
        Feed();
    }
}

void CSndQtAudioWorker::Feed() {
    if (io_ == nullptr || sink_ == nullptr) {
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

void CSndQtAudioWorker::Collect() {
    const QByteArray data = io_->readAll();
    queue_->Push(data.constData(), uint32_t(data.size()));
}

void CSndQtAudioWorker::OnState(QAudio::State state) {
    const QAudio::Error error = sink_ != nullptr ? sink_->error() : source_->error();
    // Running dry is normal for an output fed in blocks; anything else that stops the stream means
    // the server is gone or refused it.
    if (state == QAudio::StoppedState && error != QAudio::NoError) {
        qCWarning(lcAudio) << "Sound stream of" << device_.description() << "stopped:" << error;
        timer_.stop();
        io_ = nullptr;
        queue_->Fail();
    }
}
