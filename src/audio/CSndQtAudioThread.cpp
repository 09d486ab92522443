#include "audio/CSndQtAudioThread.h"

#include <QBasicTimer>
#include <QCoreApplication>
#include <QObject>
#include <QTimerEvent>

#include "audio/CSndQtAudioWorker.h"

// Lives on the audio thread and drives it.
class CSndQtAudioTicker : public QObject {
public:
    explicit CSndQtAudioTicker(CSndQtAudioThread& thread) : thread_(thread) {
        timer_.start(CSndQtAudioThread::kTickMs, Qt::PreciseTimer, this);
    }

protected:
    void timerEvent(QTimerEvent*) override { thread_.Tick(); }

private:
    CSndQtAudioThread& thread_;
    QBasicTimer timer_;
};

namespace {

CSndQtAudioThread* g_thread = nullptr;

void StopThread() {
    if (g_thread != nullptr) {
        g_thread->quit();
        g_thread->wait(2000);
    }
}

}  // namespace

CSndQtAudioThread& CSndQtAudioThread::Get() {
    if (g_thread == nullptr) {
        // Never destroyed: a running thread must not be, and a process may end without the
        // application object's clean-up.
        g_thread = new CSndQtAudioThread;
        g_thread->setObjectName("K740RX audio");
        g_thread->start(QThread::TimeCriticalPriority);
        qAddPostRoutine(StopThread);
    }
    return *g_thread;
}

int CSndQtAudioThread::Add(std::function<std::unique_ptr<CSndQtAudioWorker>()> make) {
    std::lock_guard lock(mutex_);
    const int id = nextId_++;
    added_.emplace_back(id, std::move(make));
    return id;
}

void CSndQtAudioThread::Remove(int id) {
    std::lock_guard lock(mutex_);
    removed_.push_back(id);
}

void CSndQtAudioThread::run() {
    CSndQtAudioTicker ticker(*this);
    exec();
    workers_.clear();
}

void CSndQtAudioThread::Tick() {
    decltype(added_) added;
    decltype(removed_) removed;
    {
        std::lock_guard lock(mutex_);
        added.swap(added_);
        removed.swap(removed_);
    }
    for (auto& [id, make] : added) {
        workers_[id] = make();
    }
    for (int id : removed) {
        workers_.erase(id);
    }
    for (auto& [id, worker] : workers_) {
        worker->Feed();
    }
}
