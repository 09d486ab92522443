#include "sync/CnxThread.h"

#include <pthread.h>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <system_error>

namespace {

constexpr std::chrono::milliseconds kStopWait(1000);
constexpr auto kPauseAfterMessage = std::chrono::milliseconds(5);

// Ids 0 (no thread) and 1 are never handed out.
std::uint32_t NextThreadId() {
    static CnxAtomic<std::uint32_t> counter{1};
    std::uint32_t id = ++counter;
    while (id < 2) {
        id = ++counter;
    }
    return id;
}

// Shown by top -H and debuggers; the id tells the program's threads apart.
void NameThread(std::thread& thread, std::uint32_t id) {
    char name[24];
    std::snprintf(name, sizeof name, "k740rx-%u", id);
    name[15] = '\0';  // the system keeps 15 characters
    pthread_setname_np(thread.native_handle(), name);
}

std::uint32_t TickCount() {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

}  // namespace

struct CnxThread::QueuedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::uint32_t time = 0;
};

struct CnxThread::Control {
    std::mutex mutex;
    std::condition_variable changed;  // a message arrived, a stop was requested or the thread ended
    std::deque<QueuedMessage> queue;
    bool finished = true;
    CnxAtomic<std::uint32_t> threadId{0};
};

CnxThread::CnxThread(bool autoStart)
    : autoStart_(autoStart), control_(std::make_shared<Control>()) {
    if (autoStart_) {
        Launch(true);
    }
}

CnxThread::~CnxThread() {
    if (!handle_.joinable()) {
        return;
    }
    if (IsCallerTheThread()) {
        // Destroyed from its own Run: after Run returns the thread touches only the shared control.
        handle_.detach();
        return;
    }
    RequestStop();
    Enqueue(WM_QUIT, 0, 0);
    const auto grace =
        kStopWait + std::chrono::milliseconds(std::uint64_t{waitSlice_} * waitCount_);
    if (WaitForEnd(grace)) {
        handle_.join();
        return;
    }
    std::fprintf(stderr, "CnxThread %u did not end; detached\n", GetThreadId());
    handle_.detach();
}

bool CnxThread::Start() {
    return Launch(false);
}

bool CnxThread::Launch(bool baseLoopOnly) {
    if (!Stop()) {
        return false;
    }
    {
        std::lock_guard lock(control_->mutex);
        control_->queue.clear();
        control_->finished = false;
    }
    stopRequest_ = 0;
    const std::uint32_t id = NextThreadId();
    control_->threadId = id;
    try {
        handle_ = std::thread([this, baseLoopOnly, control = control_] {
            if (baseLoopOnly) {
                CnxThread::Run();
            } else {
                Run();
            }
            control->threadId = 0;
            {
                std::lock_guard lock(control->mutex);
                control->finished = true;
            }
            control->changed.notify_all();
        });
    } catch (const std::system_error&) {
        control_->threadId = 0;
        std::lock_guard lock(control_->mutex);
        control_->finished = true;
        return false;
    }
    NameThread(handle_, id);
    return true;
}

bool CnxThread::Stop() {
    if (!handle_.joinable()) {
        return true;
    }
    if (IsCallerTheThread() || !WaitForEnd(kStopWait)) {
        return false;
    }
    handle_.join();
    return true;
}

bool CnxThread::WaitForEnd(std::chrono::milliseconds timeout) {
    std::unique_lock lock(control_->mutex);
    return control_->changed.wait_for(lock, timeout, [this] { return control_->finished; });
}

std::uint32_t CnxThread::GetThreadId() const {
    return control_->threadId;
}

bool CnxThread::PostToThread(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!IsRunning()) {
        return false;
    }
    Enqueue(message, wParam, lParam);
    return true;
}

void CnxThread::Enqueue(UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard lock(control_->mutex);
        control_->queue.push_back({message, wParam, lParam, TickCount()});
    }
    control_->changed.notify_all();
}

void CnxThread::RequestStop() {
    stopRequest_ = 1;
    // Taking the lock orders the flag before a waiter's next look at it, so the wake-up is not
    // lost.
    { std::lock_guard lock(control_->mutex); }
    control_->changed.notify_all();
}

bool CnxThread::NextMessage(QueuedMessage& message) {
    std::unique_lock lock(control_->mutex);
    control_->changed.wait(lock, [this] { return IsStopRequested() || !control_->queue.empty(); });
    if (IsStopRequested()) {
        return false;
    }
    message = control_->queue.front();
    control_->queue.pop_front();
    return message.message != WM_QUIT;
}

void CnxThread::Run() {
    QueuedMessage message;
    while (NextMessage(message)) {
        OnMessage(0, message.message, message.wParam, message.lParam, message.time, 0, 0);
        std::this_thread::sleep_for(kPauseAfterMessage);
    }
}

void CnxThread::OnMessage(HWND, UINT, WPARAM, LPARAM, std::uint32_t, std::int32_t, std::int32_t) {}
