#include "core/TmyApplication.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

#include "core/TmyMessageQueue.h"

TmyApplication& TmyApplication::Process() {
    static TmyApplication app;
    return app;
}

void TmyApplication::Run() {
    if (quit_) {
        return;
    }
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
}

void TmyApplication::RunNested(QEventLoop& loop) {
    if (quit_) {
        return;
    }
    nested_.push_back(&loop);
    loop.exec();
    nested_.erase(std::find(nested_.begin(), nested_.end(), &loop));
}

void TmyApplication::Quit() {
    quit_ = true;
    if (loop_ != nullptr) {
        loop_->quit();
    }
    for (QEventLoop* nested : nested_) {
        nested->quit();
    }
}

void TmySleep(unsigned ms) {
    const bool windowThread = QCoreApplication::instance() != nullptr &&
                              QThread::currentThread() == QCoreApplication::instance()->thread();
    if (!windowThread) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    TmyMessageQueue& queue = TmyMessageQueue::ForCurrentThread();
    queue.Hold();
    QEventLoop loop;
    QTimer::singleShot(std::chrono::milliseconds(ms), &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    queue.Release();
}
