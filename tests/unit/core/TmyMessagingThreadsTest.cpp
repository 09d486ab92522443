// Message targets on threads other than the window thread, and posting while targets and their
// threads come and go.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QString>
#include <atomic>
#include <future>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "LogCapture.h"
#include "MessageRecorder.h"
#include "TestSupport.h"
#include "core/TmyComponent.h"

namespace {

// A thread that owns a message target but never runs an event loop, until told to end.
class LoopLessOwner {
public:
    LoopLessOwner()
        : thread_([this] {
              MessageRecorder target;
              handle_.set_value(target.GetHandle());
              end_.get_future().wait();
          }) {}
    ~LoopLessOwner() { End(); }
    HWND Handle() { return handleFuture_.get(); }
    void End() {
        if (thread_.joinable()) {
            end_.set_value();
            thread_.join();
        }
    }

private:
    std::promise<HWND> handle_;
    std::shared_future<HWND> handleFuture_ = handle_.get_future().share();
    std::promise<void> end_;
    std::thread thread_;
};

TEST(TmyMessagingThreads, PostingToAThreadWithoutEventLoopWarnsOncePerQueue) {
    EnsureCoreApp();
    LogCapture warnings("k740.core", true);
    LoopLessOwner first;
    const HWND handle = first.Handle();
    EXPECT_TRUE(PostMessage(handle, WM_USER, 0, 0));
    EXPECT_TRUE(PostMessage(handle, WM_USER, 0, 1));
    const std::vector<std::string> seen = warnings.Take();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_NE(seen[0].find("without an event loop"), std::string::npos) << seen[0];

    // The window thread has its loop: posting there says nothing.
    MessageRecorder local;
    EXPECT_TRUE(PostMessage(local.GetHandle(), WM_USER, 0, 0));
    EXPECT_TRUE(warnings.Take().empty());

    first.End();
    EXPECT_FALSE(PostMessage(handle, WM_USER, 0, 2));
    // Another such thread, whatever queue it is given, is warned about again.
    LoopLessOwner second;
    EXPECT_TRUE(PostMessage(second.Handle(), WM_USER, 0, 0));
    EXPECT_EQ(warnings.Take().size(), 1u);
}

// A thread with its own event loop and one target, which ends the loop at its first message.
void RunLoopUntilFirstMessage(std::promise<HWND>& handle, std::vector<TmyMessage>& received) {
    QEventLoop loop;
    MessageRecorder target;
    target.onMessage = [&](const TmyMessage&) { loop.quit(); };
    handle.set_value(target.GetHandle());
    loop.exec();
    received = target.messages;
}

TEST(TmyMessagingThreads, HandlesOfAnEndedThreadStayDeadWhileLaterThreadsGetNewOnes) {
    EnsureCoreApp();
    std::vector<HWND> ended;
    for (int round = 0; round < 3; ++round) {
        std::promise<HWND> handle;
        std::vector<TmyMessage> received;
        std::thread owner(RunLoopUntilFirstMessage, std::ref(handle), std::ref(received));
        const HWND live = handle.get_future().get();
        for (HWND old : ended) {
            EXPECT_NE(old, live);
            EXPECT_FALSE(PostMessage(old, WM_USER + 1, 0, 0));
        }
        EXPECT_TRUE(PostMessage(live, WM_USER, 7, round));
        owner.join();
        ASSERT_EQ(received.size(), 1u);
        EXPECT_EQ(received[0].hwnd, live);
        EXPECT_EQ(received[0].lParam, round);
        EXPECT_FALSE(PostMessage(live, WM_USER, 0, 0));
        ended.push_back(live);
    }
}

// Targets that check every message they get was meant for them.
class CheckedTarget : public TmyComponent {
public:
    std::atomic<long>* misdelivered = nullptr;
    long received = 0;

protected:
    void OnWindowMessage(const TmyMessage& m) override {
        ++received;
        if (m.hwnd != GetHandle() || m.wParam != GetHandle()) {
            ++*misdelivered;
        }
    }
};

TEST(TmyMessagingThreads, PostingWhileTargetsAndTheirThreadsComeAndGo) {
    EnsureCoreApp();
    constexpr int kSlots = 8;
    std::atomic<HWND> handles[kSlots] = {};
    std::atomic<long> misdelivered{0};
    std::atomic<long> accepted{0};
    std::atomic<bool> stop{false};

    std::vector<std::thread> posters;
    for (int p = 0; p < 4; ++p) {
        posters.emplace_back([&, p] {
            std::minstd_rand random(p + 1);
            while (!stop) {
                const HWND handle = handles[random() % kSlots].load();
                if (handle != 0 && PostMessage(handle, WM_USER, handle, 0)) {
                    ++accepted;
                }
            }
        });
    }
    // Threads with loops of their own, creating and destroying targets between turns.
    std::vector<std::thread> owners;
    for (int o = 0; o < 2; ++o) {
        owners.emplace_back([&, o] {
            for (int life = 0; life < 20 && !stop; ++life) {
                QEventLoop loop;
                for (int turn = 0; turn < 20; ++turn) {
                    CheckedTarget target;
                    target.misdelivered = &misdelivered;
                    handles[kSlots / 2 + o].store(target.GetHandle());
                    loop.processEvents(QEventLoop::AllEvents, 1);
                }
            }
        });
    }
    // The window thread replaces its targets one by one; a handle it has just let go is dead.
    std::minstd_rand random(99);
    std::vector<std::unique_ptr<CheckedTarget>> mine(kSlots / 2);
    for (int round = 0; round < 2000; ++round) {
        auto& target = mine[random() % mine.size()];
        const HWND old = target ? target->GetHandle() : 0;
        target = std::make_unique<CheckedTarget>();
        target->misdelivered = &misdelivered;
        handles[&target - mine.data()].store(target->GetHandle());
        if (old != 0) {
            EXPECT_FALSE(PostMessage(old, WM_USER, old, 0));
        }
        QCoreApplication::processEvents();
    }
    for (auto& owner : owners) {
        owner.join();
    }
    stop = true;
    for (auto& poster : posters) {
        poster.join();
    }
    EXPECT_GT(accepted.load(), 0);
    EXPECT_EQ(misdelivered.load(), 0);

    // Everything still works for the targets that remain.
    auto& last = mine.front();
    const long before = last->received;
    ASSERT_TRUE(PostMessage(last->GetHandle(), WM_USER, last->GetHandle(), 0));
    EXPECT_TRUE(PumpUntil([&] { return last->received > before; }));
}

}  // namespace
