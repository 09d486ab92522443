#include "audio/CSndQtAudioEngine.h"

#include "audio/CSndQtAudioThread.h"
#include "audio/CSndQtAudioWorker.h"

CSndQtAudioEngine::CSndQtAudioEngine(std::shared_ptr<CSndWaveQueue> queue,
                                     const QAudioDevice& device, const QAudioFormat& format)
    : id_(CSndQtAudioThread::Get().Add([queue = std::move(queue), device, format] {
          return std::make_unique<CSndQtAudioWorker>(queue, device, format);
      })) {}

CSndQtAudioEngine::~CSndQtAudioEngine() {
    CSndQtAudioThread::Get().Remove(id_);
}
