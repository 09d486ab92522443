#include "sync/CnxThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <thread>
#include <vector>

#include "sync/CnxEventManual.h"

namespace {

constexpr std::uint32_t kGenerousMs = 10000;

// Base message loop, recording what reaches OnMessage.
class RecordingThread : public CnxThread {
public:
    explicit RecordingThread(bool autoStart = false) : CnxThread(autoStart) {}
    ~RecordingThread() override {
        RequestStop();
        Stop();
    }

    std::vector<TmyMessage> Received() {
        std::lock_guard lock(mutex_);
        return received_;
    }
    CnxEventManual arrived;
    using CnxThread::RequestStop;

protected:
    void OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, std::uint32_t,
                   std::int32_t, std::int32_t) override {
        std::lock_guard lock(mutex_);
        received_.push_back({window, message, wParam, lParam});
        arrived.Set();
    }

private:
    std::mutex mutex_;
    std::vector<TmyMessage> received_;
};

// Runs for `workMs`, or until asked to stop when workMs is 0; counts how many runs overlap.
class WorkingThread : public CnxThread {
public:
    explicit WorkingThread(int workMs) : workMs_(workMs) {}
    ~WorkingThread() override {
        RequestStop();
        Stop();
    }

    using CnxThread::RequestStop;
    CnxEventManual entered;
    std::atomic<int> runs{0};
    std::atomic<int> active{0};
    std::atomic<int> mostActive{0};

protected:
    void Run() override {
        ++runs;
        const int now = ++active;
        mostActive = std::max(mostActive.load(), now);
        entered.Set();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(workMs_);
        while (!IsStopRequested() && (workMs_ == 0 || std::chrono::steady_clock::now() < end)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        --active;
    }

private:
    const int workMs_;
};

bool WaitUntilStopped(const CnxThread& thread) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kGenerousMs);
    while (thread.IsRunning() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return !thread.IsRunning();
}

}  // namespace

TEST(CnxThread, MessageLoopDeliversPostedMessagesInOrderFromStartUntilQuit) {
    RecordingThread thread;
    // Never started: it stops at once and takes no messages.
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(thread.Stop());
    EXPECT_FALSE(thread.PostToThread(WM_USER, 1, 2));

    ASSERT_TRUE(thread.Start());
    EXPECT_GE(thread.GetThreadId(), 2u);
    EXPECT_TRUE(thread.PostToThread(WM_USER + 1, 10, -1));
    EXPECT_TRUE(thread.PostToThread(WM_USER + 2, 20, -2));
    EXPECT_TRUE(thread.PostToThread(WM_QUIT, 0, 0));
    thread.PostToThread(WM_USER + 3, 30, -3);  // after the quit: never served

    // Run returning clears the id without anyone calling Stop.
    ASSERT_TRUE(WaitUntilStopped(thread));
    EXPECT_TRUE(thread.Stop());
    EXPECT_FALSE(thread.PostToThread(WM_USER, 0, 0));
    const std::vector<TmyMessage> received = thread.Received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].wParam, 10u);
    EXPECT_EQ(received[0].lParam, -1);
    EXPECT_EQ(received[1].message, WM_USER + 2);
}

TEST(CnxThread, AutoStartRunsTheMessageLoopAndAStopRequestEndsIt) {
    RecordingThread thread(true);
    ASSERT_TRUE(thread.IsRunning());
    ASSERT_TRUE(thread.PostToThread(WM_USER + 7, 7, 7));
    ASSERT_EQ(thread.arrived.Wait(kGenerousMs), WAIT_OBJECT_0);
    EXPECT_EQ(thread.Received().front().message, WM_USER + 7);

    thread.RequestStop();
    EXPECT_TRUE(thread.Stop());
    EXPECT_FALSE(thread.IsRunning());

    // A new start clears the old request and serves messages again.
    thread.arrived.Reset();
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(thread.PostToThread(WM_USER + 8, 8, 8));
    EXPECT_EQ(thread.arrived.Wait(kGenerousMs), WAIT_OBJECT_0);
}

TEST(CnxThread, StartOnARunningThreadWaitsForItToEndFirst) {
    WorkingThread thread(50);
    ASSERT_TRUE(thread.Start());
    ASSERT_EQ(thread.entered.Wait(kGenerousMs), WAIT_OBJECT_0);
    const std::uint32_t firstId = thread.GetThreadId();

    ASSERT_TRUE(thread.Start());
    EXPECT_NE(thread.GetThreadId(), firstId);
    ASSERT_TRUE(WaitUntilStopped(thread));
    EXPECT_EQ(thread.runs, 2);
    EXPECT_EQ(thread.mostActive, 1);
}

TEST(CnxThread, StartIsRefusedWhileTheOldThreadWillNotEnd) {
    WorkingThread thread(0);
    ASSERT_TRUE(thread.Start());
    ASSERT_EQ(thread.entered.Wait(kGenerousMs), WAIT_OBJECT_0);
    const std::uint32_t id = thread.GetThreadId();

    EXPECT_FALSE(thread.Stop());
    EXPECT_FALSE(thread.Start());
    EXPECT_EQ(thread.GetThreadId(), id);
    EXPECT_EQ(thread.runs, 1);

    thread.RequestStop();
    EXPECT_TRUE(thread.Stop());
    EXPECT_FALSE(thread.IsRunning());
}

std::size_t ThreadsInProcess() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

TEST(CnxThread, DestructorEndsARunningMessageLoopBeforeReturning) {
    // Sanitizer runtimes start helper threads with the first thread: let them come first.
    std::thread([] {}).join();
    const std::size_t before = ThreadsInProcess();
    {
        CnxThread thread(true);
        ASSERT_TRUE(thread.IsRunning());
        EXPECT_EQ(ThreadsInProcess(), before + 1);
    }
    // A joined thread may linger in the process list for a moment after it has ended.
    for (int wait = 0; wait < 500 && ThreadsInProcess() != before; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(ThreadsInProcess(), before);
}
