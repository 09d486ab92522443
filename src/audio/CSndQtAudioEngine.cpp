#include "audio/CSndQtAudioEngine.h"

#include <QMetaObject>

#include "audio/CSndQtAudioWorker.h"

CSndQtAudioEngine::CSndQtAudioEngine(std::shared_ptr<CSndWaveQueue> queue,
                                     const QAudioDevice& device, const QAudioFormat& format)
    : worker_(new CSndQtAudioWorker(std::move(queue), device, format)) {
    worker_->moveToThread(CSndQtAudioWorker::Thread());
    QMetaObject::invokeMethod(worker_, &CSndQtAudioWorker::Start, Qt::QueuedConnection);
}

CSndQtAudioEngine::~CSndQtAudioEngine() {
    worker_->deleteLater();
}
